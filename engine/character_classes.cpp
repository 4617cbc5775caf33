#include "character_classes.h"

#include <initializer_list>

namespace quillon {
namespace {

bool inAnyClass(const EncodingProfile& source, CharCode code,
                std::initializer_list<CharClass> classes) {
    for (CharClass c : classes) {
        if (inList(code, source.list(c))) return true;
    }
    return false;
}

}  // namespace

bool inList(CharCode code, const CharCode* list) {
    for (; *list != 0; ++list) {
        if (*list == code) return true;
    }
    return false;
}

bool inClass(const EncodingProfile& source, CharCode code, CharClass c, Scope scope) {
    if (isDoubleByte(code)) {
        return scope != Scope::AsciiOnly && inList(code, source.list(c));
    }
    return scope != Scope::DoubleByteOnly && inList(code, profiles::PureASC.list(c));
}

bool isBlank(const EncodingProfile& source, CharCode code) {
    return inClass(source, code, CharClass::Blank, Scope::Both);
}

bool isAsciiPunctuation(CharCode code) {
    switch (code) {
        case '!': case '"': case '\'': case ',': case '.': case ':': case ';': case '?':
            return true;
        default:
            return false;
    }
}

// The enumeration comma is deliberately not punctuation here: it may start a
// line and may stand in a heading.
bool isPunctuation(const EncodingProfile& source, CharCode code) {
    if (!isDoubleByte(code)) return isAsciiPunctuation(code);
    using enum CharClass;
    return inAnyClass(source, code,
                      {Comma, Period, Colon, Semicolon, Question, Exclamation, Ellipsis,
                       LeftDoubleQuote, RightDoubleQuote, LeftSingleQuote, RightSingleQuote,
                       LeftCornerBracket, RightCornerBracket, LeftWhiteCornerBracket,
                       RightWhiteCornerBracket});
}

bool isClosingQuote(const EncodingProfile& source, CharCode code) {
    if (!isDoubleByte(code)) return code == '"' || code == '\'';
    using enum CharClass;
    return inAnyClass(source, code,
                      {RightDoubleQuote, RightSingleQuote, RightCornerBracket,
                       RightWhiteCornerBracket});
}

bool isSentenceEnd(const EncodingProfile& source, CharCode code) {
    if (!isDoubleByte(code)) return code == '.' || code == '?' || code == '!';
    using enum CharClass;
    return inAnyClass(source, code, {Period, Question, Exclamation, Ellipsis});
}

}  // namespace quillon
