#include "encoding_tally.h"

#include <array>
#include <cstring>
#include <vector>

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

// Mark flags of every double-byte code, kept as rows only for the few lead
// bytes that have a mark: small enough to stay in the nearest cache.
struct MarkTable {
    std::array<unsigned char, 0x100> rowOf{};
    std::vector<unsigned char> rows = std::vector<unsigned char>(0x100, 0);  // row 0: no marks
};

const MarkTable& markTable() {
    static const MarkTable table = [] {
        MarkTable t;
        for (unsigned lead = 0x80; lead <= 0xFF; ++lead) {
            std::array<unsigned char, 0x100> row{};
            bool any = false;
            for (unsigned trail = 0; trail <= 0xFF; ++trail) {
                const auto code = static_cast<CharCode>(lead << 8 | trail);
                row[trail] = static_cast<unsigned char>((isCommonMark(profiles::GB, code) ? 1 : 0) |
                                                        (isCommonMark(profiles::BIG5, code) ? 2 : 0));
                any = any || row[trail] != 0;
            }
            if (!any) continue;
            t.rowOf[lead] = static_cast<unsigned char>(t.rows.size() / 0x100);
            t.rows.insert(t.rows.end(), row.begin(), row.end());
        }
        return t;
    }();
    return table;
}

}  // namespace

EncodingTally::EncodingTally()
    : markRows_(markTable().rows.data()), markRowOf_(markTable().rowOf.data()) {}

void EncodingTally::addPair(unsigned lead, unsigned trail) {
    sawDoubleByte_ = true;
    sawLowByte_ = sawLowByte_ || lead < 0xA1 || trail < 0xA1;
    const unsigned flags = markRows_[markRowOf_[lead] * 0x100u + trail];
    gbMarks_ += flags & 1;
    big5Marks_ += flags >> 1;
}

void EncodingTally::add(const unsigned char* bytes, std::size_t length) {
    const unsigned char* p = bytes;
    const unsigned char* const end = bytes + length;
    if (hasPendingLead_ && p < end) {
        hasPendingLead_ = false;
        addPair(pendingLead_, *p++);
    }
    // One character from `p`, which starts one.
    const auto step = [&] {
        if (*p < 0x80) {
            ++p;
        } else if (end - p >= 2) {
            addPair(p[0], p[1]);
            p += 2;
        } else {
            pendingLead_ = *p++;
            hasPendingLead_ = true;
        }
    };
    constexpr std::uint64_t kOnes = 0x0101010101010101u;
    constexpr std::uint64_t kHighBits = 0x80 * kOnes;
    while (end - p >= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        const std::uint64_t high = word & kHighBits;
        if (high == 0) {  // eight ASCII bytes
            p += 8;
        } else if (high == kHighBits) {  // four whole double-byte characters
            const std::uint64_t low7 = word & ~kHighBits;
            // Some byte below A1: its low seven bits below 21.
            sawLowByte_ = sawLowByte_ || ((low7 - 0x21 * kOnes) & ~low7 & kHighBits) != 0;
            sawDoubleByte_ = true;
            unsigned gb = 0;
            unsigned big5 = 0;
            for (int i = 0; i < 8; i += 2) {
                const unsigned flags = markRows_[markRowOf_[p[i]] * 0x100u + p[i + 1]];
                gb += flags & 1;
                big5 += flags >> 1;
            }
            gbMarks_ += gb;
            big5Marks_ += big5;
            p += 8;
        } else {
            for (const unsigned char* stop = p + 8; p < stop;) step();
        }
    }
    while (p < end) step();
}

ProfileId EncodingTally::verdict() const {
    if (!sawDoubleByte_) return kPureAscId;
    if (!sawLowByte_) return kGbId;
    return gbMarks_ > big5Marks_ ? kGbkId : kBig5Id;  // a tie, 0 against 0 included, is Big5
}

}  // namespace quillon
