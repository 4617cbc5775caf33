#include "standard_streams.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/sendfile.h>
#include <unistd.h>

namespace quillon::cli {

void reserveStandardDescriptors() {
    for (int descriptor = 0; descriptor <= 2; ++descriptor) {
        if (::fcntl(descriptor, F_GETFD) < 0 && errno == EBADF) {
            // The lowest free number is this one; opened the wrong way round so
            // that using the stream still fails as it would have.
            ::open("/dev/null", descriptor == 0 ? O_WRONLY : O_RDONLY);
        }
    }
}

std::optional<CopyFailure> copyStream(int from, int to) {
    // From a regular file the kernel copies without the bytes passing
    // through this process. Whatever it refuses or fails at goes the plain
    // way below, which tells a failed read from a failed write.
    for (;;) {
        const ssize_t sent = ::sendfile(to, from, nullptr, std::size_t{1} << 30);
        if (sent == 0) return std::nullopt;
        if (sent < 0 && errno != EINTR) break;
    }
    constexpr std::size_t kBlockSize = 1 << 16;
    char block[kBlockSize];
    for (;;) {
        const ssize_t got = ::read(from, block, kBlockSize);
        if (got == 0) return std::nullopt;
        if (got < 0) {
            if (errno == EINTR) continue;
            return CopyFailure{true, errno};
        }
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(to, block + done, static_cast<std::size_t>(got - done));
            if (put < 0) {
                if (errno == EINTR) continue;
                return CopyFailure{false, errno};
            }
            done += put;
        }
    }
}

}  // namespace quillon::cli
