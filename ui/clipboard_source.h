#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <optional>
#include <string>

#include "clipboard_text.h"

namespace quillon {

// Where a run's clipboard text comes from. Taken on the window's thread at
// once, without waiting for another program; the run itself copies the text
// into its source file.
class ClipboardSource {
public:
    // The clipboard as it is now. Text that this process holds is taken as
    // it is. Another program's clipboard on X11 is left to a reader process
    // (see clipboard_reader.h), this program started again. On any other
    // platform the text is fetched here.
    static ClipboardSource current();
    // Text that `readerProgram` started as a reader will fetch.
    static ClipboardSource throughReader(const QByteArray& readerProgram);

    // False when the clipboard is known to hold no text already.
    bool mayHoldText() const { return !readerProgram_.isEmpty() || text_.has_value(); }

    // Writes the text into the file at `path`, as writeClipboardText does.
    ClipboardCopy copyInto(const QString& path, const std::string& from) const;

private:
    std::optional<QString> text_;
    QByteArray readerProgram_;  // empty: the text is here
};

}  // namespace quillon
