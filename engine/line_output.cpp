// Laying a paragraph out into lines, and writing one line.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>

#include "byte_masks.h"
#include "character_classes.h"
#include "character_starts.h"
#include "run_options.h"
#include "text_file.h"
#include "text_formatter.h"

namespace quillon {
namespace {

int widthAt(const char* text, int pos) {
    return (static_cast<unsigned char>(text[pos]) & 0x80) ? 2 : 1;
}

// Copies the text of a line, which is short: in moves of eight or sixteen
// bytes, the last overlapping the one before it. A plain memcpy of a size the
// compiler knows to be bounded becomes a block move, slow to start.
void copyLineText(char* out, const char* text, std::size_t length) {
    if (length >= 16) {
        for (std::size_t i = 0; i + 16 < length; i += 16) std::memcpy(out + i, text + i, 16);
        std::memcpy(out + length - 16, text + length - 16, 16);
    } else if (length >= 8) {
        std::memcpy(out, text, 8);
        std::memcpy(out + length - 8, text + length - 8, 8);
    } else {
        for (std::size_t i = 0; i < length; ++i) out[i] = text[i];
    }
}

}  // namespace

// Writes `units` blank units, then `length` bytes of text holding no line
// feed, then `lineFeeds` line ends, straight into the writer's buffer: a
// paragraph line takes one piece of it. Negative counts write nothing.
void TextFormatter::writeLinePieces(std::int64_t units, const char* text, int length, std::int64_t lineFeeds) {
    // Longer pieces go over in parts; this bounds what one part asks of the buffer.
    constexpr std::int64_t kPart = 4096;
    units = std::max<std::int64_t>(units, 0);
    lineFeeds = std::max<std::int64_t>(lineFeeds, 0);
    const std::int64_t size = 2 * units + length + 2 * lineFeeds;
    if (size > kPart) {
        for (; units > 0; units -= kPart / 2) writeLinePieces(std::min<std::int64_t>(units, kPart / 2), nullptr, 0, 0);
        outputStream->write(text, static_cast<std::size_t>(length));
        for (; lineFeeds > 0; lineFeeds -= kPart / 2) writeLinePieces(0, nullptr, 0, std::min<std::int64_t>(lineFeeds, kPart / 2));
        return;
    }
    // Blank units and line ends go four to a word, the first word whether
    // there are any or not: it may write past them, into what the next
    // piece writes or into room asked for but not taken.
    std::uint64_t units4 = byte_masks::kOnes * ' ';
    const CharCode fullWidth = targetProfile->primary(CharClass::Blank);
    if (fullWidthSpaces_ && isDoubleByte(fullWidth)) {
        units4 = 0x0001000100010001u * (std::uint64_t{fullWidth & 0xFFu} << 8 | fullWidth >> 8);
    }
    constexpr std::uint64_t kLineEnds4 = 0x0A0D0A0D0A0D0A0Du;
    char* out = outputStream->space(static_cast<std::size_t>(size) + 8);
    std::memcpy(out, &units4, 8);
    for (std::int64_t i = 4; i < units; i += 4) std::memcpy(out + 2 * i, &units4, 8);
    out += 2 * units;
    if (length > 0) copyLineText(out, text, static_cast<std::size_t>(length));
    out += length;
    std::memcpy(out, &kLineEnds4, 8);
    for (std::int64_t i = 4; i < lineFeeds; i += 4) std::memcpy(out + 2 * i, &kLineEnds4, 8);
    outputStream->advance(static_cast<std::size_t>(size));
}

void TextFormatter::writeLineFeeds(std::int32_t count) { writeLinePieces(0, nullptr, 0, count); }

// Cuts a line to the width and converts it in place; returns its length.
int TextFormatter::fitLine(char* text, int length, int overhang) {
    if (lineWidth_ != -1 && length > lineWidth_ + overhang) length = lineWidth_ + overhang;
    // The line is laid out in the source encoding; conversion keeps its length.
    if (sourceProfile != targetProfile) convertRunLine(text, length, *sourceProfile, *targetProfile);
    return length;
}

void TextFormatter::writeLine(char* text, int length, std::int32_t alignment, std::int64_t lineFeeds) {
    length = fitLine(text, length);
    const std::int64_t free = std::int64_t(lineWidth_) - length;
    std::int64_t units = 0;
    switch (alignment) {
        case kAlignMiddle:
            if (lineWidth_ != -1) units = static_cast<std::int32_t>(free / 4);
            break;
        case kAlignRight:
            if (lineWidth_ != -1) units = static_cast<std::int32_t>(free / 2);
            break;
        case kAlignNormal: units = leadingSpaces_; break;
        default: break;
    }
    writeLinePieces(units, text, length, lineFeeds);
}

void TextFormatter::breakParagraph(char* text, int length) {
    // The indent goes before the first line's margin.
    std::int32_t indent = std::max(leadingSpaces_, 0);
    // Paragraph text holds no line feed: lines never do, nor do the codes
    // that replace characters. The last line takes the paragraph's spacing
    // with its own line end.
    const auto writeParagraphLine = [&](int start, int end, std::int64_t lineFeeds, int overhang) {
        const std::int64_t units = std::int64_t(indent) + std::max(leftMargin_, 0);
        writeLinePieces(units, text + start, fitLine(text + start, end - start, overhang), lineFeeds);
        indent = 0;
    };
    const std::int64_t lastLineFeeds = 1 + std::int64_t(std::max(lineSpacing_, 0));

    if (lineWidth_ == -1) {
        writeParagraphLine(0, length, lastLineFeeds, 0);
    } else {
        // The indent counts against the first line; a negative one counts as
        // none, so that no text is pushed past the width and lost.
        std::int64_t used = 2 * std::int64_t(indent);
        int lineStart = 0;
        // Natural syntax asks about the character after each line.
        std::optional<ClassLookup> classes;
        if (naturalSyntax_ && !lineStartRules_) classes.emplace(*sourceProfile);
        const bool placesBreaks = mixedText_ || lineStartRules_;
        // A line takes characters while the next one fits, and at least one:
        // it ends at the last character start that leaves it no wider than
        // the line. One byte of room left cannot take a double-byte character.
        while (lineStart < length) {
            const std::int64_t room = std::int64_t(lineWidth_) - used;
            if (length - lineStart < room) break;
            int end = lineStart;
            if (room > 0) {
                const int target = lineStart + static_cast<int>(room);
                end = target - highBytesBefore(text, lineStart, target) % 2;
            }
            if (end == lineStart) end += std::min(widthAt(text, lineStart), length - lineStart);
            if (classes && end < length && isPunctuation(*classes, readCharAt(text, end, length).code)) {
                end = backOffFromPunctuation(*classes, text, lineStart, end);
            }
            const LineBreak lineBreak = placesBreaks ? placeLineBreak(text, lineStart, end, length)
                                                     : LineBreak{end, end, 0};
            writeParagraphLine(lineStart, lineBreak.end, 1, lineBreak.overhang);
            used = 0;
            lineStart = lineBreak.next;
        }
        used += length - lineStart;
        if (used == 0) {
            writeLineFeeds(lineSpacing_);
        } else {
            writeParagraphLine(lineStart, length, lastLineFeeds, 0);
        }
    }
}

// Moves a line end at `end` back so that the punctuation after it does not
// start the next line: the last character always goes down with it, and so do
// punctuation marks before it while fewer than 0.7 x lineWidth bytes have
// moved. Walking back from the end, the walk stops at the first character that
// is no punctuation or is reached with that many bytes moved; scanning forward,
// that is the last such character of the line. A walk that would empty the
// line keeps the original end.
int TextFormatter::backOffFromPunctuation(const ClassLookup& classes, const char* text, int lineStart,
                                          int end) const {
    const double limit = lineWidth_ * 0.7;
    int stop = -1;
    int pos = lineStart;
    // Characters that far from the end are stops whatever they are; a word
    // is skipped while the character after it is one too.
    while (end - pos >= 9 && !(limit > end - (pos + 9))) pos += byte_masks::kWordStep[byte_masks::topBits(byte_masks::wordAt(text + pos))];
    while (pos < end) {
        const CharAt c = readCharAt(text, pos, end);
        const int moved = end - pos;
        if (!(limit > moved) || !isPunctuation(classes, c.code)) stop = pos;
        pos += c.width;
    }
    return stop > lineStart ? stop : end;
}

}  // namespace quillon
