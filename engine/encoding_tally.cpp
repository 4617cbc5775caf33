#include "encoding_tally.h"

#include <array>
#include <bit>
#include <cstring>
#include <utility>

#include "byte_masks.h"
#include "char_code.h"

namespace quillon {
namespace {

// Mark counts of every double-byte code, indexed by the code less 8000: one
// in the low six bits for a GB mark, one above them for a Big5 mark, so that
// the counts of a block's 32 pairs at most add up in one sum. The marks whose
// frequency tells GB text from Big5 text are blank, full stop, comma, colon
// and the character 的, each in the profile's own coding.
constexpr unsigned kBig5MarkShift = 6;
constexpr unsigned kGbMarkCounts = (1u << kBig5MarkShift) - 1;
const unsigned char* markTable() {
    static const auto table = [] {
        std::array<unsigned char, 0x8000> t{};
        const auto mark = [&t](CharCode code, unsigned count) {
            if (isDoubleByte(code)) t[code - 0x8000u] = static_cast<unsigned char>(t[code - 0x8000u] | count);
        };
        const std::pair<const EncodingProfile*, unsigned> counted[] = {{&profiles::GB, 1u},
                                                                       {&profiles::BIG5, 1u << kBig5MarkShift}};
        for (const auto& [profile, count] : counted) {
            for (const CharClass c : {CharClass::Blank, CharClass::Period, CharClass::Comma, CharClass::Colon}) {
                for (const CharCode* code = profile->list(c); *code != 0; ++code) mark(*code, count);
            }
            mark(profile->headingWords[0], count);
        }
        return t;
    }();
    return table.data();
}

// The bytes that can lead a mark of either profile (A1, A3, AA and B5), and
// those below 40, which are no trail of any profile.
unsigned markLeadOrLowBits16(const unsigned char* bytes) {
    return byte_masks::belowOrEqualBits16<0x40, 0xA1, 0xA3, 0xAA, 0xB5>(bytes);
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
    const std::uint64_t high = bitsOf64(bytes, highBits16);
    const std::uint64_t leads = leadBytes(high, startsWithTrail);
    found.sawDoubleByte = found.sawDoubleByte || leads != 0;
    const std::uint64_t trails = leads << 1 | (startsWithTrail ? 1 : 0);
    if (kSeeksLowByte) {
        const std::uint64_t below = bitsOf64(bytes, [](const unsigned char* b) { return belowBits16(b, 0xA1); });
        found.sawLowByte = ((leads | trails) & below) != 0;
    }
    if (kCountsMarks) {
        // A trail below 40 is below A1 too: sawLowByte is then already set.
        const std::uint64_t picked = bitsOf64(bytes, markLeadOrLowBits16);
        found.sawStrayTrail = found.sawStrayTrail || (trails & picked & ~high) != 0;
        unsigned counts = 0;
        for (std::uint64_t marked = leads & picked; marked != 0; marked &= marked - 1) {
            std::uint16_t pair;  // lead and trail, in memory order
            std::memcpy(&pair, bytes + static_cast<unsigned>(std::countr_zero(marked)), 2);
            counts += marks[std::rotl(pair, 8) - 0x8000];
        }
        addMarkCounts(found, counts);
    } else if (found.sawLowByte && !found.sawStrayTrail) {
        // Only a block with a low byte can hold a stray trail.
        found.sawStrayTrail = (trails & bitsOf64(bytes, [](const unsigned char* b) { return belowBits16(b, 0x40); })) != 0;
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
