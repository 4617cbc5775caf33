#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include <sys/stat.h>

namespace quillon {

// A file of this process's own that must not outlive it: while the mark for
// its path lives, removeUnfinishedOutputs() removes it. The file may be made
// after the mark and be gone before the mark ends.
class UnfinishedFileMark {
public:
    explicit UnfinishedFileMark(const std::string& path);
    ~UnfinishedFileMark();
    UnfinishedFileMark(const UnfinishedFileMark&) = delete;
    UnfinishedFileMark& operator=(const UnfinishedFileMark&) = delete;

private:
    int slot_;  // -1 when no slot was free: the file is then not removed
};

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

    // False when the file cannot be created, or when it exists and this
    // process may not write it (as cp refuses it); error() tells why. With
    // `onlyReplacing`, also false for a destination that would be written
    // directly, which is then left untouched.
    bool open(const char* path, bool onlyReplacing = false);
    // False on a write error, remembered for commit().
    bool write(const char* data, std::size_t length);
    // Makes the written bytes the destination's, on disk, with the old
    // destination's mode, owner and group. False when any step failed; the old
    // destination then stays as it was.
    bool commit();
    // Removes the new file; the destination stays as it was.
    void discard();

    // errno of the first failure, 0 while none.
    int error() const { return error_; }
    // True while what is written goes to a new file that commit() makes the
    // destination, false when the destination is written directly.
    bool replacesDestination() const { return !temporary_.empty(); }

private:
    bool fail();
    void release();

    int descriptor_ = -1;
    std::optional<UnfinishedFileMark> mark_;  // for the temporary file
    std::string temporary_;     // empty when writing the destination directly
    std::string destination_;   // what the temporary file replaces
    std::optional<struct stat> replaced_;  // the destination that existed
    int error_ = 0;
};

// Gives the file open on `descriptor`, written to take the place of a file of
// status `replaced`, that file's owner and group where this process may (a
// file replaced by root stays its owner's), and its mode. False with errno
// when the mode cannot be set.
bool takeOwnerAndMode(int descriptor, const struct stat& replaced);

// errno for why this process may not write the existing file `path`, as cp
// refuses it (root may write any), else 0.
int writeRefusal(const char* path);

// Removes every output file not yet committed and every file marked
// unfinished, for a process about to end: from then on no output file opens.
// Safe in a signal handler in any thread, so a front end ended by a signal
// leaves no half-written file behind.
void removeUnfinishedOutputs();

// Makes each signal that would end the process (hangup, interrupt, quit,
// terminate, broken pipe, file too large) call `handler`, so that a front end
// can remove its unfinished files first. A signal ignored so far stays
// ignored, as whoever started the process asked.
void catchEndingSignals(void (*handler)(int));

}  // namespace quillon
