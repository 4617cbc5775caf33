#pragma once

// Eight bytes of text read as one word, for scans that skip ahead a word at a
// time.
#include <bit>
#include <cstdint>
#include <cstring>

namespace quillon {

inline constexpr std::uint64_t kHighBits = 0x8080808080808080u;

// Byte i of the text is byte i of the word.
inline std::uint64_t wordAt(const char* text) {
    static_assert(std::endian::native == std::endian::little);
    std::uint64_t word;
    std::memcpy(&word, text, 8);
    return word;
}

// Bit i set when byte i of the word has its high bit set.
constexpr unsigned highBitMask(std::uint64_t word) {
    return static_cast<unsigned>(((word & kHighBits) >> 7) * 0x0102040810204080u >> 56);
}

}  // namespace quillon
