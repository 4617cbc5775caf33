#include "text_kinds.h"

#include <array>
#include <cstdint>
#include <span>

namespace quillon {
namespace {

// GB and GBK share their marks; a code GB lacks never reaches a GB run.
constexpr CharCode kGbClosing[] = {0xA3AC, 0xA1A3, 0xA1A2, 0xA3BB, 0xA3BA, 0xA3BF, 0xA3A1, 0xA3A9,
                                   0xA3DD, 0xA3FD, 0xA1B9, 0xA1BB, 0xA1B1, 0xA1AF, 0xA1B7, 0xA1B5,
                                   0xA1BF, 0xA1B3, 0xA1BD, 0xA1AD, 0xA845, 0xA1A4, 0xA3AE, 0xA96F,
                                   0xA970, 0xA971, 0xA972, 0xA973, 0xA974, 0xA975};
constexpr CharCode kGbOpening[] = {0xA3A8, 0xA3DB, 0xA3FB, 0xA1B8, 0xA1BA, 0xA1B0,
                                   0xA1AE, 0xA1B6, 0xA1B4, 0xA1BE, 0xA1B2, 0xA1BC};
constexpr CharCode kBig5Closing[] = {0xA141, 0xA143, 0xA142, 0xA146, 0xA147, 0xA148, 0xA149, 0xA15E,
                                     0xA162, 0xA176, 0xA17A, 0xA1A8, 0xA1A6, 0xA16E, 0xA172, 0xA16A,
                                     0xA166, 0xA14B, 0xA14C, 0xA150, 0xA145, 0xA144, 0xA14D, 0xA14E,
                                     0xA14F, 0xA151, 0xA152, 0xA153, 0xA154};
constexpr CharCode kBig5Opening[] = {0xA15D, 0xA161, 0xA175, 0xA179, 0xA1A7, 0xA1A5,
                                     0xA16D, 0xA171, 0xA169, 0xA165};

// Every mark of both families lies in the rows of these lead bytes: a mark's
// kinds are looked up in a table of those rows rather than searched for.
constexpr int markRowOf(CharCode code) {
    switch (code >> 8) {
        case 0xA1: return 0;
        case 0xA3: return 1;
        case 0xA8: return 2;
        case 0xA9: return 3;
        default: return -1;
    }
}

constexpr std::uint8_t kClosing = 1;
constexpr std::uint8_t kOpening = 2;
using MarkKinds = std::array<std::uint8_t, 4 * 0x100>;

constexpr MarkKinds markKindsOf(std::span<const CharCode> closing, std::span<const CharCode> opening) {
    MarkKinds kinds{};
    for (const CharCode code : closing) kinds[markRowOf(code) * 0x100 + (code & 0xFF)] |= kClosing;
    for (const CharCode code : opening) kinds[markRowOf(code) * 0x100 + (code & 0xFF)] |= kOpening;
    return kinds;
}

constexpr MarkKinds kGbKinds = markKindsOf(kGbClosing, kGbOpening);
constexpr MarkKinds kBig5Kinds = markKindsOf(kBig5Closing, kBig5Opening);

// The kinds of a double-byte code in `source`'s family.
std::uint8_t markKindOf(const EncodingProfile& source, CharCode code) {
    const int row = markRowOf(code);
    if (row < 0) return 0;
    return (source.id == kBig5Id ? kBig5Kinds : kGbKinds)[row * 0x100 + (code & 0xFF)];
}

}  // namespace

bool isHanziCode(const EncodingProfile& source, CharCode code) {
    if (!isDoubleByte(code)) return false;
    const unsigned lead = code >> 8;
    const unsigned trail = code & 0xFFu;
    if (source.id == kBig5Id) return (lead >= 0xA4 && lead <= 0xC6) || (lead >= 0xC9 && lead <= 0xF9);
    // GB2312's rows, then GBK's above and below them.
    if (lead >= 0xB0 && lead <= 0xF7 && trail >= 0xA1) return true;
    return (lead >= 0x81 && lead <= 0xA0) || (lead >= 0xAA && trail < 0xA1);
}

bool closesText(const EncodingProfile& source, CharCode code) {
    if (!isDoubleByte(code)) return code == ')' || code == ']' || code == '}';
    return (markKindOf(source, code) & kClosing) != 0;
}

bool opensText(const EncodingProfile& source, CharCode code) {
    if (!isDoubleByte(code)) return code == '(' || code == '[' || code == '{';
    return (markKindOf(source, code) & kOpening) != 0;
}

}  // namespace quillon
