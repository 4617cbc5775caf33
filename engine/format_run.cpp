// The format run: lines are trimmed, joined into paragraphs by the chosen
// rule, transformed character by character and laid out into lines.
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

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

constexpr std::uint64_t kHighBits = 0x8080808080808080u;

// Eight bytes as a word, byte i of the text being byte i of the word.
std::uint64_t wordAt(const char* text) {
    static_assert(std::endian::native == std::endian::little);
    std::uint64_t word;
    std::memcpy(&word, text, 8);
    return word;
}

// True if one of the four pairs of `word` is `pair` (two bytes as a word's
// low sixteen bits). A borrow only carries upwards, from a pair that matched.
bool hasPair(std::uint64_t word, std::uint64_t pair) {
    constexpr std::uint64_t kLanes = 0x0001000100010001u;
    const std::uint64_t difference = word ^ (pair * kLanes);
    return ((difference - kLanes) & ~difference & (0x8000 * kLanes)) != 0;
}

// Bytes that start a character which every per-character step of the run
// leaves as it is, without touching the run's state: ASCII bytes other than
// NUL in no class, and lead bytes of rows with no classed code and no form
// to fix. Such characters end no sentence and can be copied in runs.
std::array<bool, 0x100> passThroughStarts(const TextFormatter& formatter) {
    const EncodingProfile& source = *formatter.sourceProfile;
    std::array<bool, 0x100> passes{};
    for (unsigned byte = 1; byte < 0x80; ++byte) passes[byte] = classesOf(source, CharCode(byte)) == 0;
    for (unsigned lead = 0x80; lead <= 0xFF; ++lead) {
        bool unchanged = rowIsUnclassed(source, lead);
        for (unsigned trail = 0; unchanged && trail <= 0xFF; ++trail) {
            const auto code = static_cast<CharCode>(lead << 8 | trail);
            unchanged = formatter.fixVerticalForm(code) == code;
        }
        passes[lead] = unchanged;
    }
    return passes;
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
    const std::array<bool, 0x100> passesThrough = passThroughStarts(*this);
    const CharCode fullWidthBlank = source.primary(CharClass::Blank);
    const std::uint64_t fullWidthBlankPair = (fullWidthBlank & 0xFF) << 8 | fullWidthBlank >> 8;
    const auto isFullWidthBlankAt = [&](const char* at) {
        return static_cast<unsigned char>(at[0]) == (fullWidthBlank >> 8) &&
               static_cast<unsigned char>(at[1]) == (fullWidthBlank & 0xFF);
    };
    char* line = lineBuffer();
    char* paragraph = paragraphBuffer();
    int paragraphLength = 0;
    CharCode previousCode = 0;

    const auto endParagraph = [&] {
        breakParagraph(paragraph, paragraphLength);
        paragraphLength = 0;
    };

    while (int end = input.readLine(line, kBufferSize)) {
        if (end > 0 && line[end - 1] == '\n') --end;

        int start = 0;
        while (start < end) {
            if (line[start] == ' ' || line[start] == '\t') {
                start += 1;
            } else if (end - start >= 2 && isFullWidthBlankAt(line + start)) {
                start += 2;
            } else {
                break;
            }
        }
        // The end of the text is found reading forward, character by
        // character: read backwards, the trail byte of a character and the
        // byte after it (a Big5 xxA1 before "@") could pass for a full-width
        // blank, or a trail byte for a space, and the character would be cut.
        int textEnd = start;
        for (int pos = start; pos < end;) {
            if (end - pos >= 8) {
                const std::uint64_t word = wordAt(line + pos);
                if ((word & kHighBits) == kHighBits && !hasPair(word, fullWidthBlankPair)) {
                    pos += 8;  // four characters, none of them blank
                    textEnd = pos;
                    continue;
                }
            }
            if (line[pos] == ' ' || line[pos] == '\t') {
                pos += 1;
            } else if (end - pos >= 2 && isFullWidthBlankAt(line + pos)) {
                pos += 2;
            } else {
                pos += readCharAt(line, pos, end).width;
                textEnd = pos;
            }
        }
        end = textEnd;

        if (paragraphLength > 0) {
            const bool breaksHere = (paragraphMode_ == kParagraphEmptyLine && start >= end) ||
                                    (paragraphMode_ == kParagraphLeadingSpaces && start >= 3);
            if (breaksHere) {
                endParagraph();
                previousCode = 0;
            }
        }
        if (paragraphLength == 0) {
            if (isSeparatorLine(line, start, end)) continue;
            if (tryWriteHeading(line, start, end)) continue;
        }

        for (int pos = start; pos < end;) {
            // Characters that pass through are copied in one go, short of the
            // line's last character and of the one that fills the buffer:
            // those take the steps below.
            int run = pos;
            int lastInRun = pos;
            for (int next;; run = next) {
                // Four double-byte characters at a time while they all pass.
                if (end - run > 8 && paragraphLength + (run + 8 - pos) < kBufferSize) {
                    const std::uint64_t word = wordAt(line + run);
                    const auto* lead = reinterpret_cast<const unsigned char*>(line + run);
                    if ((word & kHighBits) == kHighBits && passesThrough[lead[0]] &&
                        passesThrough[lead[2]] && passesThrough[lead[4]] && passesThrough[lead[6]]) {
                        lastInRun = run + 6;
                        next = run + 8;
                        continue;
                    }
                }
                if (!passesThrough[static_cast<unsigned char>(line[run])]) break;
                next = run + (static_cast<unsigned char>(line[run]) < 0x80 ? 1 : 2);
                if (next >= end || paragraphLength + (next - pos) >= kBufferSize) break;
                lastInRun = run;
            }
            if (run > pos) {
                std::memcpy(paragraph + paragraphLength, line + pos, static_cast<std::size_t>(run - pos));
                paragraphLength += run - pos;
                previousCode = readCharAt(line, lastInRun, end).code;
                pos = run;
            }

            const CharAt c = readCharAt(line, pos, end);
            pos += c.width;
            CharCode code = c.code;
            if (isBlank(source, code)) continue;  // spaces between words are dropped
            if (translatePunctuation_) code = translateAsciiPunctuation(code);
            if (autoFix_) code = fixFullwidthMark(previousCode, fixVerticalForm(code));
            updateQuoteDepth(code);
            if (code != 0) {
                if (isDoubleByte(code)) paragraph[paragraphLength++] = static_cast<char>(code >> 8);
                paragraph[paragraphLength++] = static_cast<char>(code & 0xFF);
            }

            const bool lastOfLine = pos >= end;
            bool paragraphEnded = false;
            switch (paragraphMode_) {
                case kParagraphAutoDetect: paragraphEnded = lastOfLine && endsSentence(previousCode, code); break;
                case kParagraphOneLine: paragraphEnded = lastOfLine; break;
                case kParagraphForce: paragraphEnded = endsSentence(previousCode, code); break;
                default: break;
            }
            // A paragraph that fills the buffer is written out; its remaining
            // text starts the next one.
            if (paragraphLength >= kBufferSize || paragraphEnded) endParagraph();
            previousCode = code;
        }
    }
    if (paragraphLength > 0) endParagraph();

    return finishRun(input, output);
}

}  // namespace quillon
