#include "option_table.h"

#include <optional>
#include <vector>

#include "opencc_tables.h"
#include "option_policy.h"

namespace quillon::cli {
namespace {

using namespace unicode;

constexpr Choice kSourceEncodings[] = {{"auto", kSourceAuto},       {"gb", kSourceGb},
                                       {"gbk", kSourceGbk},         {"big5", kSourceBig5},
                                       {"utf-8", kSourceUtf8},      {"utf-16", kSourceUtf16},
                                       {"gb18030", kSourceGb18030}, {"utf-16le", kSourceUtf16Le},
                                       {"utf-16be", kSourceUtf16Be}};
constexpr Choice kOutputEncodings[] = {{"same", kOutputSame},         {"gb", kOutputGb},
                                       {"gbk", kOutputGbk},           {"big5", kOutputBig5},
                                       {"different", kOutputDifferent}, {"utf-8", kOutputUtf8},
                                       {"gb18030", kOutputGb18030},   {"utf-16", kOutputUtf16},
                                       {"utf-16le", kOutputUtf16Le},  {"utf-16be", kOutputUtf16Be}};
constexpr Choice kForms[] = {
    {"auto", kFormAuto}, {"simplified", kFormSimplified}, {"traditional", kFormTraditional}};
constexpr Choice kStandards[] = {{"auto", kStandardAuto},
                                 {"taiwan", kStandardTaiwan},
                                 {"hongkong", kStandardHongKong},
                                 {"generic", kStandardGeneric}};
// OpenCC's configurations by name, valued by place in openccConfigurations() plus one.
const std::vector<Choice> kOpenccConfigurations = [] {
    std::vector<Choice> choices;
    for (const OpenccConfiguration& configuration : openccConfigurations()) {
        choices.push_back({configuration.name, static_cast<std::int32_t>(choices.size() + 1)});
    }
    return choices;
}();
constexpr Choice kLineEnds[] = {{"auto", kLineEndsAuto}, {"crlf", kLineEndsCrLf}, {"lf", kLineEndsLf}};
constexpr Choice kParagraphModes[] = {{"auto", kParagraphAutoDetect},
                                      {"one-line", kParagraphOneLine},
                                      {"empty-line", kParagraphEmptyLine},
                                      {"leading-spaces", kParagraphLeadingSpaces},
                                      {"force", kParagraphForce}};
constexpr Choice kByteOrderMarks[] = {{"keep", kMarkKeep}, {"add", kMarkAdd}, {"drop", kMarkDrop}};
constexpr Choice kHeadingAlignments[] = {
    {"left", kAlignLeft}, {"middle", kAlignMiddle}, {"right", kAlignRight}, {"normal", kAlignNormal}};
constexpr Choice kQuoteStyles[] = {{"keep", kQuotesKeep}, {"corner", kQuotesCorner}, {"curly", kQuotesCurly}};

using enum OptionEntry::Kind;

const OptionEntry kOptions[] = {
    {"from", Keyword, &RunOptions::sourceEncoding, kSourceEncodings, false,
     "source encoding, in either case, also by the names gb2312, euc-cn, cp936, cp950 "
     "and utf8 (see --list-encodings); auto recognises a byte-order mark, UTF-8 and "
     "GB18030 before telling GB, GBK and Big5 apart; utf-16 needs its byte-order mark, "
     "utf-16le and utf-16be do not"},
    {"to", Keyword, &RunOptions::outputEncoding, kOutputEncodings, false,
     "output encoding. same: a format run writes the source's encoding, a convert run "
     "writes GB and GBK text as Big5 and Big5 text as GB, as different does in both runs. "
     "From a Unicode source both give UTF-8 output. utf-16 is little-endian with a "
     "byte-order mark"},
    {"form", Keyword, &EdgeRunOptions::form, kForms, false,
     "written form of Unicode output. auto: a convert run turns simplified text "
     "traditional and traditional text simplified, a format run keeps the source's "
     "form; simplified and traditional write that form whatever the source's"},
    {"line-ends", Keyword, &EdgeRunOptions::lineEnds, kLineEnds, false,
     "line ends written; auto: LF in UTF-8 output, CR LF in all other output"},
    {"bom", Keyword, &EdgeRunOptions::byteOrderMark, kByteOrderMarks, false,
     "byte-order mark of UTF-8 and UTF-16 output: keep writes one where the source "
     "had one (and always in utf-16 output), add always, drop never"},
    {"html", Switch, &RunOptions::htmlAware, {}, false, "leave HTML tags unconverted"},
    {"standard", Keyword, &EdgeRunOptions::standard, kStandards, false,
     "standard forms of converted Unicode text; auto: Taiwan's for traditional output "
     "(OpenCC s2tw), OpenCC's own for simplified output (t2s); taiwan: s2tw, tw2s; "
     "hongkong: s2hk, hk2s; generic: s2t, t2s"},
    {"regional-words", Switch, &EdgeRunOptions::regionalWords, {}, false,
     "in converted Unicode text, also the words of the standard's region: Taiwan "
     "(OpenCC s2twp, tw2sp; the standard auto is Taiwan's here), Hong Kong (s2hkp, hk2sp)"},
    {"opencc", Keyword, &EdgeRunOptions::opencc, kOpenccConfigurations, false,
     "convert Unicode text as this OpenCC configuration does, in place of --form, "
     "--standard and --regional-words"},
    {"phrases", Switch, &EdgeRunOptions::phraseChoice, {}, false,
     "choose a character's counterpart by the word it stands in; on by default where "
     "the source or output is Unicode, except in an --html run from GB, GBK or Big5; "
     "off by default between GB, GBK and Big5. "
     "Into Unicode output OpenCC's dictionaries choose, where a phrase may change its "
     "length; into GB, GBK and Big5 built-in phrase lists keep each character one "
     "character of its width"},
    {"quotes", Keyword, &EdgeRunOptions::quoteStyle, kQuoteStyles, false,
     "quotation marks written: corner turns “” and ‘’ into 「」 and 『』 (Taiwan and "
     "Hong Kong), curly turns them back; keep leaves them as they are"},
    {"quiet", Flag, &RunOptions::quiet, {}, false, "print errors only: no warnings, no batch progress or summary"},
    {"chars-per-line", Number, &RunOptions::charsPerLine, {}, true,
     "characters per line; negative: no wrapping"},
    {"line-spacing", Number, &RunOptions::lineSpacing, {}, true,
     "empty lines after each paragraph and heading"},
    {"lead-spaces", Number, &RunOptions::leadingSpaces, {}, true,
     "blank units before a paragraph's first line"},
    {"left-margin", Number, &RunOptions::leftMargin, {}, true,
     "blank units before every paragraph line"},
    {"paragraph", Keyword, &RunOptions::paragraphMode, kParagraphModes, true,
     "where paragraphs end: auto at a line that ends a sentence, one-line at every line "
     "end, empty-line at empty lines, leading-spaces before indented lines, force at "
     "every sentence end"},
    {"heading", Keyword, &RunOptions::headingAlignment, kHeadingAlignments, true,
     "alignment of short lines taken as headings; normal indents them as paragraphs"},
    {"chapter-headings", Switch, &EdgeRunOptions::chapterChoice, {}, true,
     "lines that open a chapter or part (第三章, 第十回, 第二卷, 楔子, 后记, Chapter 3, "
     "alone or set apart from a title by a blank, colon or dot) are headings whatever "
     "their length or marks. On by "
     "default in runs with Unicode source or output, off in others"},
    {"heading-pattern", Pattern, nullptr, {}, true,
     "lines in which this ICU regular expression finds a match are headings too, "
     "whatever their length or marks (anchor it with ^ and $)", &EdgeRunOptions::headingPattern},
    {"fullwidth-spaces", Switch, &RunOptions::fullWidthSpaces, {}, true,
     "the blank unit is the full-width blank, else two ASCII spaces"},
    {"auto-fix", Switch, &RunOptions::autoFix, {}, true,
     "pair full-width straight quotes, make full-width dots full stops and Big5 "
     "vertical forms horizontal"},
    {"natural-syntax", Switch, &RunOptions::naturalSyntax, {}, true,
     "keep punctuation from starting a line"},
    {"mixed-text", Switch, &EdgeRunOptions::mixedTextChoice, {}, true,
     "text with Latin words and numbers: keep their spaces and the ASCII marks inside "
     "them (marks in Chinese text still turn full-width), join Latin words across line "
     "ends with a space, and break no line inside a word, number or address shorter than "
     "the line. On by default with a Unicode source or output"},
    {"space-between-scripts", Switch, &RunOptions::spaceBetweenScripts, {}, true,
     "with --mixed-text, one space between a hanzi and a Latin letter or digit"},
    {"line-start-rules", Switch, &EdgeRunOptions::lineStartChoice, {}, true,
     "no line starts with a closing mark (commas, full stops, closing brackets and "
     "quotes) or ends with an opening one; where no break allows it, the mark hangs "
     "one character past the width. Takes the place of --natural-syntax. On by default "
     "with a Unicode source or output"},
};

// The entry's field as the engine's options name it; none for the edge's own
// options, whose values the engine's policy does not judge.
std::optional<std::int32_t RunOptions::*> engineFieldOf(const OptionEntry& entry) {
    for (const auto edgeField : {&EdgeRunOptions::form, &EdgeRunOptions::lineEnds, &EdgeRunOptions::standard,
                                 &EdgeRunOptions::regionalWords, &EdgeRunOptions::opencc,
                                 &EdgeRunOptions::phraseChoice, &EdgeRunOptions::byteOrderMark,
                                 &EdgeRunOptions::chapterChoice, &EdgeRunOptions::quoteStyle,
                                 &EdgeRunOptions::mixedTextChoice, &EdgeRunOptions::lineStartChoice}) {
        if (entry.field == edgeField) return std::nullopt;
    }
    return static_cast<std::int32_t RunOptions::*>(entry.field);
}

}  // namespace

std::span<const OptionEntry> optionTable() { return kOptions; }

std::string_view refusalOf(const OptionEntry& entry, std::int32_t value) {
    const auto field = engineFieldOf(entry);
    return field ? quillon::refusalOf(*field, value) : std::string_view();
}

std::string_view allowedValuesOf(const OptionEntry& entry) {
    const auto field = engineFieldOf(entry);
    return field ? quillon::allowedValuesOf(*field) : std::string_view();
}

bool appliesTo(const OptionEntry& entry, Command command) {
    if (command == Command::Detect) return false;
    return command == Command::Format || !entry.formatOnly;
}

std::string choiceNames(const OptionEntry& entry, std::string_view separator) {
    std::string names;
    for (const Choice& choice : entry.choices) {
        if (!names.empty()) names += separator;
        names += choice.name;
    }
    return names;
}

}  // namespace quillon::cli
