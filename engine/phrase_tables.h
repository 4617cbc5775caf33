#pragma once
#include <cstddef>
#include <cstdint>
namespace quillon {
// Phrase records, one after another: the phrase's length n in characters, its
// n source codes, then the n codes its characters become. Sorted by source
// codes, a phrase before the longer ones it begins. Size counts the table's
// codes, Count its records.
extern const std::uint16_t GbkToBig5Phrases[];
extern const std::size_t GbkToBig5PhrasesSize;
extern const std::size_t GbkToBig5PhrasesCount;
extern const std::uint16_t Big5ToGbPhrases[];
extern const std::size_t Big5ToGbPhrasesSize;
extern const std::size_t Big5ToGbPhrasesCount;
}  // namespace quillon
