#pragma once

#include <QByteArray>

namespace quillon {

// The temporary files alive at this moment, removed when a signal ends the
// program: a clipboard run holds two files as large as its text.

// Makes the signals that would end the program (SIGTERM, SIGINT, SIGHUP and
// the others of catchEndingSignals) remove the listed files and then end it
// as the signal would have.
void installTemporaryFileCleanup();

// Lists and unlists one file by its encoded path. A path too long for the
// list's slots, or a full list, is simply not removed by a signal.
void listTemporaryFile(const QByteArray& encodedPath);
void unlistTemporaryFile(const QByteArray& encodedPath);

}  // namespace quillon
