#pragma once

#include <cstddef>
#include <cstdint>

#include "char_code.h"

namespace quillon {

// The roles a code can play; the same index in every profile.
enum class CharClass : int {
    Blank,
    Comma,
    Period,
    Colon,
    Semicolon,
    EnumerationComma,
    Question,
    Exclamation,
    Ellipsis,
    LeftDoubleQuote,
    RightDoubleQuote,
    LeftSingleQuote,
    RightSingleQuote,
    LeftCornerBracket,
    RightCornerBracket,
    LeftWhiteCornerBracket,
    RightWhiteCornerBracket,
    Asterisk,
    FullwidthDot,
    NumberSign,
    Dollar,
    EqualsSign,
    Hyphen,
    Underscore,
    LeftLenticular,
    RightLenticular,
    FullwidthQuote,
};
inline constexpr int kClassCount = 27;

// Profile numbers as the options and the front end see them (4 is unused).
enum ProfileId : std::int32_t { kGbId = 1, kGbkId = 2, kBig5Id = 3, kPureAscId = 5 };

// Constant description of one encoding.
struct EncodingProfile {
    std::int32_t id;
    char name[8];
    std::uint8_t leadMin, leadMax;
    std::uint8_t trailMin, trailMax;
    std::uint8_t replacement[2];  // lead, trail
    std::uint8_t tableTrailBase;
    std::uint8_t tableLeadBase;
    const std::uint16_t* codeTable;  // conversion out of this encoding; null for PureASC
    std::size_t codeTableEntries;
    CharCode classes[kClassCount][4];  // up to three codes, then 0
    CharCode headingWords[24];         // 23 common characters, then 0

    const CharCode* list(CharClass c) const { return classes[static_cast<int>(c)]; }
    // The code written whenever this profile's member of a class is produced.
    CharCode primary(CharClass c) const { return list(c)[0]; }
    CharCode replacementCode() const {
        return static_cast<CharCode>(replacement[0] << 8 | replacement[1]);
    }
    // The code table's counterpart of a double-byte code; 0 where it has none.
    CharCode tableEntry(CharCode code) const {
        const unsigned lead = code >> 8;
        const unsigned trail = code & 0xFFu;
        if (lead < tableLeadBase || trail < tableTrailBase || trail > trailMax) return 0;
        const std::size_t index =
            std::size_t(lead - tableLeadBase) * (trailMax - tableTrailBase + 1u) + (trail - tableTrailBase);
        return index < codeTableEntries ? codeTable[index] : 0;
    }
    // Whether a double-byte code lies within the lead and trail byte ranges.
    bool holds(CharCode code) const {
        const unsigned lead = code >> 8;
        const unsigned trail = code & 0xFFu;
        return leadMin <= lead && lead <= leadMax && trailMin <= trail && trail <= trailMax;
    }
};

// Whether converting text from one profile to another changes any code: not
// into the same profile, nor from GB into GBK, which holds it. Such a
// conversion validates nothing either.
inline bool changesCode(const EncodingProfile& from, const EncodingProfile& to) {
    return &from != &to && !(from.id == kGbId && to.id == kGbkId);
}

namespace profiles {
extern const EncodingProfile GB;
extern const EncodingProfile GBK;
extern const EncodingProfile BIG5;
extern const EncodingProfile PureASC;
}  // namespace profiles

// The profile with this id, or null when there is none.
const EncodingProfile* profileById(std::int32_t id);

// Tables built once per profile are indexed by this: 0 GB, 1 GBK, 2 BIG5,
// 3 PureASC, and -1 for a profile that is not one of the four.
inline constexpr int kBuiltInProfiles = 4;
int builtInSlot(const EncodingProfile& profile);

}  // namespace quillon
