// Tables in huge pages: whole huge pages are mapped on a huge page's
// boundary, anything else comes from the heap, and both hold what is put in.
#include "huge_page_allocator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace quillon::unicode {
namespace {

using Table = std::vector<std::uint64_t, HugePageAllocator<std::uint64_t>>;
constexpr std::size_t kWordsInHugePage = HugePageAllocator<std::uint64_t>::kHugePage / sizeof(std::uint64_t);

TEST(HugePageAllocator, TablesHoldWhatIsPutIn) {
    for (const std::size_t words : {std::size_t{1000}, kWordsInHugePage, kWordsInHugePage + 1, 2 * kWordsInHugePage}) {
        Table table(words);
        EXPECT_TRUE(std::all_of(table.begin(), table.end(), [](std::uint64_t w) { return w == 0; })) << words;
        for (std::size_t i = 0; i < words; ++i) table[i] = i * 3;
        const Table copy = table;
        for (std::size_t i = 0; i < words; i += 4099) ASSERT_EQ(copy[i], i * 3) << words;
        EXPECT_EQ(copy.back(), (words - 1) * 3) << words;
    }
}

#if defined(__linux__) && defined(MADV_HUGEPAGE)
TEST(HugePageAllocator, WholeHugePagesStartOnTheirBoundary) {
    EXPECT_FALSE(HugePageAllocator<std::uint64_t>::inHugePages(1000));
    EXPECT_FALSE(HugePageAllocator<std::uint64_t>::inHugePages(kWordsInHugePage + 1));
    for (const std::size_t pages : {1, 2}) {
        ASSERT_TRUE(HugePageAllocator<std::uint64_t>::inHugePages(pages * kWordsInHugePage));
        const Table table(pages * kWordsInHugePage);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(table.data()) % HugePageAllocator<std::uint64_t>::kHugePage, 0u);
    }
}
#endif

}  // namespace
}  // namespace quillon::unicode
