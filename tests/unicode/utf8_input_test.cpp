#include "utf8_input.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "byte_masks.h"

namespace quillon::unicode {
namespace {

std::array<char, 3> threeBytes(char32_t c) {
    return {static_cast<char>(0xE0 | c >> 12), static_cast<char>(0x80 | (c >> 6 & 0x3F)),
            static_cast<char>(0x80 | (c & 0x3F))};
}

// Every character of three bytes, first and second in a word, comes back
// from its packed sequence as it went in.
TEST(PackedSequences, GiveBackEveryCharacterOfThreeBytes) {
    for (char32_t c = 0x800; c <= 0xFFFF; ++c) {
        const char32_t other = 0xFFFF - (c - 0x800);
        std::array<char, 8> bytes{};
        const auto first = threeBytes(c);
        const auto second = threeBytes(other);
        std::copy(first.begin(), first.end(), bytes.begin());
        std::copy(second.begin(), second.end(), bytes.begin() + 3);
        const std::uint64_t word = byte_masks::wordAt(bytes.data());
        ASSERT_TRUE(startsWithTwoThreeByteSequences(word));
        const std::uint64_t packed = packedSequences(word);
        ASSERT_EQ(unpackedSequence(packed & 0xFFFF), c);
        ASSERT_EQ(unpackedSequence(packed >> 24 & 0xFFFF), other);
    }
}

// Sixteen bytes at a time stop at what eight do: every byte value, at every
// place among plain ASCII.
TEST(AsciiStops16, StopAtLineEndsControlsAndBytesOfOtherCharacters) {
    for (unsigned value = 0; value < 0x100; ++value) {
        const bool stops = value < 0x0E || value >= 0x80;
        for (unsigned place = 0; place < 16; ++place) {
            std::array<unsigned char, 16> bytes;
            bytes.fill('a');
            bytes[place] = static_cast<unsigned char>(value);
            ASSERT_EQ(asciiStops16(bytes.data()), stops ? 1u << place : 0u) << value << " at " << place;
        }
    }
}

}  // namespace
}  // namespace quillon::unicode
