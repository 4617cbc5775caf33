#include "encoding_tally.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

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

// The bytes that can lead a mark of either profile: A1, A3, AA and B5.
unsigned markLeadBits16(const unsigned char* bytes) {
    return byte_masks::equalToAnyBits16<0xA1, 0xA3, 0xAA, 0xB5>(bytes);
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

// The masks of sixty-four bytes that a block needs, one bit a byte, and the
// marks among its pairs, taken sixteen bytes at a time (NarrowLanes) or
// thirty-two (WideLanes).
struct NarrowLanes {
    static std::uint64_t high(const unsigned char* bytes) { return byte_masks::bitsOf64(bytes, byte_masks::highBits16); }
    static std::uint64_t below(const unsigned char* bytes, unsigned char limit) {
        return byte_masks::bitsOf64(bytes, [limit](const unsigned char* b) { return byte_masks::belowBits16(b, limit); });
    }
    // The mark counts of the pairs that `leads` start, looked up one by one.
    unsigned markCounts(const unsigned char* bytes, std::uint64_t leads) const {
        unsigned counts = 0;
        const std::uint64_t picked = byte_masks::bitsOf64(bytes, markLeadBits16);
        for (std::uint64_t marked = leads & picked; marked != 0; marked &= marked - 1) {
            std::uint16_t pair;  // lead and trail, in memory order
            std::memcpy(&pair, bytes + static_cast<unsigned>(std::countr_zero(marked)), 2);
            counts += marks[std::rotl(pair, 8) - 0x8000];
        }
        return counts;
    }
    const unsigned char* marks = markTable();
};

#if defined(QUILLON_AVX2_LANES)
// The marks that share a lead byte, the high nibble of their trail and their
// counts make a group, with a bit of its own: the profiles' marks make seven
// groups. Looked up by its two nibbles, a byte gives the groups it can lead
// and those it can be the trail of; a lead and the byte after it share a bit
// exactly when they are a mark of that group.
struct MarkGroups {
    std::array<unsigned char, 16> leadHigh{}, leadLow{}, trailHigh{}, trailLow{};
    unsigned char gb = 0;    // the groups of GB marks
    unsigned char big5 = 0;  // and those of Big5 marks
};
const MarkGroups& markGroups() {
    static const MarkGroups groups = [] {
        MarkGroups g;
        std::vector<unsigned> keys;  // lead, trail's high nibble and counts of each group
        const unsigned char* const marks = markTable();
        for (unsigned code = 0x8000; code <= 0xFFFF; ++code) {
            const unsigned counts = marks[code - 0x8000];
            if (counts == 0) continue;
            const unsigned lead = code >> 8;
            const unsigned trail = code & 0xFF;
            const unsigned key = lead << 16 | (trail >> 4) << 8 | counts;
            auto group = std::find(keys.begin(), keys.end(), key);
            if (group == keys.end()) group = keys.insert(keys.end(), key);
            const auto bit = static_cast<unsigned char>(1u << (group - keys.begin()));
            g.leadHigh[lead >> 4] |= bit;
            g.leadLow[lead & 0xF] |= bit;
            g.trailHigh[trail >> 4] |= bit;
            g.trailLow[trail & 0xF] |= bit;
            if (counts & kGbMarkCounts) g.gb |= bit;
            if (counts >> kBig5MarkShift) g.big5 |= bit;
        }
        // A group more than a byte's bits would go uncounted.
        if (keys.size() > 8) std::abort();
        return g;
    }();
    return groups;
}

struct WideLanes {
    static std::uint64_t twoHalves(unsigned low, unsigned high) { return low | std::uint64_t{high} << 32; }
    QUILLON_AVX2 static std::uint64_t high(const unsigned char* bytes) {
        return twoHalves(byte_masks::highBits32(bytes), byte_masks::highBits32(bytes + 32));
    }
    QUILLON_AVX2 static std::uint64_t below(const unsigned char* bytes, unsigned char limit) {
        return twoHalves(byte_masks::belowBits32(bytes, limit), byte_masks::belowBits32(bytes + 32, limit));
    }

    QUILLON_AVX2 static __m256i table(const std::array<unsigned char, 16>& nibbles) {
        return _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(nibbles.data())));
    }
    QUILLON_AVX2 static __m256i groupsOf(__m256i bytes, __m256i high, __m256i low) {
        const __m256i nibble = _mm256_set1_epi8(0x0F);
        return _mm256_and_si256(_mm256_shuffle_epi8(high, _mm256_and_si256(_mm256_srli_epi16(bytes, 4), nibble)),
                                _mm256_shuffle_epi8(low, _mm256_and_si256(bytes, nibble)));
    }
    // The bytes of thirty-two that start a pair of one of `groups`.
    QUILLON_AVX2 static unsigned inGroups(__m256i pairGroups, unsigned char groups) {
        const __m256i none = _mm256_cmpeq_epi8(_mm256_and_si256(pairGroups, _mm256_set1_epi8(static_cast<char>(groups))),
                                               _mm256_setzero_si256());
        return ~static_cast<unsigned>(_mm256_movemask_epi8(none));
    }
    // The mark counts of the pairs that `leads` start, thirty-two pairs at
    // once: each byte is looked up as a lead, and the byte after it as its
    // trail. Reads the byte after the block.
    QUILLON_AVX2 unsigned markCounts(const unsigned char* bytes, std::uint64_t leads) const {
        std::uint64_t gb = 0;
        std::uint64_t big5 = 0;
        for (int half = 0; half < 2; ++half) {
            const __m256i pairGroups =
                _mm256_and_si256(groupsOf(byte_masks::load32(bytes + 32 * half), leadHigh, leadLow),
                                 groupsOf(byte_masks::load32(bytes + 32 * half + 1), trailHigh, trailLow));
            gb |= std::uint64_t{inGroups(pairGroups, groups.gb)} << 32 * half;
            big5 |= std::uint64_t{inGroups(pairGroups, groups.big5)} << 32 * half;
        }
        return static_cast<unsigned>(std::popcount(leads & gb) | std::popcount(leads & big5) << kBig5MarkShift);
    }

    QUILLON_AVX2 WideLanes()
        : leadHigh(table(groups.leadHigh)),
          leadLow(table(groups.leadLow)),
          trailHigh(table(groups.trailHigh)),
          trailLow(table(groups.trailLow)) {}

    const MarkGroups& groups = markGroups();
    const __m256i leadHigh, leadLow, trailHigh, trailLow;
};
#endif

// Sixty-four bytes at once, as bit masks with one bit a byte. Within a run of
// high bytes the leads are those at an even distance from its start; the last
// lead of a run of odd length pairs with the byte after the run. Reads the
// byte after the block as the trail of a lead that ends it, and returns
// whether there is one.
template <typename Lanes, bool kSeeksLowByte, bool kCountsMarks>
[[gnu::always_inline]] inline bool addBlock(Findings& found, const Lanes& lanes, const unsigned char* bytes,
                                            bool startsWithTrail) {
    const std::uint64_t high = Lanes::high(bytes);
    const std::uint64_t leads = byte_masks::leadBytes(high, startsWithTrail);
    found.sawDoubleByte = found.sawDoubleByte || leads != 0;
    const std::uint64_t trails = leads << 1 | (startsWithTrail ? 1 : 0);
    if (kSeeksLowByte) found.sawLowByte = ((leads | trails) & Lanes::below(bytes, 0xA1)) != 0;
    if (kCountsMarks) addMarkCounts(found, lanes.markCounts(bytes, leads));
    // Only a block with a low byte can hold a stray trail: a trail below 40
    // is below A1 too.
    if (found.sawLowByte && !found.sawStrayTrail) found.sawStrayTrail = (trails & Lanes::below(bytes, 0x40)) != 0;
    return (leads >> 63) != 0;
}

// The blocks of sixty-four bytes from `p` while more bytes follow them, or up
// to the first byte below A1 when the marks are not counted; moves `p` past
// them and returns whether the last one ended with a lead. Inlined, as is
// addBlock, so that the wide lanes' AVX2 code is built into addWideBlocks.
template <typename Lanes>
[[gnu::always_inline]] inline bool addBlocks(Findings& findings, const unsigned char*& p, const unsigned char* end,
                                             bool countsMarks) {
    const Lanes lanes;
    Findings found = findings;  // a copy, which the compiler keeps in registers
    bool startsWithTrail = false;
    while (end - p > 64) {
        if (!found.sawLowByte) {
            startsWithTrail = countsMarks ? addBlock<Lanes, true, true>(found, lanes, p, startsWithTrail)
                                          : addBlock<Lanes, true, false>(found, lanes, p, startsWithTrail);
        } else {
            if (!countsMarks) break;  // needsMarks(): nothing more to learn
            startsWithTrail = addBlock<Lanes, false, true>(found, lanes, p, startsWithTrail);
        }
        p += 64;
    }
    findings = found;
    return startsWithTrail;
}

bool addNarrowBlocks(Findings& found, const unsigned char*& p, const unsigned char* end, bool countsMarks) {
    return addBlocks<NarrowLanes>(found, p, end, countsMarks);
}

#if defined(QUILLON_AVX2_LANES)
QUILLON_AVX2 bool addWideBlocks(Findings& found, const unsigned char*& p, const unsigned char* end, bool countsMarks) {
    return addBlocks<WideLanes>(found, p, end, countsMarks);
}
#endif

}  // namespace

TallyLanes widestTallyLanes() {
#if defined(QUILLON_AVX2_LANES)
    return byte_masks::hasAvx2() ? TallyLanes::Wide : TallyLanes::Narrow;
#else
    return TallyLanes::Narrow;
#endif
}

EncodingTally::EncodingTally(bool countsMarks, TallyLanes lanes)
    : countsMarks_(countsMarks), lanes_(lanes == TallyLanes::Wide ? widestTallyLanes() : TallyLanes::Narrow) {}

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
#if defined(QUILLON_AVX2_LANES)
    const bool startsWithTrail = lanes_ == TallyLanes::Wide ? addWideBlocks(found, p, end, countsMarks_)
                                                            : addNarrowBlocks(found, p, end, countsMarks_);
#else
    const bool startsWithTrail = addNarrowBlocks(found, p, end, countsMarks_);
#endif
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
