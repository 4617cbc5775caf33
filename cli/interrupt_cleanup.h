#pragma once

namespace quillon::cli {

// Makes hangup, interrupt, quit, terminate, broken pipe and file-size signals
// remove every output file not yet complete before ending the process as the
// signal would, so an old destination stays and nothing half-written remains.
// Signals that were ignored when the program started stay ignored, except
// that an interrupt or quit sent by a process (rather than typed at the
// terminal) still ends a run that a shell started in the background.
void removeUnfinishedFilesOnSignals();

// Makes those signals also empty the regular file open on `descriptor`, which
// a run writes directly, until stopEmptyingOnSignals().
void emptyOnSignals(int descriptor);
void stopEmptyingOnSignals();

}  // namespace quillon::cli
