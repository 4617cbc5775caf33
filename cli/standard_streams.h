#pragma once

#include <optional>

namespace quillon::cli {

// Opens /dev/null on any of descriptors 0, 1 and 2 that is closed, so that no
// file opened later takes a standard stream's number. Using a stream that was
// closed then fails instead of reaching a spool file.
void reserveStandardDescriptors();

struct CopyFailure {
    bool whileReading;
    int error;  // errno
};

// Copies everything from `from`'s position to its end onto `to`.
std::optional<CopyFailure> copyStream(int from, int to);

}  // namespace quillon::cli
