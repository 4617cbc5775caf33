#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "byte_masks.h"
#include "end_mark.h"
#include "source_text.h"

namespace quillon::unicode {

// Whether a word of UTF-8 (byte_masks::wordAt) starts with two sequences of
// three bytes, as hanzi and their punctuation come: lead bytes 1110xxxx,
// trail bytes 10xxxxxx. A lookup tells whether they are characters.
inline bool startsWithTwoThreeByteSequences(std::uint64_t word) {
    return (word & 0x0000C0C0F0C0C0F0u) == 0x00008080E08080E0u;
}

// The top bit of each byte of a word (byte_masks::wordAt) that is no ASCII
// character needing no attention: a byte of another character, a line end
// or any other control below 0x0E.
inline std::uint64_t asciiStops(std::uint64_t word) {
    return (word & byte_masks::kHighBits) | byte_masks::bytesBelow(word, 0x0E);
}

// asciiStops for sixteen bytes at once, one bit a byte. With SSE2, a signed
// comparison finds both kinds: bytes of 80 and up are below 0E as well.
#if defined(__SSE2__)
inline unsigned asciiStops16(const unsigned char* bytes) {
    const __m128i below = _mm_cmplt_epi8(byte_masks::load16(bytes), _mm_set1_epi8(0x0E));
    return static_cast<unsigned>(_mm_movemask_epi8(below));
}
#else
inline unsigned asciiStops16(const unsigned char* bytes) {
    return byte_masks::bitsOf16(bytes, asciiStops);
}
#endif

// The value of the three-byte sequence at the start of such a word.
inline std::size_t threeByteSequence(std::uint64_t word) {
    return (word & 0x0F) << 12 | (word >> 8 & 0x3F) << 6 | (word >> 16 & 0x3F);
}

// Both sequences of such a word at once, each packed into sixteen bits, the
// first's at bits 0-15 and the second's at 24-39: the first trail's six bits,
// the second's, then the lead's four. Fewer steps than threeByteSequence
// takes twice, for a table indexed by packed sequence; its characters of
// one lead byte stay together, as in a table by character.
inline std::uint64_t packedSequences(std::uint64_t word) {
    return (word >> 8 & 0x03F00003Fu) | (word >> 10 & 0xFC0000FC0u) | (word << 12 & 0xF00000F000u);
}

// The character a packed sequence stands for.
inline char32_t unpackedSequence(std::size_t packed) {
    return static_cast<char32_t>((packed & 0xF000) | (packed & 0x3F) << 6 | (packed >> 6 & 0x3F));
}

// A UTF-8 file read a buffer at a time for decoders that take the common
// characters straight from the buffer. A byte-order mark at the start is
// skipped; a byte 1A ends the text.
class Utf8Input {
public:
    Utf8Input() = default;
    ~Utf8Input();
    Utf8Input(const Utf8Input&) = delete;
    Utf8Input& operator=(const Utf8Input&) = delete;

    // False when the source cannot be opened.
    bool open(const SourceText& source);
    // The next character, the invalid marker for a sequence that does not
    // decode; false at the end of the text. Reads on when the buffer holds
    // less than a whole character, so a character is never cut.
    bool takeCodePoint(char32_t& c);
    // True when reading stopped on an error rather than the end of the file.
    bool failed() const { return failed_; }
    // Where a byte 1A ended the text before the end of the file, else -1.
    std::int64_t endMarkOffset() const { return endMark_.offset(); }

    // The unread bytes in the buffer, which holds up to kBufferSize.
    const unsigned char* next = nullptr;
    const unsigned char* end = nullptr;
    static constexpr std::size_t kBufferSize = 1 << 18;

private:
    bool refill();

    std::FILE* file_ = nullptr;
    std::unique_ptr<unsigned char[]> bytes_;
    EndMark endMark_;
    bool ended_ = false;
    bool failed_ = false;
};

}  // namespace quillon::unicode
