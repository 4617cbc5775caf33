#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <vector>

#include "char_code.h"
#include "encoding_profile.h"

namespace quillon::unicode {

// A BMP character's UTF-8 bytes in memory order and then their count, so
// that one copy of four bytes writes it (the fourth is written over by what
// follows). 0 stands for no character.
using Utf8Code = std::uint32_t;

constexpr Utf8Code utf8Of(char16_t c) {
    std::array<unsigned char, 4> bytes{};
    if (c < 0x80) {
        bytes = {static_cast<unsigned char>(c), 0, 0, 1};
    } else if (c < 0x800) {
        bytes = {static_cast<unsigned char>(0xC0 | c >> 6), static_cast<unsigned char>(0x80 | (c & 0x3F)), 0, 2};
    } else {
        bytes = {static_cast<unsigned char>(0xE0 | c >> 12),
                 static_cast<unsigned char>(0x80 | (c >> 6 & 0x3F)),
                 static_cast<unsigned char>(0x80 | (c & 0x3F)), 3};
    }
    return std::bit_cast<Utf8Code>(bytes);
}

constexpr unsigned lengthOf(Utf8Code code) {
    return std::bit_cast<std::array<unsigned char, 4>>(code)[3];
}

constexpr char16_t characterOf(Utf8Code code) {
    const auto b = std::bit_cast<std::array<unsigned char, 4>>(code);
    const unsigned c = b[3] == 1   ? b[0]
                       : b[3] == 2 ? (b[0] & 0x1Fu) << 6 | (b[1] & 0x3Fu)
                                   : (b[0] & 0x0Fu) << 12 | (b[1] & 0x3Fu) << 6 | (b[2] & 0x3Fu);
    return static_cast<char16_t>(c);
}

// Writes the character, and one byte past it.
inline unsigned char* putUtf8(unsigned char* out, Utf8Code code) {
    std::memcpy(out, &code, sizeof code);
    return out + lengthOf(code);
}

// Whether `c` is a Chinese character (an ideograph), the only kind of
// character whose form a conversion changes.
bool isHanzi(char32_t c);

// The written form a text uses, as far as its characters tell.
enum class Form { None, Simplified, Traditional };

// Counts the characters that only one form uses.
struct FormCount {
    std::uint64_t simplified = 0;
    std::uint64_t traditional = 0;
    Form form() const;
};

// The two legacy families in Unicode terms: GB and GBK share one, Big5 is the
// other. Worked out once from ICU's charts of the two families and from the
// engine's own code tables, so that the edge and the engine agree on every
// character.
class FamilyMaps {
public:
    static constexpr char32_t kBmpSize = 0x10000;

    static const FamilyMaps& instance();

    // The character each double-byte code of `profile`'s family stands for,
    // in UTF-8, indexed by code less kFirstPair; 0 for a code that stands for
    // no character: one the family does not define or leaves to private use.
    // A code the engine writes for a character the other family lacks (GB's
    // □ as Big5 FB4C) reads as that character.
    static constexpr CharCode kFirstPair = 0x8000;
    const Utf8Code* utf8Table(const EncodingProfile& profile) const;
    // The same with 0 as well for the codes outside `profile`'s own byte
    // ranges (GB's within GBK's family).
    const Utf8Code* heldUtf8Table(const EncodingProfile& profile) const;

    // The code by which a run from `from` to `to` carries `c`: its code in
    // `from`'s family when the run converts it without loss, else 0. ASCII
    // is not looked up here.
    CharCode encode(const EncodingProfile& from, const EncodingProfile& to, char32_t c) const {
        return c < kBmpSize ? encodeTable(from, to)[c] : 0;
    }
    // The same for every BMP character at once: indexed by character.
    const CharCode* encodeTable(const EncodingProfile& from, const EncodingProfile& to) const;

    // Codes the family's chart leaves to private use: free for the edge to
    // carry characters through a run that does not convert.
    const std::vector<CharCode>& privateCodes(const EncodingProfile& profile) const;

    // Adds one character to a count of telling characters.
    void count(char32_t c, FormCount& count) const {
        if (c < kBmpSize) {
            count.simplified += (formBits_[c] & kSimplifiedOnly) != 0;
            count.traditional += (formBits_[c] & kTraditionalOnly) != 0;
        }
    }

    // The family that writes `form`: Big5 for traditional text, GBK otherwise.
    static const EncodingProfile& familyFor(Form form);

private:
    FamilyMaps();
    struct Family;
    static constexpr std::uint8_t kSimplifiedOnly = 1;
    static constexpr std::uint8_t kTraditionalOnly = 2;

    const Family& familyOf(const EncodingProfile& profile) const;

    struct Family {
        std::vector<Utf8Code> utf8;         // by code
        std::vector<CharCode> canonical;    // by BMP character: its code, 0 if none
        std::vector<CharCode> privateCodes;
    };
    Family gbk_;
    Family big5_;
    // Encode tables by source family (GBK, Big5) and target profile id (1..3).
    mutable std::vector<CharCode> encode_[2][4];
    mutable std::once_flag encodeBuilt_[2][4];
    // utf8Table within each profile's byte ranges, by profile id.
    mutable std::vector<Utf8Code> held_[kPureAscId + 1];
    mutable std::once_flag heldBuilt_[kPureAscId + 1];
    std::vector<std::uint8_t> formBits_;
};

}  // namespace quillon::unicode
