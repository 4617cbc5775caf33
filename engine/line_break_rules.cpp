// Where a line ends in text with Latin words, and under the rules that keep
// closing marks from starting a line and opening marks from ending one.
#include "character_starts.h"
#include "text_formatter.h"
#include "text_kinds.h"

namespace quillon {

TextFormatter::LineBreak TextFormatter::placeLineBreak(const char* text, int lineStart, int end, int length) const {
    const EncodingProfile& source = *sourceProfile;
    // A break at `pos`: spaces around it belong to neither line.
    const auto breakAt = [&](int pos) {
        LineBreak at{pos, pos, 0};
        while (at.end > lineStart && text[at.end - 1] == ' ') --at.end;
        while (at.next < length && text[at.next] == ' ') ++at.next;
        return at;
    };
    // Both tests below ask for the character before a break; finding it
    // may read back over the line's pairs, so it is found once. At the
    // character start the walk below has reached (no spaces taken off),
    // it is read at once.
    int walked = -1;
    int beforeEnd = -1;
    CharCode beforeCode = 0;
    const auto before = [&](const LineBreak& at) {
        if (at.end != beforeEnd) {
            beforeEnd = at.end;
            beforeCode = (at.end == walked ? charBefore(text, lineStart, at.end) : lastCharOf(text, lineStart, at.end)).code;
        }
        return beforeCode;
    };
    const auto after = [&](const LineBreak& at) { return at.next < length ? readCharAt(text, at.next, length).code : 0; };
    // A Latin word is broken only where it is wider than the line.
    const auto keepsWords = [&](const LineBreak& at) {
        return !mixedText_ || at.next > at.end || !(isWordChar(before(at)) && isWordChar(after(at)));
    };
    const auto keepsMarks = [&](const LineBreak& at) {
        return !lineStartRules_ || at.next >= length ||
               (!closesText(source, after(at)) && !opensText(source, before(at)));
    };

    const auto wordEndFrom = [&](int pos) {
        while (pos < length && isWordChar(readCharAt(text, pos, length).code)) ++pos;
        return pos;
    };
    // Walking back from `end`: the first break that keeps words whole is the
    // line's end unless a mark asks for an earlier one, which may lie up to
    // a quarter of the line before it.
    LineBreak wordBreak{};
    bool foundWordBreak = false;
    for (int pos = end; pos > lineStart; pos -= charBefore(text, lineStart, pos).width) {
        walked = pos;
        const LineBreak at = breakAt(pos);
        if (at.end == lineStart) break;  // the line would be empty
        if (!keepsWords(at)) continue;
        if (!foundWordBreak) {
            // A word that no line could hold is cut here, not on the next line.
            if (at.next < end && wordEndFrom(end) - at.next > lineWidth_) break;
            wordBreak = at;
            foundWordBreak = true;
        } else if (4 * (wordBreak.end - at.end) > lineWidth_) {
            break;
        }
        if (keepsMarks(at)) return at;
    }
    // A word wider than the line breaks at the width.
    if (!foundWordBreak) wordBreak = breakAt(end);
    if (keepsMarks(wordBreak)) return wordBreak;
    // No break keeps the marks: the mark after the line, or the character
    // after an opening mark, hangs past the width, unless that splits a word.
    const int hungWidth = readCharAt(text, wordBreak.next, length).width;
    LineBreak hanging = breakAt(wordBreak.next + hungWidth);
    hanging.overhang = hungWidth + (wordBreak.next - wordBreak.end);
    return keepsWords(hanging) ? hanging : wordBreak;
}

}  // namespace quillon
