// Per-character transformations of the format run: ASCII punctuation to the
// source encoding's full-width forms, straight quotes paired, Big5 vertical
// forms and full-width marks fixed. Every result is a code of the source profile.
#include <algorithm>
#include <array>

#include "character_classes.h"
#include "text_formatter.h"

namespace quillon {
namespace {

struct VerticalFormPair {
    CharCode vertical;
    CharCode horizontal;
};

// Big5 vertical presentation forms and their horizontal forms, in search order.
constexpr VerticalFormPair kVerticalFormPairs[] = {
    {0xA16F, 0xA16D}, {0xA170, 0xA16E}, {0xA177, 0xA175}, {0xA178, 0xA176}, {0xA16B, 0xA169},
    {0xA16C, 0xA16A}, {0xA17B, 0xA179}, {0xA17C, 0xA17A}, {0xA155, 0xA277},
};

// The span of the vertical forms: most codes are outside it, and need no search.
constexpr CharCode kLowestVertical = std::ranges::min(kVerticalFormPairs, {}, &VerticalFormPair::vertical).vertical;
constexpr CharCode kHighestVertical = std::ranges::max(kVerticalFormPairs, {}, &VerticalFormPair::vertical).vertical;

}  // namespace

CharCode TextFormatter::translateAsciiPunctuation(CharCode code) {
    using enum CharClass;
    if (isDoubleByte(code)) return code;
    if (code == '"') {
        doubleQuoteOpen = !doubleQuoteOpen;
        return sourceProfile->primary(doubleQuoteOpen ? LeftDoubleQuote : RightDoubleQuote);
    }
    if (code == '\'') {
        singleQuoteOpen = !singleQuoteOpen;
        return sourceProfile->primary(singleQuoteOpen ? LeftSingleQuote : RightSingleQuote);
    }
    const ClassSet classes = classesOf(*sourceProfile, code);
    if (classes == 0) return code;
    return ownFormOf(*sourceProfile, classes);
}

CharCode TextFormatter::fixVerticalForm(CharCode code) const {
    if (sourceProfile->id != kBig5Id || code < kLowestVertical || code > kHighestVertical) return code;
    for (const VerticalFormPair& pair : kVerticalFormPairs) {
        if (pair.vertical == code) return pair.horizontal;
    }
    return code;
}

std::array<bool, 0x100> TextFormatter::rowsWithVerticalForms() const {
    std::array<bool, 0x100> rows{};
    for (const VerticalFormPair& pair : kVerticalFormPairs) {
        if (fixVerticalForm(pair.vertical) != pair.vertical) rows[pair.vertical >> 8] = true;
    }
    return rows;
}

CharCode TextFormatter::fixFullwidthMark(CharCode previousCode, CharCode code) {
    using enum CharClass;
    const EncodingProfile& source = *sourceProfile;
    const ClassSet classes = doubleByteClassesOf(source, code);
    if (classes & (ClassSet(1) << int(FullwidthDot))) return source.primary(Period);
    if (!(classes & (ClassSet(1) << int(FullwidthQuote)))) return code;
    // A straight quote after a colon always opens a quotation, even when the
    // one before it was never closed.
    if (doubleQuoteOpen && inClass(source, previousCode, Colon, Scope::Both)) {
        quoteDepth[0] = 0;
    } else {
        doubleQuoteOpen = !doubleQuoteOpen;
    }
    return source.primary(doubleQuoteOpen ? LeftDoubleQuote : RightDoubleQuote);
}

}  // namespace quillon
