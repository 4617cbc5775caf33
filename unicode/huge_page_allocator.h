#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace quillon::unicode {

// For a table of megabytes built at the start of every run: whole huge
// pages of it come from the kernel as such where it gives them. The first
// touch of every 4 KiB page costs a fault, and on a virtual machine a
// fault costs as much as thousands of lookups. Anything that is not whole
// huge pages comes from the heap, which keeps the peak of memory as it was.
template <typename T>
struct HugePageAllocator {
    using value_type = T;
    static constexpr std::size_t kHugePage = std::size_t{2} << 20;

    HugePageAllocator() = default;
    template <typename U>
    HugePageAllocator(const HugePageAllocator<U>&) {}

    static bool inHugePages([[maybe_unused]] std::size_t n) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
        return n * sizeof(T) >= kHugePage && n * sizeof(T) % kHugePage == 0;
#else
        return false;
#endif
    }

    T* allocate(std::size_t n) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
        if (inHugePages(n)) {
            // Mapped with a huge page to spare, so that it can start on a
            // huge page's boundary; the spare bytes are given back.
            const std::size_t bytes = n * sizeof(T);
            void* mapped = mmap(nullptr, bytes + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            if (mapped == MAP_FAILED) throw std::bad_alloc();
            auto* const start = static_cast<char*>(mapped);
            const std::size_t before = (kHugePage - reinterpret_cast<std::uintptr_t>(start) % kHugePage) % kHugePage;
            if (before != 0) munmap(start, before);
            munmap(start + before + bytes, kHugePage - before);
            madvise(start + before, bytes, MADV_HUGEPAGE);
            return reinterpret_cast<T*>(start + before);
        }
#endif
        return std::allocator<T>().allocate(n);
    }

    void deallocate(T* p, std::size_t n) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
        if (inHugePages(n)) {
            munmap(p, n * sizeof(T));
            return;
        }
#endif
        std::allocator<T>().deallocate(p, n);
    }

    friend bool operator==(const HugePageAllocator&, const HugePageAllocator&) { return true; }
};

}  // namespace quillon::unicode
