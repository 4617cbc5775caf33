// Laying a paragraph out into lines, and writing one line.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "byte_words.h"
#include "character_classes.h"
#include "run_options.h"
#include "text_file.h"
#include "text_formatter.h"

namespace quillon {
namespace {

// The bytes from a character start to the first character start at least
// eight bytes on, by the high bits of the eight bytes (bit i for byte i): a
// byte with its high bit set takes the next byte with it.
constexpr std::array<std::uint8_t, 0x100> kWordStep = [] {
    std::array<std::uint8_t, 0x100> steps{};
    for (unsigned high = 0; high < 0x100; ++high) {
        unsigned pos = 0;
        while (pos < 8) pos += (high >> pos & 1) ? 2 : 1;
        steps[high] = static_cast<std::uint8_t>(pos);
    }
    return steps;
}();

int widthAt(const char* text, int pos) {
    return (static_cast<unsigned char>(text[pos]) & 0x80) ? 2 : 1;
}

}  // namespace

void TextFormatter::writeBlankUnits(std::int32_t count) {
    if (count <= 0) return;
    constexpr std::int32_t kUnitsPerBlock = 64;
    char block[2 * kUnitsPerBlock];
    char unit[2] = {' ', ' '};
    const CharCode fullWidth = targetProfile->primary(CharClass::Blank);
    if (fullWidthSpaces_ && isDoubleByte(fullWidth)) {
        unit[0] = static_cast<char>(fullWidth >> 8);
        unit[1] = static_cast<char>(fullWidth & 0xFF);
    }
    const std::int32_t units = std::min(count, kUnitsPerBlock);
    for (std::int32_t i = 0; i < units; ++i) std::memcpy(block + 2 * i, unit, 2);
    for (std::int32_t left = count; left > 0; left -= units) {
        outputStream->write(block, 2 * static_cast<std::size_t>(std::min(left, units)));
    }
}

void TextFormatter::writeLine(char* text, int length, std::int32_t alignment) {
    if (lineWidth_ != -1 && length > lineWidth_) length = lineWidth_;
    const std::int64_t free = std::int64_t(lineWidth_) - length;
    switch (alignment) {
        case kAlignMiddle:
            if (lineWidth_ != -1) writeBlankUnits(static_cast<std::int32_t>(free / 4));
            break;
        case kAlignRight:
            if (lineWidth_ != -1) writeBlankUnits(static_cast<std::int32_t>(free / 2));
            break;
        case kAlignNormal: writeBlankUnits(leadingSpaces_); break;
        default: break;
    }
    // The line is laid out in the source encoding; conversion keeps its length.
    if (sourceProfile != targetProfile) convertRunLine(text, length, *sourceProfile, *targetProfile);
    outputStream->write(text, length);
}

void TextFormatter::breakParagraph(char* text, int length) {
    writeBlankUnits(leadingSpaces_);
    const auto writeParagraphLine = [&](int start, int end) {
        writeBlankUnits(leftMargin_);
        writeLine(text + start, end - start, kAlignLeft);
        outputStream->putLineFeed();
    };

    if (lineWidth_ == -1) {
        writeParagraphLine(0, length);
    } else {
        // The indent counts against the first line; a negative one counts as
        // none, so that no text is pushed past the width and lost.
        std::int64_t used = 2 * std::int64_t(std::max(leadingSpaces_, 0));
        int lineStart = 0;
        int pos = 0;
        while (pos < length) {
            // Eight bytes at once, or nine where the eighth starts a
            // double-byte character, while they leave two bytes of room or
            // more: none of their characters can end the line.
            while (length - pos >= 9 && used + 9 <= std::int64_t(lineWidth_) - 2) {
                const int step = kWordStep[highBitMask(wordAt(text + pos))];
                pos += step;
                used += step;
            }
            if (pos >= length) break;
            const int width = std::min(widthAt(text, pos), length - pos);
            pos += width;
            used += width;
            if (used < lineWidth_) {
                // One byte of room left cannot take a double-byte character.
                const bool oneByteShort =
                    lineWidth_ - used == 1 && pos < length && widthAt(text, pos) == 2;
                if (!oneByteShort) continue;
            }
            if (naturalSyntax_ && pos < length &&
                isPunctuation(*sourceProfile, readCharAt(text, pos, length).code)) {
                pos = backOffFromPunctuation(text, lineStart, pos);
            }
            writeParagraphLine(lineStart, pos);
            used = 0;
            lineStart = pos;
        }
        if (used > 0) writeParagraphLine(lineStart, length);
    }
    for (std::int32_t i = 0; i < lineSpacing_; ++i) outputStream->putLineFeed();
}

// Moves a line end at `end` back so that the punctuation after it does not
// start the next line: the last character always goes down with it, and so do
// punctuation marks before it while fewer than 0.7 x lineWidth bytes have
// moved. Walking back from the end, the walk stops at the first character that
// is no punctuation or is reached with that many bytes moved; scanning forward,
// that is the last such character of the line. A walk that would empty the
// line keeps the original end.
int TextFormatter::backOffFromPunctuation(const char* text, int lineStart, int end) const {
    const double limit = lineWidth_ * 0.7;
    const ClassLookup classes(*sourceProfile);
    int stop = -1;
    int pos = lineStart;
    // Characters that far from the end are stops whatever they are; a word
    // is skipped while the character after it is one too.
    while (end - pos >= 9 && !(limit > end - (pos + 9))) pos += kWordStep[highBitMask(wordAt(text + pos))];
    while (pos < end) {
        const CharAt c = readCharAt(text, pos, end);
        const int moved = end - pos;
        if (!(limit > moved) || !isPunctuation(classes, c.code)) stop = pos;
        pos += c.width;
    }
    return stop > lineStart ? stop : end;
}

}  // namespace quillon
