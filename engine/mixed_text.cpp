// Text with Latin words and numbers: which ASCII marks and spaces a paragraph
// keeps as they are, and where it puts a space.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <utility>

#include "byte_masks.h"
#include "text_kinds.h"
#include "text_formatter.h"

namespace quillon {
namespace {

// Whether Latin text may go on through a mark after `previous` (0: none,
// at the start): where it may not, keepsInLatinText is false whatever
// follows, and the next word need not be looked for.
bool latinTextMayGoOn(CharCode previous) { return previous == 0 || isWordChar(previous); }

// The marks that may join a Latin word whatever stands on their other side
// (see joinsLatinWord).
bool mayJoinLatinWord(CharCode code) {
    return code == '-' || code == '.' || code == '*' || code == '$' || code == '#' || code == '_';
}

// Text that a space may stand beside: a word's character or a double-byte one.
bool isText(CharCode c) { return isWordChar(c) || isDoubleByte(c); }

// The first character at or after `pos` that is no space or tab; 0 if none.
CharCode nextWordAt(const char* line, int pos, int end) {
    while (pos < end && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
    return pos < end ? readCharAt(line, pos, end).code : 0;
}

// Whether the text that a straight quote opens is Chinese: any double-byte
// character up to the next quote of its kind, or, where the line ends
// first, up to the line's end. A quote that ends its line takes after the
// character before it. (Neither quote is ever a trail byte.)
bool opensChineseText(char quote, CharCode previous, const char* line, int pos, int end) {
    if (nextWordAt(line, pos, end) == 0) return isDoubleByte(previous);
    for (; pos < end && line[pos] != quote; ++pos) {
        if (static_cast<unsigned char>(line[pos]) & 0x80) return true;
    }
    return false;
}

// Whether a mark belongs to a Latin word beside it, whatever stands on its
// other side: one it starts, which follows at once (an option -x or --force,
// an extension .deb or *.so, a variable $LANG, a figure -5 or #3), or, for a
// hyphen, one it ends (Ctrl-键).
bool joinsLatinWord(CharCode code, CharCode previous, const char* line, int pos, int end) {
    if (!mayJoinLatinWord(code)) return false;
    if (code == '-' && isWordChar(previous)) return true;
    // ASCII bytes only: the walk never lands on a trail byte. A word starts
    // within a few marks (../, --); the bound keeps a line of marks linear.
    const int stop = std::min(end, pos + 8);
    for (; pos < stop && isWordChar(static_cast<unsigned char>(line[pos])); ++pos) {
        if (isAsciiAlnum(static_cast<unsigned char>(line[pos]))) return true;
    }
    return false;
}

// Whether a bracket opens Latin text: its closing bracket follows on the
// line with nothing but ASCII before it ([9], a[i]). The walk ends at the
// next opening bracket too, which keeps a line of them linear.
bool opensLatinBracket(const char* line, int pos, int end) {
    // Eight bytes at a time to the first byte that is no ASCII or a bracket:
    // lines of terminal colour codes hold many an opening bracket.
    for (; end - pos >= 8; pos += 8) {
        const std::uint64_t word = byte_masks::wordAt(line + pos);
        const std::uint64_t stops = (word & byte_masks::kHighBits) | byte_masks::bytesEqualTo(word, '[') |
                                    byte_masks::bytesEqualTo(word, ']');
        if (stops != 0) return line[pos + std::countr_zero(stops) / 8] == ']';
    }
    for (; pos < end && !(static_cast<unsigned char>(line[pos]) & 0x80) && line[pos] != '['; ++pos) {
        if (line[pos] == ']') return true;
    }
    return false;
}

}  // namespace

bool TextFormatter::keepsAsciiMark(CharCode code, CharCode previous, const char* line, int pos, int end) {
    // An apostrophe inside a word (don't, it's) pairs with nothing.
    if (code == '\'' && isAsciiAlnum(previous) && pos < end && isAsciiAlnum(readCharAt(line, pos, end).code)) {
        return true;
    }
    if (code == '"' || code == '\'') {
        std::int32_t& latinOpen = code == '"' ? latinDoubleQuoteOpen : latinSingleQuoteOpen;
        if (latinOpen) {
            latinOpen = 0;
            return true;
        }
        // A Chinese quotation open takes its closing quote.
        if (code == '"' ? doubleQuoteOpen : singleQuoteOpen) return false;
        latinOpen = !opensChineseText(static_cast<char>(code), previous, line, pos, end);
        return latinOpen != 0;
    }
    // A bracket around Latin text stays with its closing one ([9] 有些).
    if (code == '[' && (latinBracketOpen = opensLatinBracket(line, pos, end)) != 0) return true;
    if (code == ']' && std::exchange(latinBracketOpen, 0) != 0) return true;
    return (latinTextMayGoOn(previous) && keepsInLatinText(previous, nextWordAt(line, pos, end))) ||
           joinsLatinWord(code, previous, line, pos, end);
}

bool TextFormatter::keepsInLatinText(CharCode previous, CharCode next) const {
    if (previous == 0) return isWordChar(next);  // "..." at the start
    return isWordChar(previous) && (next == 0 || isWordChar(next));
}

namespace {

// keptInMixedHeading where the text after the space or mark decides. Out of
// line, so that the calls the characters alone answer save no registers.
[[gnu::noinline]] bool keptInMixedHeadingLookingOn(const TextFormatter& formatter, CharCode code, CharCode previous,
                                                   const char* line, int pos, int end) {
    if (code == ' ') return isText(previous) && formatter.keepsSpaceBetween(previous, nextWordAt(line, pos, end));
    return (latinTextMayGoOn(previous) && formatter.keepsInLatinText(previous, nextWordAt(line, pos, end))) ||
           joinsLatinWord(code, previous, line, pos, end);
}

}  // namespace

bool TextFormatter::keptInMixedHeading(CharCode code, CharCode previous, const char* line, int pos, int end) const {
    // Of a run of spaces only the first can stay, and most marks are answered
    // by the two characters alone: neither need look ahead.
    if (code == ' ' ? previous == ' ' : !latinTextMayGoOn(previous) && !mayJoinLatinWord(code)) return false;
    return keptInMixedHeadingLookingOn(*this, code, previous, line, pos, end);
}

bool TextFormatter::keepsSpaceBetween(CharCode previous, CharCode next) const {
    const auto isMark = [&](CharCode c) {
        return isDoubleByte(c) && (closesText(*sourceProfile, c) || opensText(*sourceProfile, c));
    };
    return (isWordChar(previous) || isWordChar(next)) && isText(previous) && isText(next) && !isMark(previous) &&
           !isMark(next);
}

bool TextFormatter::scriptsMeet(CharCode previous, CharCode next) const {
    if (!spaceBetweenScripts_) return false;
    return (isHanziCode(*sourceProfile, previous) && isAsciiAlnum(next)) ||
           (isAsciiAlnum(previous) && isHanziCode(*sourceProfile, next));
}

bool TextFormatter::joinsWithSpace(CharCode previous, CharCode next) const {
    return (isWordChar(previous) && isWordChar(next)) || scriptsMeet(previous, next);
}

}  // namespace quillon
