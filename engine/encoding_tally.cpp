#include "encoding_tally.h"

#include <array>
#include <bit>
#include <cstring>

#include "byte_masks.h"
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
// in the low six bits for a GB mark, one above them for a Big5 mark, so that
// the counts of a block's 32 pairs at most add up in one sum.
constexpr unsigned kBig5MarkShift = 6;
constexpr unsigned kGbMarkCounts = (1u << kBig5MarkShift) - 1;
const unsigned char* markTable() {
    static const auto table = [] {
        std::array<unsigned char, 0x8000> t{};
        for (unsigned code = 0x8000; code <= 0xFFFF; ++code) {
            t[code - 0x8000] =
                static_cast<unsigned char>((isCommonMark(profiles::GB, CharCode(code)) ? 1 : 0) |
                                           (isCommonMark(profiles::BIG5, CharCode(code)) ? 1u << kBig5MarkShift : 0));
        }
        return t;
    }();
    return table.data();
}

// The bytes that can lead a mark of either profile: A1, A3, AA or B5.
unsigned markLeadBits16(const unsigned char* bytes) {
    using namespace byte_masks;
    return equalBits16(bytes, 0xA1) | equalBits16(bytes, 0xA3) | equalBits16(bytes, 0xAA) |
           equalBits16(bytes, 0xB5);
}

using Findings = EncodingTally::Findings;

void addMarkCounts(Findings& found, unsigned counts) {
    found.gbMarks += counts & kGbMarkCounts;
    found.big5Marks += counts >> kBig5MarkShift;
}

template <bool kCountsMarks>
void addPair(Findings& found, unsigned lead, unsigned trail) {
    found.sawDoubleByte = true;
    found.sawLowByte = found.sawLowByte || lead < 0xA1 || trail < 0xA1;
    found.sawStrayTrail = found.sawStrayTrail || trail < 0x40;
    if (kCountsMarks) addMarkCounts(found, markTable()[(lead << 8 | trail) - 0x8000]);
}

// Sixty-four bytes at once, as bit masks with one bit a byte. Within a run of
// high bytes the leads are those at an even distance from its start; the last
// lead of a run of odd length pairs with the byte after the run. Reads the
// byte after the block as the trail of a lead that ends it, and returns
// whether there is one.
template <bool kSeeksLowByte, bool kCountsMarks>
bool addBlock(Findings& found, const unsigned char* marks, const unsigned char* bytes, bool startsWithTrail) {
    using namespace byte_masks;
    const std::uint64_t leads = leadBytes(bitsOf64(bytes, highBits16), startsWithTrail);
    found.sawDoubleByte = found.sawDoubleByte || leads != 0;
    const std::uint64_t trails = leads << 1 | (startsWithTrail ? 1 : 0);
    if (kSeeksLowByte) {
        const std::uint64_t below = bitsOf64(bytes, [](const unsigned char* b) { return belowBits16(b, 0xA1); });
        found.sawLowByte = ((leads | trails) & below) != 0;
    }
    // Only a block with a low byte can hold a stray trail.
    if (found.sawLowByte && !found.sawStrayTrail) {
        found.sawStrayTrail = (trails & bitsOf64(bytes, [](const unsigned char* b) { return belowBits16(b, 0x40); })) != 0;
    }
    if (kCountsMarks) {
        unsigned counts = 0;
        for (std::uint64_t marked = leads & bitsOf64(bytes, markLeadBits16); marked != 0; marked &= marked - 1) {
            std::uint16_t pair;  // lead and trail, in memory order
            std::memcpy(&pair, bytes + std::countr_zero(marked), 2);
            counts += marks[std::rotl(pair, 8) - 0x8000];
        }
        addMarkCounts(found, counts);
    }
    return (leads >> 63) != 0;
}

}  // namespace

EncodingTally::EncodingTally(bool countsMarks) : countsMarks_(countsMarks) {}

void EncodingTally::add(const unsigned char* bytes, std::size_t length) {
    const unsigned char* p = bytes;
    const unsigned char* const end = bytes + length;
    // A copy, which the compiler keeps in registers.
    Findings found = found_;
    const auto pair = [&](unsigned lead, unsigned trail) {
        countsMarks_ ? addPair<true>(found, lead, trail) : addPair<false>(found, lead, trail);
    };
    if (hasPendingLead_ && p < end) {
        hasPendingLead_ = false;
        pair(pendingLead_, *p++);
    }
    const unsigned char* const marks = markTable();
    bool startsWithTrail = false;
    while (end - p > 64) {
        if (!found.sawLowByte) {
            startsWithTrail = countsMarks_ ? addBlock<true, true>(found, marks, p, startsWithTrail)
                                           : addBlock<true, false>(found, marks, p, startsWithTrail);
        } else {
            if (!countsMarks_) break;  // needsMarks(): nothing more to learn
            startsWithTrail = addBlock<false, true>(found, marks, p, startsWithTrail);
        }
        p += 64;
    }
    if (!countsMarks_ && found.sawLowByte) {
        found_ = found;
        return;
    }
    // The trail of a lead that ended the last block has been counted with it.
    if (startsWithTrail) {
        found.sawLowByte = found.sawLowByte || *p < 0xA1;
        found.sawStrayTrail = found.sawStrayTrail || *p < 0x40;
        ++p;
    }
    while (p < end) {
        if (*p < 0x80) {
            ++p;
        } else if (end - p >= 2) {
            pair(p[0], p[1]);
            p += 2;
        } else {
            pendingLead_ = *p++;
            hasPendingLead_ = true;
        }
    }
    found_ = found;
}

ProfileId EncodingTally::verdict() const {
    if (!found_.sawDoubleByte) return kPureAscId;
    if (!found_.sawLowByte) return kGbId;
    return found_.gbMarks > found_.big5Marks ? kGbkId : kBig5Id;  // a tie, 0 against 0 included, is Big5
}

}  // namespace quillon
