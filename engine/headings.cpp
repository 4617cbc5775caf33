// The two line tests that run while no paragraph is open: separator lines are
// dropped, short unpunctuated lines are written as aligned headings.
#include <algorithm>
#include <cstdint>

#include "byte_masks.h"
#include "character_classes.h"
#include "text_file.h"
#include "text_formatter.h"

namespace quillon {

bool TextFormatter::isSeparatorLine(const char* line, int start, int end) const {
    const ClassLookup classes(*sourceProfile);
    for (int pos = start; pos < end;) {
        const CharAt c = readCharAt(line, pos, end);
        pos += c.width;
        const ClassSet set = classes(c.code);
        if (!(set & setOf({CharClass::Blank}))) return (set & kSeparatorMarks) != 0;
    }
    return true;  // empty, or nothing but blanks
}

bool TextFormatter::tryWriteHeading(const char* line, int start, int end) {
    // `end` counts the leading blanks too, so an indented line is longer.
    if (!(end < 0.7 * lineWidth_)) return false;

    const ClassLookup classes(*sourceProfile);
    for (int pos = start; pos < end;) {
        // Four double-byte characters at a time while none is in a class,
        // eight ASCII ones while none is in a class but Blank.
        if (end - pos >= 8) {
            const std::uint64_t high = byte_masks::wordAt(line + pos) & byte_masks::kHighBits;
            const auto* bytes = reinterpret_cast<const unsigned char*>(line + pos);
            if (high == byte_masks::kHighBits && classes.rowIsUnclassed(bytes[0]) &&
                classes.rowIsUnclassed(bytes[2]) && classes.rowIsUnclassed(bytes[4]) &&
                classes.rowIsUnclassed(bytes[6])) {
                pos += 8;
                continue;
            }
            if (high == 0) {
                ClassSet any = 0;
                for (int i = 0; i < 8; ++i) any |= classes(bytes[i]);
                if ((any & ~setOf({CharClass::Blank})) == 0) {
                    pos += 8;
                    continue;
                }
            }
        }
        const CharAt c = readCharAt(line, pos, end);
        pos += c.width;
        const ClassSet set = classes(c.code);
        // Most characters are in no class: no blank, colon or punctuation.
        if (set == 0 && !isAsciiPunctuation(c.code)) continue;
        if (set & setOf({CharClass::Blank})) continue;
        if (set & setOf({CharClass::Colon})) {
            if (pos >= end) return false;  // "Chapter one:" introduces text
            continue;
        }
        if (isPunctuation(classes, c.code)) return false;
    }

    // Translation can double a line's bytes. A heading that would not fit the
    // buffer, or the line (where the line writer would cut it), is laid out
    // as paragraph text instead, which loses nothing.
    char* heading = paragraphBuffer();
    int length = 0;
    // Only Big5 has vertical forms.
    const bool fixForms = autoFix_ && sourceProfile->id == kBig5Id;
    for (int pos = start; pos < end;) {
        const CharAt c = readCharAt(line, pos, end);
        pos += c.width;
        CharCode code = c.code;
        // Only ASCII codes in a class are translated.
        if (translatePunctuation_ && !isDoubleByte(code) && classes(code) != 0) {
            code = translateAsciiPunctuation(code);
        }
        if (fixForms) code = fixVerticalForm(code);
        if (code == 0) continue;
        if (length + 2 > kBufferSize) return false;
        if (isDoubleByte(code)) heading[length++] = static_cast<char>(code >> 8);
        heading[length++] = static_cast<char>(code & 0xFF);
    }

    if (length > lineWidth_) return false;

    writeLine(heading, length, headingAlignment_);
    // The first line feed ends the heading's own line, whatever the spacing.
    writeLineFeeds(1 + std::max(lineSpacing_, 0));
    return true;
}

}  // namespace quillon
