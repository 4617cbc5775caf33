#include "encoding_tally.h"

#include <array>
#include <bit>
#include <cstring>

#include "character_classes.h"

namespace quillon {
namespace {

// The marks whose frequency tells GB text from Big5 text: blank, full stop,
// comma, colon and the character 的, each in the profile's own coding.
bool isCommonMark(const EncodingProfile& profile, CharCode code) {
    using enum CharClass;
    constexpr ClassSet kMarks = 1u << int(Blank) | 1u << int(Period) | 1u << int(Comma) |
                                1u << int(Colon);
    return (doubleByteClassesOf(profile, code) & kMarks) != 0 || code == profile.headingWords[0];
}

// Mark counts of every double-byte code, indexed by the code less 8000: one
// in the low nibble for a GB mark, in the high nibble for a Big5 mark, so that
// the counts of four codes add up in one byte.
const unsigned char* markTable() {
    static const auto table = [] {
        std::array<unsigned char, 0x8000> t{};
        for (unsigned code = 0x8000; code <= 0xFFFF; ++code) {
            t[code - 0x8000] = static_cast<unsigned char>((isCommonMark(profiles::GB, CharCode(code)) ? 0x01 : 0) |
                                                          (isCommonMark(profiles::BIG5, CharCode(code)) ? 0x10 : 0));
        }
        return t;
    }();
    return table.data();
}

}  // namespace

EncodingTally::EncodingTally() : marks_(markTable()) {}

void EncodingTally::addPair(unsigned lead, unsigned trail) {
    sawDoubleByte_ = true;
    sawLowByte_ = sawLowByte_ || lead < 0xA1 || trail < 0xA1;
    const unsigned counts = marks_[(lead << 8 | trail) - 0x8000];
    gbMarks_ += counts & 0xF;
    big5Marks_ += counts >> 4;
}

void EncodingTally::add(const unsigned char* bytes, std::size_t length) {
    const unsigned char* p = bytes;
    const unsigned char* const end = bytes + length;
    if (hasPendingLead_ && p < end) {
        hasPendingLead_ = false;
        addPair(pendingLead_, *p++);
    }
    // Byte i of a word loaded from p is p[i].
    static_assert(std::endian::native == std::endian::little);
    constexpr std::uint64_t kOnes = 0x0101010101010101u;
    constexpr std::uint64_t kHighBits = 0x80 * kOnes;
    // Eight bytes at a time from the start of a character: ASCII is skipped,
    // and a run of high bytes is taken in whole pairs, a lead that ends it
    // pairing with the ASCII byte after it.
    while (end - p >= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        const std::uint64_t high = word & kHighBits;
        if (high == 0) {
            p += 8;
            continue;
        }
        const int ascii = std::countr_zero(high) / 8;
        if (ascii > 0) {
            p += ascii;
            continue;
        }
        const auto countsAt = [&](int i) { return unsigned(marks_[(p[i] << 8 | p[i + 1]) - 0x8000]); };
        int run = 8;
        unsigned counts = 0;
        if (high == kHighBits) {
            counts = countsAt(0) + countsAt(2) + countsAt(4) + countsAt(6);
        } else {
            run = std::countr_zero(~word & kHighBits) / 8;
            for (int i = 0; i < run; i += 2) counts += countsAt(i);
        }
        if (!sawLowByte_) {
            // A lead before ASCII pairs with a trail below A1; so does any
            // byte of the run whose low seven bits lie below 21. A borrow only
            // carries upwards, from a byte that is itself below.
            const std::uint64_t low7 = word & ~kHighBits;
            const std::uint64_t below = (low7 - 0x21 * kOnes) & ~low7 & kHighBits;
            const std::uint64_t inRun = run == 8 ? ~std::uint64_t(0) : (std::uint64_t(1) << 8 * run) - 1;
            sawLowByte_ = (run & 1) != 0 || (below & inRun) != 0;
        }
        sawDoubleByte_ = true;
        gbMarks_ += counts & 0xF;
        big5Marks_ += counts >> 4;
        p += (run + 1) & ~1;
    }
    while (p < end) {
        if (*p < 0x80) {
            ++p;
        } else if (end - p >= 2) {
            addPair(p[0], p[1]);
            p += 2;
        } else {
            pendingLead_ = *p++;
            hasPendingLead_ = true;
        }
    }
}

ProfileId EncodingTally::verdict() const {
    if (!sawDoubleByte_) return kPureAscId;
    if (!sawLowByte_) return kGbId;
    return gbMarks_ > big5Marks_ ? kGbkId : kBig5Id;  // a tie, 0 against 0 included, is Big5
}

}  // namespace quillon
