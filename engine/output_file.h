#pragma once

#include <cstddef>
#include <string>

namespace quillon {

// Where a run writes its destination. A destination that is, or will be, a
// regular file is written into a new file beside it, which takes its place
// only when commit() succeeds: a run that fails or is interrupted leaves the
// old destination as it was. Where no file can be made beside it (a folder
// this user may not write), the file is refused, whatever its own
// permissions. A device, a pipe or the path of an open
// descriptor (/dev/stdout, /proc/self/fd/N) cannot be replaced and is written
// directly.
class OutputFile {
public:
    OutputFile() = default;
    // Discards whatever was not committed.
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // False when the file cannot be created; error() tells why. With
    // `onlyReplacing`, also false for a destination that would be written
    // directly, which is then left untouched.
    bool open(const char* path, bool onlyReplacing = false);
    // False on a write error, remembered for commit().
    bool write(const char* data, std::size_t length);
    // Makes the written bytes the destination's, on disk, with the old
    // destination's permissions. False when any step failed; the old
    // destination then stays as it was.
    bool commit();
    // Removes the new file; the destination stays as it was.
    void discard();

    // errno of the first failure, 0 while none.
    int error() const { return error_; }

private:
    bool fail();
    void release();

    int descriptor_ = -1;
    int slot_ = -1;             // this file's entry for removeUnfinishedOutputs
    std::string temporary_;     // empty when writing the destination directly
    std::string destination_;   // what the temporary file replaces
    bool existed_ = false;
    unsigned mode_ = 0;
    unsigned owner_ = 0;
    unsigned group_ = 0;
    int error_ = 0;
};

// Removes every output file not yet committed. Safe in a signal handler, so a
// front end ended by a signal leaves no half-written file behind.
void removeUnfinishedOutputs();

// Makes each signal that would end the process (hangup, interrupt, quit,
// terminate, broken pipe, file too large) call `handler`, so that a front end
// can remove its unfinished files first. A signal ignored so far stays
// ignored, as whoever started the process asked.
void catchEndingSignals(void (*handler)(int));

}  // namespace quillon
