#pragma once

#include <bit>
#include <cstdint>

#include "byte_masks.h"
#include "char_code.h"

// Where characters start, found reading a byte range backwards.
namespace quillon {

// The number of bytes with the high bit set just before `end`, counted back
// no further than `start`. The byte after an ASCII byte starts a character,
// whether that byte is a character of its own or a trail byte, and so does
// `start`; from there on high bytes pair up. So `end` starts a character when
// the count is even.
inline int highBytesBefore(const char* text, int start, int end) {
    int from = end;
    for (; from - start >= 16; from -= 16) {
        const unsigned ascii = ~byte_masks::highBits16(reinterpret_cast<const unsigned char*>(text + from - 16)) & 0xFFFFu;
        if (ascii != 0) return end - (from - 16 + std::bit_width(ascii));
    }
    for (; from - start >= 8; from -= 8) {
        const std::uint64_t ascii = ~byte_masks::wordAt(text + from - 8) & byte_masks::kHighBits;
        if (ascii != 0) return end - (from - std::countl_zero(ascii) / 8);
    }
    while (from > start && (static_cast<unsigned char>(text[from - 1]) & 0x80)) --from;
    return end - from;
}

// The last character of a range (start < end) as a forward scan with
// readCharAt reads it: a lead byte without its trail reads as code 0, and a
// last byte below 80 is the trail of a pair when a lead byte comes before it
// (D6 3A is one character, not a colon).
inline CharAt lastCharOf(const char* text, int start, int end) {
    const auto last = static_cast<unsigned char>(text[end - 1]);
    if (last < 0x80) {
        const bool afterHighByte = end - start >= 2 && (static_cast<unsigned char>(text[end - 2]) & 0x80);
        if (!afterHighByte || highBytesBefore(text, start, end - 1) % 2 == 0) return {last, 1};
        return readCharAt(text, end - 2, end);
    }
    if (highBytesBefore(text, start, end) % 2 != 0) return {0, 1};
    return readCharAt(text, end - 2, end);
}

// lastCharOf where `end` is known to start a character (an even count of
// high bytes before it): a high byte before it is then a trail byte, and
// only an ASCII byte after a high one needs the count.
inline CharAt charBefore(const char* text, int start, int end) {
    if (end - start >= 2 && (static_cast<unsigned char>(text[end - 1]) & 0x80)) return readCharAt(text, end - 2, end);
    return lastCharOf(text, start, end);
}

}  // namespace quillon
