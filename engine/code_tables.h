#pragma once
#include <cstddef>
#include <cstdint>
namespace quillon {
// Entry = lead byte * 256 + trail byte of the counterpart; 0 = no counterpart.
// Index = (lead - base) * 191 + (trail - 0x40), trail 0x40..0xFE;
// base 0x81 for GbkToBig5Table (which ends at FE50), 0xA1 for Big5ToGbTable.
inline constexpr std::size_t kGbkToBig5Entries = 23892;
inline constexpr std::size_t kBig5ToGbEntries = 16999;
// The tools and data the tables were made from, which name their version.
extern const char kCodeTablesOrigin[];
extern const std::uint16_t GbkToBig5Table[kGbkToBig5Entries];
extern const std::uint16_t Big5ToGbTable[kBig5ToGbEntries];
}  // namespace quillon
