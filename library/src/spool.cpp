#include "spool.h"

#include <cerrno>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include <quillon/quillon.h>

#include "file_failure.h"

namespace quillon::api {
namespace {

[[noreturn]] void scratchFailure(const char* what, int error) {
    throw Error(Error::Kind::ScratchFile,
                unicode::fileFailure(std::string(what) + " in " + unicode::scratchFolder(), error,
                                     kDestinationUnwritable),
                error);
}

}  // namespace

Spool::Spool(unicode::ScratchFile::Backing backing) : file_(backing) {
    if (!file_.created()) scratchFailure("Unable to create a temporary file", file_.error());
}

void Spool::write(const char* data, std::size_t length) {
    while (length > 0) {
        const ssize_t n = ::write(file_.descriptor(), data, length);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) scratchFailure("Unable to write a temporary file", errno);
        data += n;
        length -= std::size_t(n);
    }
}

void Spool::read(const std::function<void(const char* data, std::size_t length)>& take) const {
    std::vector<char> buffer(kChunk);
    for (off_t offset = 0;;) {
        const ssize_t n = ::pread(file_.descriptor(), buffer.data(), buffer.size(), offset);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) scratchFailure("Unable to read a temporary file", errno);
        if (n == 0) return;
        take(buffer.data(), std::size_t(n));
        offset += n;
    }
}

std::size_t Spool::size() const {
    struct stat status {};
    return ::fstat(file_.descriptor(), &status) == 0 ? std::size_t(status.st_size) : 0;
}

}  // namespace quillon::api
