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

// Top bit set in each byte that can lead a mark of either profile: A1 or A3
// (one test with bit 1 masked), AA or B5.
std::uint64_t markLeadBytes(std::uint64_t word) {
    using namespace byte_masks;
    return bytesEqualTo(word & ~(0x02 * kOnes), 0xA1) | bytesEqualTo(word, 0xAA) |
           bytesEqualTo(word, 0xB5);
}

}  // namespace

EncodingTally::EncodingTally(bool countsMarks) : marks_(markTable()), countsMarks_(countsMarks) {}

void EncodingTally::addPair(unsigned lead, unsigned trail) {
    sawDoubleByte_ = true;
    sawLowByte_ = sawLowByte_ || lead < 0xA1 || trail < 0xA1;
    sawStrayTrail_ = sawStrayTrail_ || trail < 0x40;
    if (!countsMarks_) return;
    const unsigned counts = marks_[(lead << 8 | trail) - 0x8000];
    gbMarks_ += counts & 0xF;
    big5Marks_ += counts >> 4;
}

// Sixty-four bytes at once, as bit masks with one bit a byte. Within a run of
// high bytes the leads are those at an even distance from its start; the last
// lead of a run of odd length pairs with the byte after the run. Reads the
// byte after the block as the trail of a lead that ends it, and returns
// whether there is one.
template <bool kSeeksLowByte, bool kCountsMarks>
bool EncodingTally::addBlock(const unsigned char* bytes, bool startsWithTrail) {
    using namespace byte_masks;
    const std::uint64_t leads = leadBytes(maskOf(bytes, [](std::uint64_t w) { return w; }), startsWithTrail);
    sawDoubleByte_ = sawDoubleByte_ || leads != 0;
    const std::uint64_t trails = leads << 1 | (startsWithTrail ? 1 : 0);
    if (kSeeksLowByte) {
        const std::uint64_t below = maskOf(bytes, [](std::uint64_t w) { return bytesBelow(w, 0xA1); });
        sawLowByte_ = ((leads | trails) & below) != 0;
    }
    // Only a block with a low byte can hold a stray trail.
    if (sawLowByte_ && !sawStrayTrail_) {
        sawStrayTrail_ = (trails & maskOf(bytes, [](std::uint64_t w) { return bytesBelow(w, 0x40); })) != 0;
    }
    if (kCountsMarks) {
        for (std::uint64_t marked = leads & maskOf(bytes, markLeadBytes); marked != 0; marked &= marked - 1) {
            const int i = std::countr_zero(marked);
            const unsigned counts = marks_[(bytes[i] << 8 | bytes[i + 1]) - 0x8000];
            gbMarks_ += counts & 0xF;
            big5Marks_ += counts >> 4;
        }
    }
    return (leads >> 63) != 0;
}

void EncodingTally::add(const unsigned char* bytes, std::size_t length) {
    const unsigned char* p = bytes;
    const unsigned char* const end = bytes + length;
    if (hasPendingLead_ && p < end) {
        hasPendingLead_ = false;
        addPair(pendingLead_, *p++);
    }
    bool startsWithTrail = false;
    while (end - p > 64) {
        if (!sawLowByte_) {
            startsWithTrail = countsMarks_ ? addBlock<true, true>(p, startsWithTrail)
                                           : addBlock<true, false>(p, startsWithTrail);
        } else {
            if (!countsMarks_) return;  // needsMarks(): nothing more to learn
            startsWithTrail = addBlock<false, true>(p, startsWithTrail);
        }
        p += 64;
    }
    // The trail of a lead that ended the last block has been counted with it.
    if (startsWithTrail) {
        sawLowByte_ = sawLowByte_ || *p < 0xA1;
        sawStrayTrail_ = sawStrayTrail_ || *p < 0x40;
        ++p;
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
