// The format run: lines are trimmed, joined into paragraphs by the chosen
// rule, transformed character by character and laid out into lines.
#include <bit>

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
    const CharCode fullWidthBlank = source.primary(CharClass::Blank);
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
