#pragma once

#include <memory>
#include <string>

namespace quillon::cli {

// A temporary file created exclusively in $TMPDIR (else /tmp) for spooling a
// standard stream or a pipe, since the engine reads and writes files by path
// and may read its source twice. It is
// removed when the object goes, and also when a signal ends the process once
// removeTempFilesOnSignals has run.
class TempFile {
public:
    // Null when the file cannot be created; errno tells why.
    static std::unique_ptr<TempFile> create();
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const char* path() const;
    int descriptor() const { return descriptor_; }

private:
    TempFile(int slot, int descriptor) : slot_(slot), descriptor_(descriptor) {}

    int slot_;
    int descriptor_;
};

// The folder temporary files are created in.
std::string tempFolder();

// Makes hangup, interrupt, quit, terminate, broken pipe and file-size signals
// remove every live TempFile before ending the process as the signal would.
// Signals that were ignored when the program started stay ignored.
void removeTempFilesOnSignals();

}  // namespace quillon::cli
