// quillon-cli format: every option reaches the engine, with the dialog's defaults.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli_runner.h"
#include "temp_files.h"

namespace quillon::testing {
namespace {

// GB2312 bytes of the words the cases are built from.
const std::string kToday = "\xBD\xF1\xCC\xEC";                         // 今天
const std::string kFine = "\xCC\xEC\xC6\xF8\xBA\xDC\xBA\xC3";          // 天气很好
const std::string kWalk = "\xCE\xD2\xC3\xC7\xC8\xA5\xB9\xAB\xD4\xB0\xC9\xA2\xB2\xBD\xB0\xC9";  // 我们去公园散步吧
const std::string kRain = "\xC3\xF7\xCC\xEC\xCF\xC2\xD3\xEA";          // 明天下雨
const std::string kHome = "\xCE\xD2\xC3\xC7\xBE\xCD\xD4\xDA\xBC\xD2\xC0\xEF\xBF\xB4\xCA\xE9\xB0\xC9";  // 我们就在家里看书吧
const std::string kTheySaid = "\xCB\xFB\xC3\xC7\xCB\xB5\xC1\xCB\xBA\xDC\xB6\xE0\xBB\xB0\xB5\xAB\xCA\xC7";  // 他们说了很多话但是
const std::string kInVain = "\xB6\xBC\xC3\xBB\xD3\xD0\xD3\xC3\xB4\xA6";  // 都没有用处
const std::string kChapterOne = "\xB5\xDA\xD2\xBB\xD5\xC2";            // 第一章
const std::string kStop = "\xA1\xA3";                                   // 。
const std::string kComma = "\xA3\xAC";                                  // ，
const std::string kFullWidthDot = "\xA3\xAE";                           // ．
const std::string kBlank = "\xA1\xA1";                                  // full-width blank
const std::string kSentence = kToday + kFine + kWalk + kStop;           // 15 characters

std::string spaces(std::size_t count) { return std::string(count, ' '); }

struct FormatCase {
    const char* name;
    std::vector<std::string> options;
    std::string source;
    std::string expected;
};

void PrintTo(const FormatCase& c, std::ostream* os) { *os << c.name; }

class FormatOptions : public ::testing::TestWithParam<FormatCase> {};

// Every case starts from "--from gb --no-fullwidth-spaces" so that blanks are
// readable ASCII spaces unless the case says otherwise.
TEST_P(FormatOptions, ReachTheEngine) {
    const FormatCase& c = GetParam();
    TempDir dir;
    writeFile(dir.file("in.txt"), c.source);
    std::vector<std::string> args{"format", "--from", "gb", "--no-fullwidth-spaces"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    args.push_back(dir.file("in.txt"));
    args.push_back(dir.file("out.txt"));

    const CliRun run = runCli(args);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(readFile(dir.file("out.txt")), c.expected);
}

// Line 1 a heading after a full-width blank; lines 2 and 3 one paragraph with
// ASCII punctuation and straight quotes; an empty line; a separator; a last
// paragraph without sentence end.
const std::string kSixLines = kBlank + kChapterOne + "\n" +
                              "  \xCB\xFB\xCB\xB5:\"" + kToday + "\n" +  // 他说
                              kFine + ".\"\n" +
                              "\n" +
                              "-----\n" +
                              "\xC3\xF7\xCC\xEC\xBC\xFB,\xD4\xD9\xBB\xE1\n";  // 明天见 再会
const std::string kSixLinesFormatted =
    spaces(34) + kChapterOne + "\r\n" +
    "\r\n" +
    spaces(4) + "\xCB\xFB\xCB\xB5\xA3\xBA\xA1\xB0" + kToday + kFine + "\xA1\xA3\xA1\xB1\r\n" +  // ：“ 。”
    "\r\n" +
    spaces(4) + "\xC3\xF7\xCC\xEC\xBC\xFB" + kComma + "\xD4\xD9\xBB\xE1\r\n" +
    "\r\n";

// A sentence end inside the first line, a short second line, an empty line and
// an indented last line: each paragraph rule splits it differently.
const std::string kParagraphs = kToday + kFine + kWalk.substr(0, 14) + kStop + kRain + "\n" +
                                kHome + "\n\n" + "   " + kTheySaid + kInVain + "\n";

INSTANTIATE_TEST_SUITE_P(
    Cli, FormatOptions,
    ::testing::Values(
        FormatCase{"SixLineExample", {}, kSixLines, kSixLinesFormatted},
        FormatCase{"FullWidthSpaces", {"--fullwidth-spaces"}, kSentence,
                   kBlank + kBlank + kSentence + "\r\n\r\n"},
        FormatCase{"WrapsAtCharsPerLine", {"--chars-per-line", "6", "--lead-spaces", "0"}, kSentence,
                   kToday + kFine + "\r\n" + kWalk.substr(0, 12) + "\r\n" + kWalk.substr(12) + kStop +
                       "\r\n\r\n"},
        FormatCase{"NegativeWidthDoesNotWrap", {"--chars-per-line=-1"}, kWalk + kWalk + kWalk + kWalk + kStop + "\n",
                   spaces(4) + kWalk + kWalk + kWalk + kWalk + kStop + "\r\n\r\n"},
        FormatCase{"LeftMarginOnEveryLine",
                   {"--left-margin", "1", "--lead-spaces", "0", "--chars-per-line", "6"}, kSentence,
                   spaces(2) + kToday + kFine + "\r\n" + spaces(2) + kWalk.substr(0, 12) + "\r\n" +
                       spaces(2) + kWalk.substr(12) + kStop + "\r\n\r\n"},
        FormatCase{"NoLineSpacing", {"--line-spacing", "0"}, kSentence + "\n" + kSentence,
                   spaces(4) + kSentence + "\r\n" + spaces(4) + kSentence + "\r\n"},
        FormatCase{"ExtremeNumbers",
                   {"--lead-spaces", "0", "--chars-per-line", "+2147483647", "--line-spacing", "0"},
                   kSentence + "\n" + kSentence, kSentence + "\r\n" + kSentence + "\r\n"},
        FormatCase{"HeadingLeft", {"--heading", "left"}, kChapterOne + "\n" + kSentence,
                   kChapterOne + "\r\n\r\n" + spaces(4) + kSentence + "\r\n\r\n"},
        FormatCase{"HeadingRight", {"--heading=right"}, kChapterOne + "\n" + kSentence,
                   spaces(70) + kChapterOne + "\r\n\r\n" + spaces(4) + kSentence + "\r\n\r\n"},
        FormatCase{"HeadingNormal", {"--heading", "normal"}, kChapterOne + "\n" + kSentence,
                   spaces(4) + kChapterOne + "\r\n\r\n" + spaces(4) + kSentence + "\r\n\r\n"},
        FormatCase{"ParagraphAuto", {"--paragraph", "auto"}, kParagraphs,
                   spaces(4) + kToday + kFine + kWalk.substr(0, 14) + kStop + kRain + kHome + kTheySaid +
                       "\r\n" + kInVain + "\r\n\r\n"},
        FormatCase{"ParagraphOneLine", {"--paragraph", "one-line"}, kParagraphs,
                   spaces(4) + kToday + kFine + kWalk.substr(0, 14) + kStop + kRain + "\r\n\r\n" +
                       spaces(28) + kHome + "\r\n\r\n" + spaces(24) + kTheySaid + kInVain + "\r\n\r\n"},
        FormatCase{"ParagraphEmptyLine", {"--paragraph", "empty-line"}, kParagraphs,
                   spaces(4) + kToday + kFine + kWalk.substr(0, 14) + kStop + kRain + kHome + "\r\n\r\n" +
                       spaces(24) + kTheySaid + kInVain + "\r\n\r\n"},
        FormatCase{"ParagraphLeadingSpaces", {"--paragraph", "leading-spaces"},
                   kSentence + "\n" + kHome + "\n" + "   " + kTheySaid + kInVain + kStop + "\n",
                   spaces(4) + kSentence + kHome + "\r\n\r\n" + spaces(4) + kTheySaid + kInVain + kStop +
                       "\r\n\r\n"},
        FormatCase{"ParagraphForce", {"--paragraph", "force"}, kParagraphs,
                   spaces(4) + kToday + kFine + kWalk.substr(0, 14) + kStop + "\r\n\r\n" + spaces(4) +
                       kRain + kHome + kTheySaid + kInVain + "\r\n\r\n"},
        FormatCase{"AutoFixByDefault", {}, kSentence + kToday + kFullWidthDot + "\n",
                   spaces(4) + kSentence + kToday + kStop + "\r\n\r\n"},
        FormatCase{"NoAutoFix", {"--no-auto-fix"}, kSentence + kToday + kFullWidthDot + "\n",
                   spaces(4) + kSentence + kToday + kFullWidthDot + "\r\n\r\n"},
        FormatCase{"PunctuationMayStartALine", {"--chars-per-line", "6", "--lead-spaces", "0"},
                   kToday + kFine + kComma + kToday + kStop + "\n",
                   kToday + kFine + "\r\n" + kComma + kToday + kStop + "\r\n\r\n"},
        FormatCase{"NaturalSyntax", {"--chars-per-line", "6", "--lead-spaces", "0", "--natural-syntax"},
                   kToday + kFine + kComma + kToday + kStop + "\n",
                   kToday + kFine.substr(0, 6) + "\r\n" + kFine.substr(6) + kComma + kToday + kStop +
                       "\r\n\r\n"},
        // 今天天氣很好我們去公園散步吧。 in Big5.
        FormatCase{"ConvertsOnTheWayOut", {"--to", "big5"}, kSentence,
                   spaces(4) + "\xA4\xB5\xA4\xD1\xA4\xD1\xAE\xF0\xAB\xDC\xA6n\xA7\xDA\xAD\xCC\xA5h\xA4\xBD"
                               "\xB6\xE9\xB4\xB2\xA8" "B\xA7" "a\xA1" "C\r\n\r\n"},
        // 头发。 is 頭髮。 by phrase, where the table alone gives 頭發。
        FormatCase{"PhrasesOnTheWayOut", {"--to", "big5", "--phrases"}, "\xCD\xB7\xB7\xA2\xA1\xA3\n",
                   spaces(4) + "\xC0\x59\xBE\x76\xA1\x43\r\n\r\n"}),
    [](const auto& info) { return info.param.name; });

// Centred heading in 38 characters, indent of two full-width blanks, one empty
// line after each paragraph, quotes fixed: the dialog's first-start choices.
TEST(CliFormat, DefaultsAreTheDialogs) {
    TempDir dir;
    writeFile(dir.file("in.txt"), kSixLines);
    const CliRun run = runCli({"format", dir.file("in.txt"), "-"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, "");
    std::string expected = kSixLinesFormatted;
    for (std::size_t at; (at = expected.find("  ")) != std::string::npos;) expected.replace(at, 2, kBlank);
    EXPECT_EQ(run.out, expected);
}

// Alone or among several, a source without Chinese text is refused alike.
TEST(CliFormat, PlainAsciiSourceIsRefusedAndTheDestinationKept) {
    TempDir dir;
    writeFile(dir.file("in.txt"), "Hello, world.\n");
    writeFile(dir.file("out.txt"), "kept\n");
    const std::string explanation =
        "quillon-cli: " + dir.file("in.txt") + ": the source is plain ASCII text, there is nothing to format\n";

    const CliRun toFile = runCli({"format", dir.file("in.txt"), dir.file("out.txt")});
    EXPECT_EQ(toFile.exitCode, 2);
    EXPECT_EQ(toFile.err, explanation);
    EXPECT_EQ(readFile(dir.file("out.txt")), "kept\n");

    const CliRun toOutput = runCli({"format", dir.file("in.txt"), "-"});
    EXPECT_EQ(toOutput.exitCode, 2);
    EXPECT_EQ(toOutput.err, explanation);
    EXPECT_EQ(toOutput.out, "");

    const CliRun inPlace = runCli({"format", "--in-place", dir.file("in.txt")});
    EXPECT_EQ(inPlace.exitCode, 2);
    EXPECT_EQ(inPlace.err, explanation + "quillon-cli: 1 file: 0 formatted (0 without warnings, 0 with warnings), 1 failed, 0 skipped\n");
    EXPECT_EQ(readFile(dir.file("in.txt")), "Hello, world.\n");
}

// A width of no characters would make the engine drop every character.
TEST(CliFormat, ZeroWidthIsRefused) {
    TempDir dir;
    writeFile(dir.file("in.txt"), kSentence);
    const CliRun run = runCli({"format", "--chars-per-line", "0", dir.file("in.txt"), dir.file("out.txt")});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err, "quillon-cli: '--chars-per-line' cannot be 0\n");
    EXPECT_EQ(run.out, "");
}

}  // namespace
}  // namespace quillon::testing
