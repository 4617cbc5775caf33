// Format and convert runs over arbitrary bytes, with the options drawn from
// the input's first eight bytes (see takeOptions). Each run must end with a
// result that a readable source and a writable destination allow, and give the
// same result and bytes again on the same formatter and on a fresh one. A
// format run must leave the destination alone when it refuses a plain-ASCII
// source, and write every character of well-formed text but its blanks, whole.
// A convert run must write every line piece of the source back, converted,
// each ended by one CR LF.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_input.h"
#include "invariant.h"
#include "run_options.h"
#include "source_text.h"
#include "temp_files.h"
#include "text_formatter.h"

namespace {

using namespace quillon;
using namespace quillon::fuzz;

// Byte 0 paragraph mode, 1 heading alignment, 2 characters per line, 3 leading
// spaces, 4 left margin, 5 line spacing, 6 flags (bit 0 natural syntax, 1
// full-width blanks, 2 auto fix, 3 HTML, 4 mixed text, 5 line-start rules, 6
// space between scripts), 7 encodings (bits 0-1 source, the
// rest output). Modes and alignments include values no front end sends. The
// width is set in characters, as every caller does; the engine stores two
// bytes per character, so odd byte widths cannot be reached.
RunOptions takeOptions(FuzzInput& input) {
    RunOptions o;
    o.paragraphMode = input.takeOneOf({kParagraphAutoDetect, kParagraphOneLine, kParagraphEmptyLine,
                                       kParagraphLeadingSpaces, kParagraphForce, -1, 5, INT32_MAX});
    o.headingAlignment =
        input.takeOneOf({kAlignLeft, kAlignMiddle, kAlignRight, kAlignNormal, -1, 4});
    o.charsPerLine = input.takeInRange(-1, 150);
    o.leadingSpaces = input.takeInRange(-3, 40);
    o.leftMargin = input.takeInRange(-3, 40);
    o.lineSpacing = input.takeInRange(-3, 40);
    const std::uint8_t flags = input.takeByte();
    o.naturalSyntax = flags & 1;
    o.fullWidthSpaces = flags >> 1 & 1;
    o.autoFix = flags >> 2 & 1;
    o.htmlAware = flags >> 3 & 1;
    o.mixedText = flags >> 4 & 1;
    o.lineStartRules = flags >> 5 & 1;
    o.spaceBetweenScripts = flags >> 6 & 1;
    const std::uint8_t encodings = input.takeByte();
    o.sourceEncoding = encodings & 3;
    o.outputEncoding = (encodings >> 2) % 6 - 1;
    return o;
}

enum class Run { Format, Convert };

struct Outcome {
    RunResult result;
    std::string destination;
    bool operator==(const Outcome&) const = default;
};

const testing::TempDir& folder() {
    static const testing::TempDir dir;
    return dir;
}

// Written to the destination before every run, to tell a run that did not
// touch it.
constexpr std::string_view kUntouched = "not written by the run\n";

Outcome runOn(TextFormatter& formatter, Run run, const std::string& source) {
    static const std::string destination = folder().file("destination.txt");
    testing::writeFile(destination, kUntouched);
    const RunResult result = run == Run::Format
                                 ? formatter.formatFile(source.c_str(), destination.c_str())
                                 : formatter.convertFile(source.c_str(), destination.c_str());
    return {result, testing::readFile(destination)};
}

Outcome runOnFresh(const RunOptions& options, Run run, const std::string& source) {
    TextFormatter fresh;
    applyOptions(options, fresh);
    return runOn(fresh, run, source);
}

bool isCompleteResult(RunResult result) {
    return result == kSuccess || result == kInvalidCodeWarning || result == kUnmappableWarning ||
           result == kHtmlAbortedWarning;
}

bool isPlainAscii(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char byte) { return static_cast<unsigned char>(byte) < 0x80; });
}

// The lines of a destination, each without the CR LF the writer ended it with.
std::vector<std::string_view> destinationLines(std::string_view destination) {
    std::vector<std::string_view> lines;
    for (std::size_t lineFeed; (lineFeed = destination.find('\n')) != std::string_view::npos;) {
        std::string_view line = destination.substr(0, lineFeed);
        if (line.ends_with('\r')) line.remove_suffix(1);
        lines.push_back(line);
        destination.remove_prefix(lineFeed + 1);
    }
    return lines;
}

// Checked where every loss would be a fault: not at a width of no characters,
// which drops every character (front ends refuse it), not for text with
// separator marks, as a line that starts with one is dropped whole, not for
// bytes that do not read as characters of the source encoding, and not when
// tags keep source bytes in converted output, where a blank cannot be told.
void requireNothingLost(const RunOptions& options, const std::vector<std::string>& pieces,
                        const std::string& destination, const TextFormatter& formatter) {
    const EncodingProfile& source = *formatter.sourceProfile;
    const bool sourceBytesInTags = options.htmlAware && formatter.targetProfile != &source;
    if (options.charsPerLine == 0 || !isWellFormed(pieces, source) ||
        hasSeparatorMark(pieces, source) || sourceBytesInTags) {
        return;
    }
    std::size_t read = 0;
    for (const std::string& piece : pieces) read += countVisibleCharacters(withoutLineFeed(piece), source);
    std::size_t written = 0;
    for (std::string_view line : destinationLines(destination)) {
        require(endsOnCharacter(line), "a format run writes whole characters");
        written += countVisibleCharacters(line, *formatter.targetProfile);
    }
    require(written == read, "a format run writes every character but blanks");
}

// What a convert run from `from` to `to` writes: each piece without its line
// end, converted with the run's options, then CR LF.
std::string expectedConversion(const RunOptions& options, const std::vector<std::string>& pieces,
                               const EncodingProfile& from, const EncodingProfile& to) {
    TextFormatter converter;
    applyOptions(options, converter);
    converter.insideTag = 0;
    std::string expected;
    for (const std::string& piece : pieces) {
        // The run drops the LF, or else a CR that ends the piece.
        std::string line = piece;
        if (line.ends_with('\n') || line.ends_with('\r')) line.pop_back();
        converter.convertText(line.data(), line.size(), from, to);
        expected += line;
        expected += "\r\n";
    }
    return expected;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string source = folder().file("source.txt");
    FuzzInput input(data, size);
    const RunOptions options = takeOptions(input);
    const std::string_view text = input.rest();
    testing::writeFile(source, text);
    const std::vector<std::string> pieces = linePieces(text);

    TextFormatter formatter;
    applyOptions(options, formatter);

    const Outcome formatted = runOn(formatter, Run::Format, source);
    require(isCompleteResult(formatted.result) || formatted.result == kPlainAsciiSource,
            "a format run of a readable source into a writable file completes or refuses plain ASCII");
    require(runOn(formatter, Run::Format, source) == formatted,
            "a second format run on the same formatter gives the same result and bytes");
    require(runOnFresh(options, Run::Format, source) == formatted,
            "a format run on a fresh formatter gives the same result and bytes");
    if (formatted.result == kPlainAsciiSource) {
        require(formatted.destination == kUntouched,
                "a refused plain-ASCII source leaves the destination alone");
    } else {
        requireNothingLost(options, pieces, formatted.destination, formatter);
    }
    if (options.sourceEncoding == 0 && isPlainAscii(text.substr(0, text.find('\x1A')))) {
        require(formatted.result == kPlainAsciiSource, "a detected plain-ASCII source is refused");
    }

    const Outcome converted = runOn(formatter, Run::Convert, source);
    require(isCompleteResult(converted.result),
            "a convert run of a readable source into a writable file completes");
    require(runOn(formatter, Run::Convert, source) == converted,
            "a second convert run on the same formatter gives the same result and bytes");
    require(runOnFresh(options, Run::Convert, source) == converted,
            "a convert run on a fresh formatter gives the same result and bytes");
    const auto lineEnds = std::count(converted.destination.begin(), converted.destination.end(), '\n');
    require(static_cast<std::size_t>(lineEnds) == pieces.size(),
            "a convert run writes one line end per line piece of the source");
    require(converted.destination ==
                expectedConversion(options, pieces, *formatter.sourceProfile, *formatter.targetProfile),
            "a convert run writes every line piece back, converted, with CR LF");
    return 0;
}
