// The two line tests that run while no paragraph is open: separator lines are
// dropped, short unpunctuated lines are written as aligned headings.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "byte_masks.h"
#include "chapter_heading.h"
#include "character_classes.h"
#include "character_starts.h"
#include "heading_pattern.h"
#include "text_file.h"
#include "text_formatter.h"
#include "text_kinds.h"

namespace quillon {
namespace {

// Whether a character keeps its line from being a heading: punctuation
// other than a blank, or a colon at the line's end ("Chapter one:"
// introduces text).
bool stopsHeading(const ClassLookup& classes, CharCode code, bool last) {
    const ClassSet set = classes(code);
    // Most characters are in no class: no blank, colon or punctuation.
    if (set == 0 && !isAsciiPunctuation(code)) return false;
    if (set & setOf({CharClass::Blank})) return false;
    if (set & setOf({CharClass::Colon})) return last;
    return isPunctuation(classes, code);
}

}  // namespace

bool TextFormatter::isSeparatorLine(const ClassLookup& classes, const char* line, int start, int end) const {
    for (int pos = start; pos < end;) {
        const CharAt c = readCharAt(line, pos, end);
        pos += c.width;
        const ClassSet set = classes(c.code);
        if (!(set & setOf({CharClass::Blank}))) return (set & kSeparatorMarks) != 0;
    }
    return true;  // empty, or nothing but blanks
}

TextFormatter::AsciiSet TextFormatter::asciiKeptInHeadings(const ClassLookup& classes) const {
    AsciiSet kept{};
    for (CharCode code = 1; code < 0x80; ++code) {
        kept[code] = !stopsHeading(classes, code, false) && !stopsHeading(classes, code, true) &&
                     !(translatePunctuation_ && classes(code) != 0);
    }
    return kept;
}

bool TextFormatter::tryWriteHeading(const ClassLookup& classes, const AsciiSet& keptAscii, const char* line, int start,
                                    int end) {
    // The heading is laid out in the paragraph buffer, which no paragraph
    // holds while headings are tried.
    bool boxedAny = false;
    const int length = layOutHeading(classes, keptAscii, line, start, end, paragraphBuffer(), kBufferSize, boxedAny);
    if (length < 0) return false;
    writeLaidOutHeading(length, boxedAny);
    return true;
}

void TextFormatter::writeLaidOutHeading(int length, bool boxedAny) {
    if (boxedAny) sawInvalidCode = 1;
    // The first line feed ends the heading's own line, whatever the spacing.
    writeLine(paragraphBuffer(), length, headingAlignment_, 1 + std::int64_t(std::max(lineSpacing_, 0)));
}

bool TextFormatter::continuesWrappedLine(int shortLength, const char* line, int end) const {
    int word = 0;
    bool alphanumeric = false;
    for (; word < end && isWordChar(static_cast<unsigned char>(line[word])); ++word) {
        alphanumeric = alphanumeric || isAsciiAlnum(static_cast<unsigned char>(line[word]));
    }
    // The wrapped sentence goes on at once after the word; a word alone on
    // its line (an address under a title) or set apart by a blank (a
    // speaker's name in a chat) starts a line of its own.
    const bool textFollows = word < end && line[word] != ' ' && line[word] != '\t';
    return alphanumeric && textFollows && !isShortLine(shortLength + 1 + word);
}

bool TextFormatter::isChapterHeading(const ClassLookup& classes, const char* line, int start, int end) const {
    if (chapterHeadings_ && opensChapter(*sourceProfile, classes, line, start, end)) return true;
    return headingPattern_ != nullptr && start < end &&
           headingPattern_->matches(*sourceProfile, std::string_view(line + start, std::size_t(end - start)));
}

bool TextFormatter::writeChapterHeading(const ClassLookup& classes, const AsciiSet& keptAscii, const char* line,
                                        int start, int end) {
    char* heading = paragraphBuffer();
    bool boxedAny = false;
    const int length =
        layOutHeading(classes, keptAscii, line, start, end, heading, kBufferSize, boxedAny, HeadingTest::AnyLine);
    if (length < 0) return false;
    if (boxedAny) sawInvalidCode = 1;
    // A heading is cut to the line's width; a chapter's title is never lost.
    if (lineWidth_ >= 0 && length > lineWidth_) {
        breakParagraph(heading, length);
    } else {
        writeLine(heading, length, headingAlignment_, 1 + std::int64_t(std::max(lineSpacing_, 0)));
    }
    return true;
}

int TextFormatter::layOutHeading(const ClassLookup& classes, const AsciiSet& keptAscii, const char* line, int start,
                                 int end, char* heading, int room, bool& boxedAny, HeadingTest test) const {
    const bool anyLine = test == HeadingTest::AnyLine;
    // `end` counts the leading blanks too, so an indented line is longer.
    if (!anyLine && !isShortLine(end)) return -1;

    // Most lines that are no heading end in punctuation: looked at first,
    // the last character spares them the scan. A last byte below 80 may be a
    // trail byte: where it would stop the heading alone, the bytes before it
    // tell.
    if (!anyLine && start < end) {
        const auto last = static_cast<unsigned char>(line[end - 1]);
        const bool mayStop = last >= 0x80 || stopsHeading(classes, last, true);
        if (mayStop && stopsHeading(classes, lastCharOf(line, start, end).code, true)) return -1;
    }

    // The heading is laid out while the line is read. Translation can double
    // a line's bytes. A heading that would not fit the room, or the line
    // (where the line writer would cut it), is laid out as paragraph text
    // instead, which loses nothing.
    int length = 0;
    // Where the last character taken starts: mixed text asks for it, and
    // the heading's pairs would have to be counted from its start to find it.
    int lastStart = 0;
    // Only Big5 has vertical forms.
    const bool fixForms = autoFix_ && sourceProfile->id == kBig5Id;
    // A double-byte code in no class that no form fixing changes, and that
    // is not boxed, goes over as it is.
    const bool boxes = boxesInvalidPairs();
    const auto keptAsItIs = [&](CharCode code) {
        return classes(code) == 0 && (!fixForms || fixVerticalForm(code) == code) &&
               (!boxes || sourceProfile->holds(code));
    };
    // Where the next word test may be made: after one fails, not before the
    // end of its word.
    int nextWordTest = start;
    for (int pos = start; pos < end;) {
        // Four double-byte characters at a time (bytes 0, 2, 4 and 6 lead
        // bytes, whatever their trail bytes), or eight ASCII ones, while each
        // is kept as it is: they go over as they are.
        if (end - pos >= 8 && pos >= nextWordTest && length + 8 <= room) {
            const std::uint64_t high = byte_masks::wordAt(line + pos) & byte_masks::kHighBits;
            const auto* bytes = reinterpret_cast<const unsigned char*>(line + pos);
            constexpr std::uint64_t kFourLeads = 0x0080008000800080u;
            bool plain = false;
            if ((high & kFourLeads) == kFourLeads) {
                const auto codeAt = [&](int i) { return static_cast<CharCode>(bytes[i] << 8 | bytes[i + 1]); };
                plain = keptAsItIs(codeAt(0)) && keptAsItIs(codeAt(2)) && keptAsItIs(codeAt(4)) && keptAsItIs(codeAt(6));
            } else if (high == 0) {
                plain = true;
                for (int i = 0; i < 8; ++i) plain &= keptAscii[bytes[i]];
            }
            if (plain) {
                lastStart = length + (high == 0 ? 7 : 6);
                std::memcpy(heading + length, bytes, 8);
                length += 8;
                pos += 8;
                continue;
            }
            nextWordTest = pos + 8;
        }
        const CharAt c = readKeptCharAt(line, pos, end);
        pos += c.width;
        CharCode code = c.code;
        if (c.width == 2 ? keptAsItIs(code) : !isDoubleByte(code) && keptAscii[code]) {
            if (length + 2 > room) return -1;
            lastStart = length;
            std::memcpy(heading + length, line + pos - c.width, 2);
            length += c.width;
            continue;
        }
        if (!anyLine && stopsHeading(classes, code, pos >= end)) return -1;
        // Only ASCII codes in a class are translated. The quotes, which
        // pair, have stopped a short heading; a chapter's stay as they are.
        // Mixed text keeps the marks and spaces of Latin text.
        if (mixedText_ && !isDoubleByte(code) &&
            keptInMixedHeading(code, length > 0 ? readCharAt(heading, lastStart, length).code : 0, line, pos, end)) {
            if (length + 1 > room) return -1;
            lastStart = length;
            heading[length++] = static_cast<char>(code);
            continue;
        }
        if (translatePunctuation_ && !isDoubleByte(code) && code != '"' && code != '\'') {
            if (const ClassSet set = classes(code); set != 0) code = ownFormOf(*sourceProfile, set);
        }
        if (fixForms) code = fixVerticalForm(code);
        if (isBoxed(code)) {
            boxedAny = true;
            code = sourceProfile->replacementCode();
        }
        if (code == 0) continue;
        if (length + 2 > room) return -1;
        lastStart = length;
        if (isDoubleByte(code)) heading[length++] = static_cast<char>(code >> 8);
        heading[length++] = static_cast<char>(code & 0xFF);
    }

    return !anyLine && length > lineWidth_ ? -1 : length;
}

}  // namespace quillon
