#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <optional>
#include <string>

#include "clipboard_text.h"

namespace quillon {

// Another program's clipboard on X11 is read by a process of this program of
// its own, the reader: fetching a large text blocks whoever asks for it and
// holds the text twice over, so it happens neither on the window's thread nor
// in the window's process, and Cancel can end it.

// Every program that shows the dialog calls this first in main(), before it
// makes its application object. Started as a reader, the program reads the
// clipboard, writes its text into the named file and returns the exit
// status to end with; otherwise this returns none.
std::optional<int> runAsClipboardReader(int argc, char* argv[]);

// Starts `program` as a reader that writes the clipboard's text, encoded for
// the source encoding `from` as writeClipboardText does, into `path`, and
// waits for it. The reader ends when the calling thread does, so a run ended
// by Cancel leaves no reader behind.
ClipboardCopy copyClipboardThroughReader(const QByteArray& program, const QString& path, const std::string& from);

}  // namespace quillon
