#pragma once

#include <memory>
#include <string>

#include <quillon/quillon.h>

namespace quillon::cli {

// Spool files for standard streams and pipes, since the engine reads and
// writes files by path and may read its source twice.

// A new spool file, or null after a message on standard error.
std::unique_ptr<api::ScratchFile> createSpoolFile();

// A new spool file holding all that `descriptor` gives from its position on,
// or null after a message on standard error; `what` names the descriptor's
// stream in the message.
std::unique_ptr<api::ScratchFile> spool(int descriptor, const std::string& what);

// A regular file read from its start can be opened again by its path: it
// needs no spool file.
bool isRereadable(int descriptor);

}  // namespace quillon::cli
