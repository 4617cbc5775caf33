#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

#include "legacy_codec.h"

namespace quillon {

// The clipboard's text, ending, like the text other programs hand over, at
// the first NUL. None when the clipboard holds no text. Needs a QGuiApplication.
std::optional<QString> readClipboardText();

// Clipboard text as bytes of the encoding chosen for the source encoding
// (see converterForClipboardSource). Needs no application: a run does it
// away from the window's thread.
EncodedText encodeClipboardText(QStringView text, qint32 sourceEncoding);

enum class PasteStatus {
    Pasted,
    FileUnreadable,    // the clipboard is left as it was
    ClipboardRefused,  // the clipboard does not hold the text afterwards
};

struct PasteResult {
    PasteStatus status = PasteStatus::Pasted;
    qsizetype replacedCount = 0;  // byte sequences the profile's code page does not define
};

// Puts the file's text, decoded by the named converter (see legacy_codec.h),
// on the clipboard. CR LF line ends become LF, this platform's line end for
// clipboard text. An empty file leaves an empty text on the clipboard.
PasteResult pasteFileToClipboard(const QString& path, const char* converterName);

}  // namespace quillon
