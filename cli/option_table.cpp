#include "option_table.h"

namespace quillon::cli {
namespace {

constexpr Choice kSourceEncodings[] = {
    {"auto", kSourceAuto}, {"gb", kSourceGb}, {"gbk", kSourceGbk}, {"big5", kSourceBig5}};
constexpr Choice kOutputEncodings[] = {{"same", kOutputSame},
                                       {"gb", kOutputGb},
                                       {"gbk", kOutputGbk},
                                       {"big5", kOutputBig5},
                                       {"different", kOutputDifferent}};
constexpr Choice kParagraphModes[] = {{"auto", kParagraphAutoDetect},
                                      {"one-line", kParagraphOneLine},
                                      {"empty-line", kParagraphEmptyLine},
                                      {"leading-spaces", kParagraphLeadingSpaces},
                                      {"force", kParagraphForce}};
constexpr Choice kHeadingAlignments[] = {
    {"left", kAlignLeft}, {"middle", kAlignMiddle}, {"right", kAlignRight}, {"normal", kAlignNormal}};

using enum OptionEntry::Kind;

constexpr OptionEntry kOptions[] = {
    {"from", Keyword, &RunOptions::sourceEncoding, kSourceEncodings, false,
     "source encoding"},
    {"to", Keyword, &RunOptions::outputEncoding, kOutputEncodings, false,
     "output encoding; same keeps the source's, different switches between GB/GBK and Big5, and a convert run treats same as different"},
    {"html", Switch, &RunOptions::htmlAware, {}, false, "leave HTML tags unconverted"},
    {"phrases", Switch, &RunOptions::phrases, {}, false,
     "choose a character's counterpart by the word it stands in, from built-in phrase "
     "lists; each character still becomes one character of its width"},
    {"quiet", Flag, &RunOptions::quiet, {}, false, "do not print warnings"},
    {"chars-per-line", Number, &RunOptions::charsPerLine, {}, true,
     "characters per line, not 0; negative: no wrapping"},
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
    {"fullwidth-spaces", Switch, &RunOptions::fullWidthSpaces, {}, true,
     "the blank unit is the full-width blank, else two ASCII spaces"},
    {"auto-fix", Switch, &RunOptions::autoFix, {}, true,
     "pair full-width straight quotes, make full-width dots full stops and Big5 "
     "vertical forms horizontal"},
    {"natural-syntax", Switch, &RunOptions::naturalSyntax, {}, true,
     "keep punctuation from starting a line"},
};

}  // namespace

std::span<const OptionEntry> optionTable() { return kOptions; }

bool appliesTo(const OptionEntry& entry, Command command) {
    return command == Command::Format || !entry.formatOnly;
}

}  // namespace quillon::cli
