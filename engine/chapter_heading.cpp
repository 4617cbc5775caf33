// Lines that open a chapter, recognised in any legacy encoding by the
// simplified GBK codes of their characters.
#include "chapter_heading.h"

#include <bitset>
#include <string_view>

#include "char_code.h"
#include "chapter_marks.h"
#include "character_classes.h"

namespace quillon {
namespace {

bool listed(CharCode code, const CharCode* list) {
    for (; *list != 0; ++list) {
        if (*list == code) return true;
    }
    return false;
}

// Every line's first character is asked about, so the marks are looked up
// in a table of all codes rather than in their lists.
bool isMark(CharCode code) {
    static const std::bitset<0x10000> marks = [] {
        std::bitset<0x10000> set;
        set.set(chapter_marks::kOrdinal);
        for (const CharCode* list : {chapter_marks::kNumerals, chapter_marks::kKinds}) {
            for (; *list != 0; ++list) set.set(*list);
        }
        for (const CharCode(*word)[3] = chapter_marks::kWords; (*word)[0] != 0; ++word) {
            set.set((*word)[0]);
            if ((*word)[1] != 0) set.set((*word)[1]);
        }
        return set;
    }();
    return marks[code];
}

// The simplified GBK code of a double-byte character: Big5 text through the
// table to GB; GB and GBK text as it is, or when that is no mark there and
// back through Big5, which brings a traditional form that GBK holds (節) to
// its simplified one.
CharCode simplifiedCodeOf(const EncodingProfile& source, CharCode code) {
    if (!isDoubleByte(code)) return code;
    if (source.id == kBig5Id) return source.tableEntry(code);
    if (isMark(code)) return code;
    const CharCode big5 = source.tableEntry(code);
    return big5 != 0 ? profiles::BIG5.tableEntry(big5) : 0;
}

// Whether a line whose first character reads as `raw` may open a chapter.
bool opensWith(const EncodingProfile& source, CharCode raw) {
    const CharCode first = simplifiedCodeOf(source, raw);
    return isMark(first) || (first | 0x20) == 'c';
}

// opensWith for the built-in profile in `kSlot`: every line asks, and the
// simplified code of a double-byte character takes two table look-ups, so
// those answers are worked out the first time the profile asks.
template <int kSlot>
bool builtInOpensWith(const EncodingProfile& source, CharCode raw) {
    if (!isDoubleByte(raw)) return opensWith(source, raw);
    static const std::bitset<0x8000> opening = [&] {
        std::bitset<0x8000> set;
        for (unsigned code = 0; code < 0x8000; ++code) set[code] = opensWith(source, static_cast<CharCode>(0x8000 | code));
        return set;
    }();
    return opening[raw & 0x7FFF];
}

bool mayOpenChapter(const EncodingProfile& source, CharCode raw) {
    static_assert(kBuiltInProfiles == 4);
    switch (builtInSlot(source)) {
        case 0: return builtInOpensWith<0>(source, raw);
        case 1: return builtInOpensWith<1>(source, raw);
        case 2: return builtInOpensWith<2>(source, raw);
        case 3: return builtInOpensWith<3>(source, raw);
        default: return opensWith(source, raw);
    }
}

// Reads the line's characters one by one, as simplified GBK codes.
class MarkReader {
public:
    MarkReader(const EncodingProfile& source, const char* line, int start, int end)
        : source_(source), line_(line), pos_(start), end_(end) {}

    bool atEnd() const { return pos_ >= end_; }
    // The code at the reading position, read as the source's own.
    CharCode raw() const { return readCharAt(line_, pos_, end_).code; }
    CharCode peek() const { return atEnd() ? 0 : simplifiedCodeOf(source_, raw()); }
    void skip() { pos_ += readCharAt(line_, pos_, end_).width; }

private:
    const EncodingProfile& source_;
    const char* line_;
    int pos_;
    int end_;
};

bool isAsciiDigit(CharCode code) { return code >= '0' && code <= '9'; }

bool isRomanDigit(CharCode code) {
    switch (code | 0x20) {
        case 'i': case 'v': case 'x': case 'l': case 'c': case 'd': case 'm': return true;
        default: return false;
    }
}

// Skips characters while `test` holds; whether it skipped any.
template <typename Test>
bool skipWhile(MarkReader& reader, Test test) {
    bool any = false;
    while (!reader.atEnd() && test(reader.peek())) {
        reader.skip();
        any = true;
    }
    return any;
}

// After a mark: the line's end, or what sets a title apart from it.
bool endsMark(const ClassLookup& classes, const MarkReader& reader) {
    if (reader.atEnd()) return true;
    const CharCode code = reader.raw();
    if (code == '\t' || code == '.') return true;
    constexpr ClassSet kSetsApart = setOf({CharClass::Blank, CharClass::Colon, CharClass::FullwidthDot,
                                           CharClass::Hyphen, CharClass::EnumerationComma});
    return (classes(code) & kSetsApart) != 0;
}

// 第, a number and what it numbers; the reader then stands after them.
bool readNumberedMark(MarkReader& reader) {
    const auto isNumeral = [](CharCode c) { return isAsciiDigit(c) || listed(c, chapter_marks::kNumerals); };
    if (reader.peek() != chapter_marks::kOrdinal) return false;
    reader.skip();
    if (!skipWhile(reader, isNumeral) || reader.atEnd() || !listed(reader.peek(), chapter_marks::kKinds)) {
        return false;
    }
    reader.skip();
    return true;
}

// Whether the word is at the reader; the reader then stands after it.
bool readWord(MarkReader& reader, const CharCode (&word)[3]) {
    for (int i = 0; i < 3 && word[i] != 0; ++i) {
        if (reader.atEnd() || reader.peek() != word[i]) return false;
        reader.skip();
    }
    return true;
}

// "Chapter" in any case, blanks, and Arabic or Roman digits.
bool readEnglishMark(const ClassLookup& classes, MarkReader& reader) {
    for (const char letter : std::string_view("chapter")) {
        if (reader.atEnd() || (reader.raw() | 0x20) != static_cast<CharCode>(letter)) return false;
        reader.skip();
    }
    bool blank = false;
    while (!reader.atEnd() && (reader.raw() == '\t' || (classes(reader.raw()) & setOf({CharClass::Blank})))) {
        reader.skip();
        blank = true;
    }
    return blank && (skipWhile(reader, isAsciiDigit) || skipWhile(reader, isRomanDigit));
}

}  // namespace

bool opensChapter(const EncodingProfile& source, const ClassLookup& classes, const char* line, int start,
                  int end) {
    if (start >= end) return false;
    // Most lines are told apart by their first character.
    MarkReader reader(source, line, start, end);
    if (!mayOpenChapter(source, reader.raw())) return false;
    const CharCode first = reader.peek();
    if (first == chapter_marks::kOrdinal) return readNumberedMark(reader) && endsMark(classes, reader);
    if ((first | 0x20) == 'c') return readEnglishMark(classes, reader) && endsMark(classes, reader);
    for (const CharCode(*word)[3] = chapter_marks::kWords; (*word)[0] != 0; ++word) {
        if ((*word)[0] != first) continue;
        if (MarkReader after = reader; readWord(after, *word) && endsMark(classes, after)) return true;
    }
    return false;
}

}  // namespace quillon
