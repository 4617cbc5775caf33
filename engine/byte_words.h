#pragma once

// Eight bytes of text read as one word, for scans that skip ahead a word at a
// time.
#include <array>
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

// The bytes from a character start to the first character start at least
// eight bytes on, by the high bits of the eight bytes (highBitMask): a byte
// with its high bit set takes the next byte with it.
inline constexpr std::array<std::uint8_t, 0x100> kWordStep = [] {
    std::array<std::uint8_t, 0x100> steps{};
    for (unsigned high = 0; high < 0x100; ++high) {
        unsigned pos = 0;
        while (pos < 8) pos += (high >> pos & 1) ? 2 : 1;
        steps[high] = static_cast<std::uint8_t>(pos);
    }
    return steps;
}();

}  // namespace quillon
