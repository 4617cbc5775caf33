#pragma once

#include <cstdint>

namespace quillon {

// An ASCII byte as itself, a double-byte character as lead * 256 + trail.
// Bit 15 tells the two apart; 0 means "no character".
using CharCode = std::uint16_t;

constexpr bool isDoubleByte(CharCode code) { return (code & 0x8000) != 0; }

struct CharAt {
    CharCode code;
    int width;  // bytes consumed: 1 or 2
};

// Reads the character at `pos` of a byte range ending at `end` (pos < end).
// A high byte takes the next byte as its trail whatever that byte is; a high
// byte with nothing after it inside the range reads as code 0 and is consumed,
// so every scan over a range terminates.
inline CharAt readCharAt(const char* text, int pos, int end) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (lead < 0x80) return {lead, 1};
    if (pos + 1 < end) {
        const auto trail = static_cast<unsigned char>(text[pos + 1]);
        return {static_cast<CharCode>(lead << 8 | trail), 2};
    }
    return {0, 1};
}

// A lead byte without its trail is an invalid character. A format run that
// converts its text keeps one as this pair, which no profile holds (both
// bytes lie above every range), so that conversion boxes it and warns as it
// does any invalid pair.
constexpr CharCode kLoneLeadMark = 0xFFFF;

// readCharAt for text that the format run keeps: a lone lead byte reads as
// kLoneLeadMark, still one byte consumed.
inline CharAt readKeptCharAt(const char* text, int pos, int end) {
    const CharAt c = readCharAt(text, pos, end);
    return c.code == 0 && (static_cast<unsigned char>(text[pos]) & 0x80) ? CharAt{kLoneLeadMark, 1} : c;
}

}  // namespace quillon
