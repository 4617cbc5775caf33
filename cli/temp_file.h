#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace quillon::cli {

// A spool file in $TMPDIR (else /tmp) for a standard stream or a pipe, since
// the engine reads and writes files by path and may read its source twice.
// It has no name in the folder from the moment it exists, so nothing stays
// behind however the process ends; path() reaches it through its descriptor.
class TempFile {
public:
    // Null when the file cannot be created; errno tells why.
    static std::unique_ptr<TempFile> create();
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const char* path() const { return path_.c_str(); }
    int descriptor() const { return descriptor_; }

private:
    explicit TempFile(int descriptor);

    int descriptor_;
    std::string path_;
};

// The folder temporary files are created in.
std::string tempFolder();

// `what` went wrong in the folder of temporary files: the message names it.
std::string tempFileTrouble(std::string_view what);

// A new spool file, or null after a message on standard error.
std::unique_ptr<TempFile> createSpoolFile();

// A new spool file holding all that `descriptor` gives from its position on,
// or null after a message on standard error; `what` names the descriptor's
// stream in the message.
std::unique_ptr<TempFile> spool(int descriptor, const std::string& what);

// A regular file read from its start can be opened again by its path: it
// needs no spool file.
bool isRereadable(int descriptor);

}  // namespace quillon::cli
