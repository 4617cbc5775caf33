#include "library_options.h"

#include <algorithm>
#include <iterator>
#include <optional>

namespace quillon {
namespace {

using namespace unicode;

// A value the dialog keeps and the option value libquillon names it by.
struct Named {
    std::int32_t value;
    const char* name;
};

constexpr Named kSourceEncodings[] = {{kSourceAuto, "auto"},     {kSourceGb, "gb"},           {kSourceGbk, "gbk"},
                                      {kSourceBig5, "big5"},     {kSourceUtf8, "utf-8"},      {kSourceUtf16, "utf-16"},
                                      {kSourceGb18030, "gb18030"}, {kSourceUtf16Le, "utf-16le"}, {kSourceUtf16Be, "utf-16be"}};
constexpr Named kOutputEncodings[] = {{kOutputSame, "same"},         {kOutputGb, "gb"},
                                      {kOutputGbk, "gbk"},           {kOutputBig5, "big5"},
                                      {kOutputDifferent, "different"}, {kOutputUtf8, "utf-8"},
                                      {kOutputUtf16, "utf-16"},      {kOutputGb18030, "gb18030"},
                                      {kOutputUtf16Le, "utf-16le"},  {kOutputUtf16Be, "utf-16be"}};
constexpr Named kForms[] = {{kFormAuto, "auto"}, {kFormSimplified, "simplified"}, {kFormTraditional, "traditional"}};
constexpr Named kLineEnds[] = {{kLineEndsAuto, "auto"}, {kLineEndsCrLf, "crlf"}, {kLineEndsLf, "lf"}};
constexpr Named kStandards[] = {
    {kStandardAuto, "auto"}, {kStandardGeneric, "generic"}, {kStandardTaiwan, "taiwan"}, {kStandardHongKong, "hongkong"}};
constexpr Named kByteOrderMarks[] = {{kMarkKeep, "keep"}, {kMarkAdd, "add"}, {kMarkDrop, "drop"}};
constexpr Named kQuoteStyles[] = {{kQuotesKeep, "keep"}, {kQuotesCorner, "corner"}, {kQuotesCurly, "curly"}};
constexpr Named kParagraphModes[] = {{kParagraphAutoDetect, "auto"},
                                     {kParagraphOneLine, "one-line"},
                                     {kParagraphEmptyLine, "empty-line"},
                                     {kParagraphLeadingSpaces, "leading-spaces"},
                                     {kParagraphForce, "force"}};
constexpr Named kHeadingAlignments[] = {
    {kAlignLeft, "left"}, {kAlignMiddle, "middle"}, {kAlignRight, "right"}, {kAlignNormal, "normal"}};

// A value with no name in `names` becomes an empty name, which leaves the
// option at the library's default, as the engine's own default was taken
// for a value it did not know.
template <std::size_t N>
std::string nameOf(const Named (&names)[N], std::int32_t value) {
    const auto found = std::find_if(std::begin(names), std::end(names), [value](const Named& n) { return n.value == value; });
    return found == std::end(names) ? std::string() : std::string(found->name);
}

std::optional<bool> choiceOf(std::int32_t choice) {
    if (choice == kChoiceByRun) return std::nullopt;
    return choice != kChoiceOff;
}

}  // namespace

api::Options libraryOptions(RunKind kind, const EdgeRunOptions& options) {
    api::Options named;
    named.from = nameOf(kSourceEncodings, options.sourceEncoding);
    named.to = nameOf(kOutputEncodings, options.outputEncoding);
    named.form = nameOf(kForms, options.form);
    named.lineEnds = nameOf(kLineEnds, options.lineEnds);
    named.standard = nameOf(kStandards, options.standard);
    named.regionalWords = options.regionalWords != 0;
    named.phrases = choiceOf(options.phraseChoice);
    named.html = options.htmlAware != 0;
    named.quotes = nameOf(kQuoteStyles, options.quoteStyle);
    named.bom = nameOf(kByteOrderMarks, options.byteOrderMark);
    if (kind == RunKind::Convert) return named;

    named.charsPerLine = options.charsPerLine;
    named.lineSpacing = options.lineSpacing;
    named.leadSpaces = options.leadingSpaces;
    named.leftMargin = options.leftMargin;
    named.paragraph = nameOf(kParagraphModes, options.paragraphMode);
    named.heading = nameOf(kHeadingAlignments, options.headingAlignment);
    named.fullwidthSpaces = options.fullWidthSpaces != 0;
    named.autoFix = options.autoFix != 0;
    named.naturalSyntax = options.naturalSyntax != 0;
    named.mixedText = choiceOf(options.mixedTextChoice);
    named.lineStartRules = choiceOf(options.lineStartChoice);
    named.chapterHeadings = choiceOf(options.chapterChoice);
    named.spaceBetweenScripts = options.spaceBetweenScripts != 0;
    named.headingPattern = options.headingPattern;
    return named;
}

}  // namespace quillon
