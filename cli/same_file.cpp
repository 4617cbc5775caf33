#include "same_file.h"

#include <sys/stat.h>

namespace quillon::cli {

bool isSameFile(const char* first, const char* second) {
    struct stat a {};
    struct stat b {};
    if (::stat(first, &a) != 0 || ::stat(second, &b) != 0) return false;
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace quillon::cli
