#include "same_file.h"

#include <filesystem>
#include <system_error>

namespace quillon {

bool isSameFile(const char* first, const char* second) {
    // File identity (device and file number); a path that names nothing is
    // an error here and so never the same file.
    std::error_code error;
    return std::filesystem::equivalent(first, second, error);
}

}  // namespace quillon
