#include "character_classes.h"

#include <initializer_list>
#include <vector>

namespace quillon {
namespace {

constexpr ClassSet setOf(std::initializer_list<CharClass> classes) {
    ClassSet set = 0;
    for (CharClass c : classes) set |= ClassSet(1) << static_cast<int>(c);
    return set;
}

using enum CharClass;
// The enumeration comma is deliberately not punctuation here: it may start a
// line and may stand in a heading.
constexpr ClassSet kPunctuation =
    setOf({Comma, Period, Colon, Semicolon, Question, Exclamation, Ellipsis, LeftDoubleQuote,
           RightDoubleQuote, LeftSingleQuote, RightSingleQuote, LeftCornerBracket,
           RightCornerBracket, LeftWhiteCornerBracket, RightWhiteCornerBracket});
constexpr ClassSet kClosingQuotes =
    setOf({RightDoubleQuote, RightSingleQuote, RightCornerBracket, RightWhiteCornerBracket});
constexpr ClassSet kSentenceEnds = setOf({Period, Question, Exclamation, Ellipsis});

ClassSet scanClasses(const EncodingProfile& profile, CharCode code) {
    ClassSet set = 0;
    for (int c = 0; c < kClassCount; ++c) {
        if (inList(code, profile.classes[c])) set |= ClassSet(1) << c;
    }
    return set;
}

// The classes of every code of every built-in profile, worked out once: the
// format run asks about every character. Classed codes lie in a few rows (lead
// bytes), so each profile keeps a row of sets only for those; every other
// lead byte points at row 0, which holds none.
struct ClassTable {
    ClassSet ascii[0x80];
    unsigned char rowOf[kBuiltInProfiles][0x80];  // by builtInSlot; lead bytes 80..FF
    std::vector<ClassSet> rows = std::vector<ClassSet>(0x100, 0);

    const ClassSet* row(int slot, unsigned lead) const { return &rows[rowOf[slot][lead - 0x80] * 0x100u]; }
};

const ClassTable& classTable() {
    static const ClassTable table = [] {
        ClassTable t{};
        for (CharCode code = 0; code < 0x80; ++code) t.ascii[code] = scanClasses(profiles::PureASC, code);
        for (const EncodingProfile* p : {&profiles::GB, &profiles::GBK, &profiles::BIG5, &profiles::PureASC}) {
            const int slot = builtInSlot(*p);
            for (int c = 0; c < kClassCount; ++c) {
                for (const CharCode* code = p->classes[c]; *code != 0; ++code) {
                    if (!isDoubleByte(*code)) continue;
                    unsigned char& index = t.rowOf[slot][(*code >> 8) - 0x80];
                    if (index == 0) {
                        index = static_cast<unsigned char>(t.rows.size() / 0x100);
                        t.rows.resize(t.rows.size() + 0x100, 0);
                    }
                    t.rows[index * 0x100u + (*code & 0xFF)] |= ClassSet(1) << c;
                }
            }
        }
        return t;
    }();
    return table;
}

}  // namespace

bool inList(CharCode code, const CharCode* list) {
    for (; *list != 0; ++list) {
        if (*list == code) return true;
    }
    return false;
}

ClassSet classesOf(const EncodingProfile& source, CharCode code) {
    if (code < 0x80) return classTable().ascii[code];
    if (!isDoubleByte(code)) return 0;  // no character reads as 80..7FFF
    const int slot = builtInSlot(source);
    return slot < 0 ? scanClasses(source, code) : classTable().row(slot, code >> 8)[code & 0xFF];
}

bool rowIsUnclassed(const EncodingProfile& source, unsigned lead) {
    const int slot = builtInSlot(source);
    if (slot >= 0) return classTable().rowOf[slot][lead - 0x80] == 0;
    for (unsigned trail = 0; trail <= 0xFF; ++trail) {
        if (classesOf(source, static_cast<CharCode>(lead << 8 | trail)) != 0) return false;
    }
    return true;
}

ClassSet doubleByteClassesOf(const EncodingProfile& source, CharCode code) {
    return isDoubleByte(code) ? classesOf(source, code) : 0;
}

bool inClass(const EncodingProfile& source, CharCode code, CharClass c, Scope scope) {
    if (isDoubleByte(code) ? scope == Scope::AsciiOnly : scope == Scope::DoubleByteOnly) return false;
    return (classesOf(source, code) >> static_cast<int>(c) & 1) != 0;
}

bool isBlank(const EncodingProfile& source, CharCode code) {
    return inClass(source, code, Blank, Scope::Both);
}

bool isAsciiPunctuation(CharCode code) {
    switch (code) {
        case '!': case '"': case '\'': case ',': case '.': case ':': case ';': case '?':
            return true;
        default:
            return false;
    }
}

// The ASCII sides of these predicates are fixed sets, not PureASC's classes.
bool isPunctuation(const EncodingProfile& source, CharCode code) {
    if (!isDoubleByte(code)) return isAsciiPunctuation(code);
    return (classesOf(source, code) & kPunctuation) != 0;
}

bool isClosingQuote(const EncodingProfile& source, CharCode code) {
    if (!isDoubleByte(code)) return code == '"' || code == '\'';
    return (classesOf(source, code) & kClosingQuotes) != 0;
}

bool isSentenceEnd(const EncodingProfile& source, CharCode code) {
    if (!isDoubleByte(code)) return code == '.' || code == '?' || code == '!';
    return (classesOf(source, code) & kSentenceEnds) != 0;
}

// The marks a separator line is made of.
bool isSeparatorMark(const EncodingProfile& source, CharCode code) {
    using enum CharClass;
    for (CharClass c : {Asterisk, NumberSign, Dollar, Hyphen, Underscore, EqualsSign}) {
        if (inClass(source, code, c, Scope::Both)) return true;
    }
    return false;
}

}  // namespace quillon
