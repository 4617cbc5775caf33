#pragma once

#include <bit>
#include <cstdint>
#include <initializer_list>
#include <memory>

#include "char_code.h"
#include "encoding_profile.h"

namespace quillon {

// A set of character classes, bit i for CharClass i.
using ClassSet = std::uint32_t;

constexpr ClassSet setOf(std::initializer_list<CharClass> classes) {
    ClassSet set = 0;
    for (CharClass c : classes) set |= ClassSet(1) << static_cast<int>(c);
    return set;
}

// The double-byte sides of isPunctuation, isClosingQuote and isSentenceEnd.
// The enumeration comma is deliberately not punctuation: it may start a line
// and may stand in a heading.
inline constexpr ClassSet kPunctuation = setOf(
    {CharClass::Comma, CharClass::Period, CharClass::Colon, CharClass::Semicolon, CharClass::Question,
     CharClass::Exclamation, CharClass::Ellipsis, CharClass::LeftDoubleQuote, CharClass::RightDoubleQuote,
     CharClass::LeftSingleQuote, CharClass::RightSingleQuote, CharClass::LeftCornerBracket,
     CharClass::RightCornerBracket, CharClass::LeftWhiteCornerBracket, CharClass::RightWhiteCornerBracket});
inline constexpr ClassSet kClosingQuotes = setOf({CharClass::RightDoubleQuote, CharClass::RightSingleQuote,
                                                  CharClass::RightCornerBracket,
                                                  CharClass::RightWhiteCornerBracket});
inline constexpr ClassSet kSentenceEnds =
    setOf({CharClass::Period, CharClass::Question, CharClass::Exclamation, CharClass::Ellipsis});

// The marks a separator line is made of: * # $ = - _, ASCII or the source's
// own forms.
inline constexpr ClassSet kSeparatorMarks =
    setOf({CharClass::Asterisk, CharClass::NumberSign, CharClass::Dollar, CharClass::Hyphen,
           CharClass::Underscore, CharClass::EqualsSign});

// Which side of a code a class test looks at.
enum class Scope : int { AsciiOnly = 0, DoubleByteOnly = 1, Both = 2 };

// True if `code` is one of the codes of `list` before its terminating 0.
bool inList(CharCode code, const CharCode* list);

// The classes `code` belongs to: a double-byte code in `source`, an ASCII code
// in PureASC.
ClassSet classesOf(const EncodingProfile& source, CharCode code);
// The same for double-byte codes only; an ASCII code is in none of the
// source's own lists.
ClassSet doubleByteClassesOf(const EncodingProfile& source, CharCode code);

// True when no double-byte code with this lead byte (80..FF) is in any class
// of `source`.
bool rowIsUnclassed(const EncodingProfile& source, unsigned lead);

// classesOf for one source profile as a single indexed load, for loops that
// ask about every character: rows by a code's high byte, row 00 holding the
// ASCII codes.
class ClassLookup {
public:
    explicit ClassLookup(const EncodingProfile& source);
    ~ClassLookup();
    ClassLookup(const ClassLookup&) = delete;
    ClassLookup& operator=(const ClassLookup&) = delete;

    ClassSet operator()(CharCode code) const { return rows_[code >> 8][code & 0xFF]; }

private:
    struct OwnRows;
    std::unique_ptr<OwnRows> own_;  // for a profile that is not built in
    const ClassSet* const* rows_;
};

// The source's own form of an ASCII code in `classes` (not none): PureASC's
// lists hold one code at most, so the first class holding the code is the
// one it begins, and the source's list of that class begins with its form.
inline CharCode ownFormOf(const EncodingProfile& source, ClassSet classes) {
    return source.classes[std::countr_zero(classes)][0];
}

// Double-byte codes are looked up in `source`, ASCII codes always in PureASC.
bool inClass(const EncodingProfile& source, CharCode code, CharClass c, Scope scope);

bool isBlank(const EncodingProfile& source, CharCode code);
// The ASCII side of isPunctuation: a fixed set, not PureASC's classes.
inline bool isAsciiPunctuation(CharCode code) {
    switch (code) {
        case '!': case '"': case '\'': case ',': case '.': case ':': case ';': case '?':
            return true;
        default:
            return false;
    }
}
bool isPunctuation(const EncodingProfile& source, CharCode code);
inline bool isPunctuation(const ClassLookup& classes, CharCode code) {
    if (!isDoubleByte(code)) return isAsciiPunctuation(code);
    return (classes(code) & kPunctuation) != 0;
}
bool isClosingQuote(const EncodingProfile& source, CharCode code);
bool isSentenceEnd(const EncodingProfile& source, CharCode code);
// Whether `code`, in the `classes` that ClassLookup gives it, ends a sentence
// or closes a quote: only such a code can end a sentence, which lets a loop
// over every character skip the test for all others.
inline bool mayEndSentence(CharCode code, ClassSet classes) {
    if (!isDoubleByte(code)) return code == '.' || code == '?' || code == '!' || code == '"' || code == '\'';
    return (classes & (kSentenceEnds | kClosingQuotes)) != 0;
}
// * # $ = - _, ASCII or the source's own forms.
bool isSeparatorMark(const EncodingProfile& source, CharCode code);

}  // namespace quillon
