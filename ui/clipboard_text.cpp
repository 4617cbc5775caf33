#include "clipboard_text.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "legacy_file.h"

namespace quillon {

std::optional<QString> readClipboardText() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasText()) return std::nullopt;
    QString text = data->text();
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    if (nul >= 0) text.truncate(nul);
    return text;
}

EncodedText encodeClipboardText(QStringView text, qint32 sourceEncoding) {
    return encodeLegacy(text, converterForClipboardSource(sourceEncoding));
}

PasteResult pasteFileToClipboard(const QString& path, const char* converterName) {
    std::optional<DecodedText> decoded = readLegacyFile(path, converterName);
    if (!decoded) return {PasteStatus::FileUnreadable, 0};
    decoded->text.replace(u"\r\n"_qs, u"\n"_qs);
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(decoded->text);
    // QClipboard reports no failure; reading our own text back is cheap and tells.
    const bool held = clipboard->text() == decoded->text;
    return {held ? PasteStatus::Pasted : PasteStatus::ClipboardRefused, decoded->replacedCount};
}

}  // namespace quillon
