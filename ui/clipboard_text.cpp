#include "clipboard_text.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QPointer>

#include <algorithm>

#include "legacy_file.h"

namespace quillon {
namespace {

// CR LF to LF in one pass, in place: QString::replace moves the rest of a
// long text once for every thousand line ends it replaces.
void endLinesWithLineFeeds(QString& text) {
    QChar* const begin = text.data();
    const QChar* const end = begin + text.size();
    QChar* out = begin;
    for (const QChar* in = begin; in != end; ++in) {
        if (*in == u'\r' && in + 1 != end && in[1] == u'\n') continue;
        *out++ = *in;
    }
    text.truncate(out - begin);
}

}  // namespace

std::optional<QString> readClipboardText() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasText()) return std::nullopt;
    QString text = data->text();
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    if (nul >= 0) text.truncate(nul);
    return text;
}

ClipboardCopy writeClipboardText(QStringView text, const std::string& from, const QString& path) {
    constexpr qsizetype kBlockUnits = qsizetype(1) << 20;
    LegacyEncoder encoder(converterForClipboardSource(from));
    QFile file(path);
    bool written = file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    QByteArray bytes;
    for (qsizetype at = 0; written && at <= text.size(); at += kBlockUnits) {
        bytes.clear();
        encoder.encode(text.sliced(at, std::min(kBlockUnits, text.size() - at)), bytes);
        if (at + kBlockUnits > text.size()) encoder.finish(bytes);
        written = file.write(bytes) == bytes.size();
    }
    if (written && file.flush()) return {ClipboardCopy::Status::Copied, encoder.replacedCount(), {}};
    return {ClipboardCopy::Status::WriteFailed, 0,
            QObject::tr("Cannot write the temporary file %1: %2")
                .arg(QDir::toNativeSeparators(path), file.errorString())};
}

PasteResult pasteFileToClipboard(const QString& path, const char* converterName, bool dropFinalLineEnd) {
    std::optional<DecodedText> decoded = readLegacyFile(path, converterName);
    if (!decoded) return {PasteStatus::FileUnreadable, 0};
    endLinesWithLineFeeds(decoded->text);
    if (dropFinalLineEnd && decoded->text.endsWith(u'\n')) decoded->text.chop(1);
    QClipboard* clipboard = QGuiApplication::clipboard();
    const QPointer<QMimeData> data = new QMimeData;
    data->setText(decoded->text);
    clipboard->setMimeData(data);
    // QClipboard reports no failure, but a clipboard that took the text hands
    // back the same data. (Reading the text back would convert all of it twice.)
    const bool held = data && clipboard->mimeData() == data.data();
    return {held ? PasteStatus::Pasted : PasteStatus::ClipboardRefused, decoded->replacedCount};
}

}  // namespace quillon
