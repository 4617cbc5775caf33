#include "temp_file.h"

#include <cerrno>
#include <cstdlib>

#include <fcntl.h>
#include <unistd.h>

namespace quillon::cli {

std::string tempFolder() {
    const char* folder = std::getenv("TMPDIR");
    return folder != nullptr && *folder != '\0' ? folder : "/tmp";
}

std::unique_ptr<TempFile> TempFile::create() {
    const std::string folder = tempFolder();
    int descriptor = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    // File systems without unnamed files: a named one, unnamed at once.
    if (descriptor < 0 && (errno == EOPNOTSUPP || errno == EISDIR)) {
        std::string pattern = folder + "/quillon-cli-XXXXXX";
        descriptor = ::mkostemp(pattern.data(), O_CLOEXEC);
        if (descriptor >= 0) ::unlink(pattern.c_str());
    }
    if (descriptor < 0) return nullptr;
    return std::unique_ptr<TempFile>(new TempFile(descriptor));
}

TempFile::TempFile(int descriptor)
    : descriptor_(descriptor), path_("/proc/self/fd/" + std::to_string(descriptor)) {}

TempFile::~TempFile() { ::close(descriptor_); }

}  // namespace quillon::cli
