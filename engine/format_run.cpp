// The format run: lines are trimmed, joined into paragraphs by the chosen
// rule, transformed character by character and laid out into lines.
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#include "byte_words.h"
#include "character_classes.h"
#include "line_reader.h"
#include "run_options.h"
#include "text_file.h"
#include "text_formatter.h"

namespace quillon {
namespace {

// Points the formatter's output stream at a run's destination for the run's
// duration: line output writes there.
class OutputStreamScope {
public:
    OutputStreamScope(TextFormatter& formatter, TextWriter& output) : formatter_(formatter) {
        formatter_.outputStream = &output;
    }
    ~OutputStreamScope() { formatter_.outputStream = nullptr; }
    OutputStreamScope(const OutputStreamScope&) = delete;
    OutputStreamScope& operator=(const OutputStreamScope&) = delete;

private:
    TextFormatter& formatter_;
};

constexpr ClassSet bit(CharClass c) { return ClassSet(1) << static_cast<int>(c); }

// What the quick copy loop of the run does with the character a byte starts:
// keeps its 1 or 2 bytes as they are, drops it (0: the space), or leaves it to
// the per-character steps (kStepByStep).
constexpr std::uint8_t kStepByStep = 0x80;

// Quick handling covers characters that every per-character step leaves as
// they are without touching the run's state: ASCII bytes in no class other
// than NUL and tab (a tab at the end of a line is trimmed, inside it is
// kept), and lead bytes of rows with no classed code and no form to fix. Such
// characters end no sentence. The space, a blank, is dropped.
std::array<std::uint8_t, 0x100> quickActions(const TextFormatter& formatter, const ClassLookup& classes) {
    const EncodingProfile& source = *formatter.sourceProfile;
    std::array<std::uint8_t, 0x100> actions;
    actions.fill(kStepByStep);
    for (unsigned byte = 1; byte < 0x80; ++byte) {
        if (byte != '\t' && classes(CharCode(byte)) == 0) actions[byte] = 1;
    }
    if (classes(' ') == bit(CharClass::Blank)) actions[' '] = 0;
    for (unsigned lead = 0x80; lead <= 0xFF; ++lead) {
        bool unchanged = rowIsUnclassed(source, lead);
        for (unsigned trail = 0; unchanged && trail <= 0xFF; ++trail) {
            const auto code = static_cast<CharCode>(lead << 8 | trail);
            unchanged = formatter.fixVerticalForm(code) == code;
        }
        if (unchanged) actions[lead] = 2;
    }
    return actions;
}

}  // namespace

// Classes 9 to 16 come in opening/closing pairs, one pair per counter, and are
// tested in that order.
void TextFormatter::updateQuoteDepth(CharCode code) {
    constexpr int kFirst = static_cast<int>(CharClass::LeftDoubleQuote);
    const ClassSet quotes = doubleByteClassesOf(*sourceProfile, code) >> kFirst & 0xFF;
    if (quotes == 0) return;
    const int index = std::countr_zero(quotes);
    std::int32_t& depth = quoteDepth[index / 2];
    if (index % 2 == 0) {
        ++depth;
    } else if (depth > 0) {
        --depth;
    }
}

RunResult TextFormatter::formatFile(const char* sourcePath, const char* destinationPath) {
    if (!hasBuffers()) return kOutOfMemory;
    clearRunReport();
    if (const RunResult selected = selectProfiles(sourcePath); selected != kSuccess) return selected;
    if (sourceProfile->id == kPureAscId) return kPlainAsciiSource;

    LineReader input;
    if (!input.open(sourcePath)) return failedSystemCall(kSourceUnreadable, input.error());
    TextWriter output;
    if (!output.open(destinationPath)) return failedSystemCall(kDestinationUnwritable, output.error());
    const OutputStreamScope outputScope(*this, output);

    clearConversionFlags();
    singleQuoteOpen = doubleQuoteOpen = 0;
    insideTag = 0;
    for (std::int32_t& depth : quoteDepth) depth = 0;

    const EncodingProfile& source = *sourceProfile;
    const ClassLookup classesOfCode(source);
    const std::array<std::uint8_t, 0x100> quickAction = quickActions(*this, classesOfCode);
    const CharCode fullWidthBlank = source.primary(CharClass::Blank);
    char* line = lineBuffer();
    char* paragraph = paragraphBuffer();
    int paragraphLength = 0;
    CharCode previousCode = 0;

    // The bytes of the blank at `pos` that trimming takes away (space, tab or
    // the full-width blank), 0 if it is no such blank.
    const auto trimmedBlankAt = [&](int pos, int end) {
        if (line[pos] == ' ' || line[pos] == '\t') return 1;
        if (end - pos >= 2 && static_cast<unsigned char>(line[pos]) == (fullWidthBlank >> 8) &&
            static_cast<unsigned char>(line[pos + 1]) == (fullWidthBlank & 0xFF)) {
            return 2;
        }
        return 0;
    };
    const auto onlyBlanksFrom = [&](int pos, int end) {
        for (int width; pos < end; pos += width) {
            width = trimmedBlankAt(pos, end);
            if (width == 0) return false;
        }
        return true;
    };
    // The end of the line's text. A line whose last byte can end no blank
    // ends with its text; else the end is found reading forward, character by
    // character: read backwards, the trail byte of a character and the byte
    // after it (a Big5 xxA1 before "@") could pass for a full-width blank, or
    // a trail byte for a space, and the character would be cut.
    const auto textEndOf = [&](int start, int end) {
        if (end > start) {
            const char last = line[end - 1];
            if (last != ' ' && last != '\t' && static_cast<unsigned char>(last) != (fullWidthBlank & 0xFF)) {
                return end;
            }
        }
        int textEnd = start;
        for (int pos = start; pos < end;) {
            if (const int blank = trimmedBlankAt(pos, end); blank != 0) {
                pos += blank;
            } else {
                pos += readCharAt(line, pos, end).width;
                textEnd = pos;
            }
        }
        return textEnd;
    };
    const auto endParagraph = [&] {
        breakParagraph(paragraph, paragraphLength);
        paragraphLength = 0;
    };

    constexpr ClassSet kFullwidthMarks = bit(CharClass::FullwidthDot) | bit(CharClass::FullwidthQuote);
    constexpr ClassSet kNestingQuotes = 0xFFu << static_cast<int>(CharClass::LeftDoubleQuote);

    while (int end = input.readLine(line, kBufferSize)) {
        if (end > 0 && line[end - 1] == '\n') --end;

        int start = 0;
        for (int blank; start < end && (blank = trimmedBlankAt(start, end)) != 0;) start += blank;

        if (paragraphLength > 0) {
            const bool breaksHere = (paragraphMode_ == kParagraphEmptyLine && start >= end) ||
                                    (paragraphMode_ == kParagraphLeadingSpaces && start >= 3);
            if (breaksHere) {
                endParagraph();
                previousCode = 0;
            }
        }
        if (paragraphLength == 0) {
            const int textEnd = textEndOf(start, end);
            if (isSeparatorLine(line, start, textEnd)) continue;
            if (tryWriteHeading(line, start, textEnd)) continue;
        }

        // Whether the paragraph ends if the character taken last turns out
        // to be the last of the line: only blanks that trimming takes away
        // may follow it.
        bool endsIfLast = false;
        for (int pos = start; pos < end;) {
            // The quick loop stops short of a character that could fill the
            // buffer, and of a last byte that may be a lone lead byte.
            int lastKept = -1;
            while (pos + 1 < end && paragraphLength < kBufferSize - 2) {
                // Four double-byte characters at a time while they all pass.
                if (end - pos >= 8 && paragraphLength < kBufferSize - 8) {
                    const std::uint64_t word = wordAt(line + pos);
                    const auto* lead = reinterpret_cast<const unsigned char*>(line + pos);
                    if ((word & kHighBits) == kHighBits &&
                        (quickAction[lead[0]] & quickAction[lead[2]] & quickAction[lead[4]] &
                         quickAction[lead[6]]) == 2) {  // kStepByStep has no bit 1
                        std::memcpy(paragraph + paragraphLength, line + pos, 8);
                        paragraphLength += 8;
                        lastKept = pos + 6;
                        pos += 8;
                        continue;
                    }
                }
                const auto byte = static_cast<unsigned char>(line[pos]);
                const std::uint8_t kept = quickAction[byte];
                if (kept == kStepByStep) break;
                paragraph[paragraphLength] = line[pos];
                paragraph[paragraphLength + 1] = line[pos + 1];
                // Without a branch: spaces come and go unpredictably.
                lastKept += (pos - lastKept) & -int(kept != 0);
                paragraphLength += kept;
                pos += 1 + (byte >> 7);
            }
            if (lastKept >= 0) {
                previousCode = readCharAt(line, lastKept, end).code;
                endsIfLast = paragraphMode_ == kParagraphOneLine;
            }
            if (pos >= end) break;

            const CharAt c = readCharAt(line, pos, end);
            pos += c.width;
            CharCode code = c.code;
            if (code == '\t' && onlyBlanksFrom(pos, end)) break;  // trimmed
            ClassSet classes = classesOfCode(code);
            if (classes & bit(CharClass::Blank)) {
                // Spaces between words are dropped. A blank that trimming
                // keeps is text after the character before it.
                if (code != ' ' && code != fullWidthBlank) endsIfLast = false;
                continue;
            }
            // Each step below changes only codes of some class.
            if (translatePunctuation_ && !isDoubleByte(code) && classes != 0) {
                code = translateAsciiPunctuation(code);
                classes = classesOfCode(code);
            }
            if (autoFix_) {
                if (const CharCode horizontal = fixVerticalForm(code); horizontal != code) {
                    code = horizontal;
                    classes = classesOfCode(code);
                }
                if (classes & kFullwidthMarks) {
                    code = fixFullwidthMark(previousCode, code);
                    classes = classesOfCode(code);
                }
            }
            if (classes & kNestingQuotes) updateQuoteDepth(code);
            if (code != 0) {
                if (isDoubleByte(code)) paragraph[paragraphLength++] = static_cast<char>(code >> 8);
                paragraph[paragraphLength++] = static_cast<char>(code & 0xFF);
            }

            bool paragraphEnded = false;
            switch (paragraphMode_) {
                case kParagraphAutoDetect: endsIfLast = endsSentence(previousCode, code); break;
                case kParagraphOneLine: endsIfLast = true; break;
                case kParagraphForce: paragraphEnded = endsSentence(previousCode, code); break;
                default: break;
            }
            // A paragraph that fills the buffer is written out; its remaining
            // text starts the next one.
            if (paragraphLength >= kBufferSize || paragraphEnded) {
                endParagraph();
                endsIfLast = false;
            }
            previousCode = code;
        }
        if (endsIfLast) endParagraph();
    }
    if (paragraphLength > 0) endParagraph();

    return finishRun(input, output);
}

}  // namespace quillon
