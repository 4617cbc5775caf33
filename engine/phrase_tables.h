#pragma once
#include <cstddef>
#include <cstdint>
namespace quillon {
// Phrase records, one after another: the phrase's length n in characters, its
// n source codes, then the n codes its characters become. Sorted by source
// codes, a phrase before the longer ones it begins.
extern const std::uint16_t GbkToBig5Phrases[];
extern const std::size_t GbkToBig5PhrasesSize;
extern const std::uint16_t Big5ToGbPhrases[];
extern const std::size_t Big5ToGbPhrasesSize;
}  // namespace quillon
