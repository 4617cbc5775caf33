#pragma once

#include <string>

namespace quillon::unicode {

// The folder scratch files are made in: $TMPDIR, else /tmp.
std::string scratchFolder();

// A file of the run's own in the scratch folder, for text on its way between
// a stream, the engine and the edge, which all open files by path. It has no
// name in the folder from the moment it exists, so nothing stays behind
// however the process ends, by a signal or by SIGKILL; path() reaches it
// through its descriptor. Closed with the object.
class ScratchFile {
public:
    // Where its bytes live: in the scratch folder, or in memory, for text
    // that is in memory anyway (where the system has no such files, in the
    // folder after all).
    enum class Backing { Folder, Memory };
    // created() tells whether it worked, error() why not.
    explicit ScratchFile(Backing backing = Backing::Folder);
    ~ScratchFile();
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    bool created() const { return descriptor_ >= 0; }
    // errno of the failed creation, 0 when it worked.
    int error() const { return error_; }
    const char* path() const { return path_.c_str(); }
    int descriptor() const { return descriptor_; }

private:
    int descriptor_ = -1;
    int error_ = 0;
    std::string path_;
};

}  // namespace quillon::unicode
