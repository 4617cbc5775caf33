// Runs through the Unicode edge over arbitrary text as UTF-8, UTF-16,
// GB18030 or legacy bytes, with every option drawn from the input's first
// bytes (see takeOptions). Every run must end in success, a warning or an
// error, and an error leaves the destination as it was. Unicode output must
// be valid and hold no U+FFFD or private-use character the source did not; a
// convert run into Unicode must write every character that neither legacy
// family holds; and the same text as UTF-8, UTF-16 and GB18030 must give the
// same result and bytes.
#include <unicode/ucnv.h>
#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "code_point_stream.h"
#include "edge_run.h"
#include "family_maps.h"
#include "fuzz_input.h"
#include "invariant.h"
#include "messages.h"
#include "temp_files.h"
#include "text_formatter.h"

namespace {

using namespace quillon;
using namespace quillon::fuzz;
using namespace quillon::unicode;

// How the input's text is handed to the run.
enum class SourceKind { Auto, Gb, Gbk, Big5, Utf8, Utf16Le, Utf16Be, Gb18030 };

struct FuzzRun {
    SourceKind source;
    bool detect;  // a Unicode source left to auto-detection
    RunKind sameTextKind;
    EdgeRunOptions options;
};

// Byte 0 the source, 1 the output encoding, 2 form and line ends, 3 flags
// (bit 0 HTML, 1 phrases, 2 natural syntax, 3 full-width blanks, 4 auto fix,
// 5 detection of a Unicode source, 6 the kind of the same-text runs), 4
// paragraph mode, 5 heading alignment, 6 characters per line, 7 indent,
// margin and spacing.
FuzzRun takeOptions(FuzzInput& input) {
    FuzzRun run{};
    run.source = static_cast<SourceKind>(input.takeInRange(0, 7));
    EdgeRunOptions& o = run.options;
    o.outputEncoding = input.takeOneOf(
        {kOutputSame, kOutputGb, kOutputGbk, kOutputBig5, kOutputDifferent, kOutputUtf8, kOutputGb18030});
    const std::uint8_t choices = input.takeByte();
    o.form = choices % 3;
    o.lineEnds = choices / 3 % 3;
    const std::uint8_t flags = input.takeByte();
    o.htmlAware = flags & 1;
    o.phrases = flags >> 1 & 1;
    o.naturalSyntax = flags >> 2 & 1;
    o.fullWidthSpaces = flags >> 3 & 1;
    o.autoFix = flags >> 4 & 1;
    run.detect = (flags >> 5 & 1) != 0;
    run.sameTextKind = (flags >> 6 & 1) != 0 ? RunKind::Format : RunKind::Convert;
    o.paragraphMode = input.takeOneOf({kParagraphAutoDetect, kParagraphOneLine, kParagraphEmptyLine,
                                       kParagraphLeadingSpaces, kParagraphForce});
    o.headingAlignment = input.takeOneOf({kAlignLeft, kAlignMiddle, kAlignRight, kAlignNormal});
    o.charsPerLine = input.takeInRange(-1, 60);
    if (o.charsPerLine == 0) o.charsPerLine = -1;  // refused by every front end
    const std::uint8_t layout = input.takeByte();
    o.leadingSpaces = layout & 7;
    o.leftMargin = layout >> 3 & 3;
    o.lineSpacing = layout >> 5 & 3;
    constexpr std::int32_t kSources[] = {kSourceAuto, kSourceGb,    kSourceGbk,   kSourceBig5,
                                         kSourceUtf8, kSourceUtf16, kSourceUtf16, kSourceGb18030};
    const auto kind = static_cast<std::size_t>(run.source);
    o.sourceEncoding = run.detect && kind >= static_cast<std::size_t>(SourceKind::Utf8) ? kSourceAuto
                                                                                       : kSources[kind];
    return run;
}

// Text through one of ICU's converters; sequences that do not convert are
// left out, or with `strict` make the answer empty.
std::u32string decode(std::string_view bytes, const char* encoding, bool strict = false) {
    UErrorCode error = U_ZERO_ERROR;
    const ConverterPtr converter(ucnv_open(encoding, &error));
    ucnv_setToUCallBack(converter.get(), strict ? UCNV_TO_U_CALLBACK_STOP : UCNV_TO_U_CALLBACK_SKIP,
                        nullptr, nullptr, nullptr, &error);
    std::u16string units(2 * bytes.size() + 2, u'\0');
    units.resize(static_cast<std::size_t>(
        ucnv_toUChars(converter.get(), reinterpret_cast<UChar*>(units.data()),
                      static_cast<int32_t>(units.size()), bytes.data(),
                      static_cast<int32_t>(bytes.size()), &error)));
    if (U_FAILURE(error)) return {};
    std::u32string text;
    for (std::size_t i = 0; i < units.size();) {
        UChar32 c;
        U16_NEXT(units.data(), i, units.size(), c);
        text += static_cast<char32_t>(c);
    }
    return text;
}

std::string encode(const std::u32string& text, const char* encoding) {
    std::u16string units;
    for (const char32_t c : text) {
        UChar buffer[2];
        std::size_t length = 0;
        U16_APPEND_UNSAFE(buffer, length, c);
        units.append(reinterpret_cast<const char16_t*>(buffer), length);
    }
    UErrorCode error = U_ZERO_ERROR;
    const ConverterPtr converter(ucnv_open(encoding, &error));
    std::string bytes(4 * units.size() + 8, '\0');
    bytes.resize(static_cast<std::size_t>(
        ucnv_fromUChars(converter.get(), bytes.data(), static_cast<int32_t>(bytes.size()),
                        reinterpret_cast<const UChar*>(units.data()),
                        static_cast<int32_t>(units.size()), &error)));
    return bytes;
}

bool isValidUtf8(std::string_view bytes) {
    for (std::int32_t i = 0; i < static_cast<std::int32_t>(bytes.size());) {
        UChar32 c;
        U8_NEXT(bytes.data(), i, static_cast<std::int32_t>(bytes.size()), c);
        if (c < 0) return false;
    }
    return true;
}

bool isReplacementOrPrivate(char32_t c) {
    return c == 0xFFFD || (c >= 0xE000 && c <= 0xF8FF) || (c >= 0xF0000 && c <= 0x10FFFF);
}

std::set<char32_t> replacementsAndPrivates(const std::u32string& text) {
    std::set<char32_t> found;
    for (const char32_t c : text) {
        if (isReplacementOrPrivate(c)) found.insert(c);
    }
    return found;
}

// ICU's name for the encoding a source of this kind is read in; none for
// legacy text.
const char* unicodeNameOf(SourceKind kind) {
    switch (kind) {
        case SourceKind::Utf8: return "UTF-8";
        case SourceKind::Utf16Le: return "UTF-16LE";
        case SourceKind::Utf16Be: return "UTF-16BE";
        case SourceKind::Gb18030: return "GB18030";
        default: return nullptr;
    }
}

// The characters neither legacy family holds, in order.
// By `dictionaries`, a hanzi neither family holds may rightly take its other
// form (𣈶 to 暅): then only the other characters count.
std::u32string foreignCharacters(const std::u32string& text, bool dictionaries) {
    const FamilyMaps& maps = FamilyMaps::instance();
    std::u32string foreign;
    for (const char32_t c : text) {
        if (c < 0x80 || c == kInvalidMarker || (dictionaries && isHanzi(c))) continue;
        if (maps.encode(profiles::GBK, profiles::GBK, c) == 0 &&
            maps.encode(profiles::BIG5, profiles::BIG5, c) == 0) {
            foreign += c;
        }
    }
    return foreign;
}

// A source's text as a run reads it, or an output's: without the byte-order
// mark it starts with, up to U+001A.
std::u32string textAsRead(std::string_view source, const char* encoding) {
    std::u32string text = decode(source, encoding);
    if (source.starts_with(encode(U"\xFEFF", encoding))) text.erase(0, 1);
    return text.substr(0, text.find(U'\x1A'));
}

const quillon::testing::TempDir& folder() {
    static const quillon::testing::TempDir dir;
    return dir;
}

// Written to the destination before every run, to tell a run that did not
// touch it.
constexpr std::string_view kUntouched = "not written by the run\n";

struct Outcome {
    RunResult result;
    std::string destination;
    const char* unicodeEncoding;
    bool operator==(const Outcome& other) const {
        return result == other.result && destination == other.destination;
    }
};

Outcome runOn(std::string_view source, const EdgeRunOptions& options, RunKind kind) {
    static const std::string sourcePath = folder().file("source.txt");
    static const std::string destinationPath = folder().file("destination.txt");
    quillon::testing::writeFile(sourcePath, source);
    quillon::testing::writeFile(destinationPath, kUntouched);
    TextFormatter formatter;
    applyOptions(options, formatter);
    EdgeOutput written;
    const RunResult result =
        runThroughEdge(formatter, kind, options, sourcePath.c_str(), destinationPath.c_str(), &written);
    Outcome outcome{result, quillon::testing::readFile(destinationPath), written.unicodeEncoding};

    require(result == kSuccess || isError(result) ||
                (result >= kInvalidCodeWarning && result <= kHtmlAbortedWarning),
            "a run ends in success, a warning or an error");
    if (isError(result)) {
        require(outcome.destination == kUntouched, "a failed run leaves the destination as it was");
    }
    return outcome;
}

// The source bytes and what they hold of U+FFFD and private use.
std::set<char32_t> heldBy(std::string_view source, SourceKind kind, bool detect) {
    if (const char* name = unicodeNameOf(kind); name != nullptr && !detect) {
        return replacementsAndPrivates(decode(source, name));
    }
    if (kind == SourceKind::Gb || kind == SourceKind::Gbk || kind == SourceKind::Big5) return {};
    std::set<char32_t> held;
    for (const char* name : {"UTF-8", "UTF-16LE", "UTF-16BE", "GB18030"}) {
        held.merge(replacementsAndPrivates(decode(source, name)));
    }
    return held;
}

void checkUnicodeOutput(const Outcome& outcome, const std::set<char32_t>& held) {
    if (isError(outcome.result) || outcome.unicodeEncoding == nullptr) return;
    const bool utf8 = std::string_view(outcome.unicodeEncoding) == "UTF-8";
    require(utf8 ? isValidUtf8(outcome.destination)
                 : outcome.destination.empty() || !decode(outcome.destination, "GB18030", true).empty(),
            "Unicode output is valid");
    for (const char32_t c : replacementsAndPrivates(decode(outcome.destination, outcome.unicodeEncoding))) {
        require(held.contains(c), "no U+FFFD or private-use character appears that the source did not hold");
    }
}

std::string sourceBytes(SourceKind kind, std::string_view text) {
    if (kind == SourceKind::Utf16Le) return "\xFF\xFE" + std::string(text);
    if (kind == SourceKind::Utf16Be) return "\xFE\xFF" + std::string(text);
    return std::string(text);
}

// The input's text, read as UTF-8, written with a byte-order mark in each
// Unicode encoding: each must give the same outcome.
void checkSameText(std::string_view bytes, const FuzzRun& run) {
    std::u32string text = decode(bytes, "UTF-8");
    text.insert(text.begin(), U'\xFEFF');
    EdgeRunOptions options = run.options;
    std::vector<Outcome> outcomes;
    for (const auto& [name, encoding] : {std::pair{"UTF-8", kSourceUtf8}, std::pair{"UTF-16LE", kSourceUtf16},
                                         std::pair{"UTF-16BE", kSourceUtf16}, std::pair{"GB18030", kSourceGb18030}}) {
        const std::string source = encode(text, name);
        if (decode(source, name) != text) continue;  // not the same text: a mapping one way only
        options.sourceEncoding = encoding;
        outcomes.push_back(runOn(source, options, run.sameTextKind));
    }
    for (const Outcome& outcome : outcomes) {
        require(outcome == outcomes.front(), "the same text as UTF-8, UTF-16 and GB18030 gives the same output");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The runs' trace lines would drown the replay's report.
    setTraceSink([](std::string_view) {});
    FuzzInput input(data, size);
    const FuzzRun run = takeOptions(input);
    const std::string_view text = input.rest();
    const std::string source = sourceBytes(run.source, text);
    const std::set<char32_t> held = heldBy(source, run.source, run.detect);

    for (const RunKind kind : {RunKind::Convert, RunKind::Format}) {
        const Outcome outcome = runOn(source, run.options, kind);
        checkUnicodeOutput(outcome, held);
        const char* const name = unicodeNameOf(run.source);
        if (kind == RunKind::Convert && name != nullptr && !run.detect && !isError(outcome.result) &&
            outcome.unicodeEncoding != nullptr) {
            const bool dictionaries = run.options.phraseChoice != kChoiceOff;
            require(foreignCharacters(textAsRead(source, name), dictionaries) ==
                        foreignCharacters(textAsRead(outcome.destination, outcome.unicodeEncoding), dictionaries),
                    "characters neither family holds survive a convert run");
        }
    }
    checkSameText(text, run);
    return 0;
}
