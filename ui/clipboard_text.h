#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>
#include <string>

#include "legacy_codec.h"

namespace quillon {

// The most output a run puts on the clipboard. The window's process holds
// the text while it owns the clipboard, and again, converted, while it hands
// it to a program that pastes it: 20 MB of GB text take the process to
// about 150 MB with the pane's preview. A larger output belongs in a file.
inline constexpr qint64 kClipboardOutputLimit = 20'000'000;

// The clipboard's text, ending, like the text other programs hand over, at
// the first NUL. None when the clipboard holds no text. Needs a QGuiApplication.
std::optional<QString> readClipboardText();

// How a run's clipboard text reached its source file.
struct ClipboardCopy {
    enum class Status {
        Copied,
        NoText,       // the clipboard holds no text, or its text could not be fetched
        WriteFailed,  // `error` says why
    };
    Status status = Status::Copied;
    qsizetype replacedCount = 0;  // characters the code page lacks, each written as its substitute
    QString error;
};

// Writes clipboard text into the file at `path`, replacing what it held, as
// bytes of the encoding chosen for the source encoding `from`, as
// api::Options names it (see converterForClipboardSource). Block by block,
// so the bytes are never held whole. Needs no application: a run does it away from the window's thread.
ClipboardCopy writeClipboardText(QStringView text, const std::string& from, const QString& path);

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
// clipboard text; with `dropFinalLineEnd` the text's last line end is left
// off. An empty file leaves an empty text on the clipboard.
PasteResult pasteFileToClipboard(const QString& path, const char* converterName, bool dropFinalLineEnd = false);

}  // namespace quillon
