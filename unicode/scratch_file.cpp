#include "scratch_file.h"

#include <cerrno>
#include <cstdlib>

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

namespace quillon::unicode {

std::string scratchFolder() {
    const char* folder = std::getenv("TMPDIR");
    return folder != nullptr && *folder != '\0' ? folder : "/tmp";
}

ScratchFile::ScratchFile(Backing backing) {
    if (backing == Backing::Memory) descriptor_ = ::memfd_create("quillon-scratch", MFD_CLOEXEC);
    const std::string folder = scratchFolder();
    if (descriptor_ < 0) descriptor_ = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    // File systems without unnamed files: a named one, unnamed at once.
    if (descriptor_ < 0 && (errno == EOPNOTSUPP || errno == EISDIR)) {
        std::string pattern = folder + "/quillon-scratch-XXXXXX";
        descriptor_ = ::mkostemp(pattern.data(), O_CLOEXEC);
        if (descriptor_ >= 0) ::unlink(pattern.c_str());
    }
    if (descriptor_ < 0) {
        error_ = errno;
        return;
    }
    path_ = "/proc/self/fd/" + std::to_string(descriptor_);
}

ScratchFile::~ScratchFile() {
    if (descriptor_ >= 0) ::close(descriptor_);
}

}  // namespace quillon::unicode
