#include "large_pages.h"

#include <cstdint>

#include <sys/mman.h>
#include <unistd.h>

namespace quillon::api {

void adviseLargePages(void* data, std::size_t size) {
    static const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    const auto at = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t start = (at + page - 1) & ~(page - 1);
    const std::uintptr_t end = (at + size) & ~(page - 1);
    if (end > start) ::madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
}

}  // namespace quillon::api
