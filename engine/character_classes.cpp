#include "character_classes.h"

#include <array>
#include <vector>

namespace quillon {
namespace {

ClassSet scanClasses(const EncodingProfile& profile, CharCode code) {
    ClassSet set = 0;
    for (int c = 0; c < kClassCount; ++c) {
        if (inList(code, profile.classes[c])) set |= ClassSet(1) << c;
    }
    return set;
}

const std::array<ClassSet, 0x100>& asciiClasses() {
    static const std::array<ClassSet, 0x100> table = [] {
        std::array<ClassSet, 0x100> t{};
        for (CharCode code = 0; code < 0x80; ++code) t[code] = scanClasses(profiles::PureASC, code);
        return t;
    }();
    return table;
}

// The classes of every code of one profile, by the code's high byte: row 00
// holds the ASCII codes (PureASC), rows 01..7F and every lead byte without a
// classed code share one row of none. Classed codes lie in a few rows, so
// only those get a row of their own.
struct ProfileRows {
    std::vector<ClassSet> sets = std::vector<ClassSet>(0x100, 0);  // 0x100 a row; the first holds none
    std::array<const ClassSet*, 0x100> rows{};

    explicit ProfileRows(const EncodingProfile& profile) {
        std::array<std::size_t, 0x80> rowOf{};  // lead bytes 80..FF
        for (int c = 0; c < kClassCount; ++c) {
            for (const CharCode* code = profile.classes[c]; *code != 0; ++code) {
                if (!isDoubleByte(*code)) continue;
                std::size_t& index = rowOf[(*code >> 8) - 0x80];
                if (index == 0) {
                    index = sets.size() / 0x100;
                    sets.resize(sets.size() + 0x100, 0);
                }
                sets[index * 0x100 + (*code & 0xFF)] |= ClassSet(1) << c;
            }
        }
        rows[0] = asciiClasses().data();
        for (unsigned high = 1; high < 0x80; ++high) rows[high] = sets.data();
        for (unsigned lead = 0x80; lead <= 0xFF; ++lead) rows[lead] = sets.data() + rowOf[lead - 0x80] * 0x100;
    }
    // The row pointers point into `sets`: a copy would point into the original.
    ProfileRows(const ProfileRows&) = delete;
    ProfileRows& operator=(const ProfileRows&) = delete;

    bool unclassed(unsigned lead) const { return rows[lead] == sets.data(); }
};

// Worked out once for the built-in profiles: the format run asks about every
// character.
const ProfileRows& builtInRows(int slot) {
    static const std::array<ProfileRows, kBuiltInProfiles> table = {
        ProfileRows(profiles::GB), ProfileRows(profiles::GBK), ProfileRows(profiles::BIG5),
        ProfileRows(profiles::PureASC)};
    return table[static_cast<std::size_t>(slot)];
}

}  // namespace

bool inList(CharCode code, const CharCode* list) {
    for (; *list != 0; ++list) {
        if (*list == code) return true;
    }
    return false;
}

ClassSet classesOf(const EncodingProfile& source, CharCode code) {
    const int slot = builtInSlot(source);
    if (slot >= 0) return builtInRows(slot).rows[code >> 8][code & 0xFF];
    if (code < 0x80) return asciiClasses()[code];
    if (!isDoubleByte(code)) return 0;  // no character reads as 80..7FFF
    return scanClasses(source, code);
}

struct ClassLookup::OwnRows {
    explicit OwnRows(const EncodingProfile& profile) : rows(profile) {}
    ProfileRows rows;
};

ClassLookup::ClassLookup(const EncodingProfile& source) {
    const int slot = builtInSlot(source);
    if (slot >= 0) {
        rows_ = builtInRows(slot).rows.data();
    } else {
        own_ = std::make_unique<OwnRows>(source);
        rows_ = own_->rows.rows.data();
    }
}

ClassLookup::~ClassLookup() = default;

bool rowIsUnclassed(const EncodingProfile& source, unsigned lead) {
    const int slot = builtInSlot(source);
    if (slot >= 0) return builtInRows(slot).unclassed(lead);
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
    return inClass(source, code, CharClass::Blank, Scope::Both);
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
    return (classesOf(source, code) & kSeparatorMarks) != 0;
}

}  // namespace quillon
