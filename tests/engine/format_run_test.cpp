#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "heading_pattern.h"
#include "legacy_text.h"
#include "run_options.h"
#include "temp_files.h"
#include "text_formatter.h"

namespace quillon {
namespace {

using testing::big5;
using testing::gb;

std::string spaces(int n) { return std::string(n, ' '); }
std::string repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

// Runs formatFile on `source` with the first-start options, except that the
// source is GB and the blank unit is two spaces; tests change what they need.
class FormatRun : public ::testing::Test {
protected:
    FormatRun() {
        RunOptions options;
        options.sourceEncoding = kSourceGb;
        options.fullWidthSpaces = 0;
        applyOptions(options, f);
    }
    std::string format(std::string_view source, RunResult expected = kSuccess,
                       TextFormatter::UnconvertedPairs pairs = TextFormatter::UnconvertedPairs::Boxed) {
        testing::writeFile(dir.file("in"), source);
        EXPECT_EQ(f.formatFile(dir.file("in").c_str(), dir.file("out").c_str(), pairs), expected);
        return testing::readFile(dir.file("out"));
    }
    // A paragraph as breakParagraph writes it with no wrapping in sight.
    static std::string para(const std::string& text) { return spaces(4) + text + "\r\n\r\n"; }

    testing::TempDir dir;
    TextFormatter f;
};

TEST_F(FormatRun, SixLineExample) {
    const std::string source = "\xA1\xA1" + gb("第一章") + "\n  " + gb("他说") + ":\"" + gb("今天") +
                               "\n" + gb("天气很好") + ".\"\n\n-----\n" + gb("明天见") + "," +
                               gb("再会") + "\n";
    EXPECT_EQ(format(source), spaces(34) + gb("第一章") + "\r\n\r\n" +
                                  para(gb("他说：“今天天气很好。”")) + para(gb("明天见，再会")));
}

TEST_F(FormatRun, AutoDetectEndsParagraphsAtSentenceEndsOutsideQuotes) {
    f.setLineWidth(-1);
    EXPECT_EQ(format(gb("甲乙。\n丙丁\n\n戊。\n")), para(gb("甲乙。")) + para(gb("丙丁戊。")));
    // An opening quote never closed keeps every later sentence end from counting.
    EXPECT_EQ(format(gb("他说“好。\n是。\n对。\n")), para(gb("他说“好。是。对。")));
    f.setParagraphMode(kParagraphForce);
    EXPECT_EQ(format(gb("他说“好。是。\n对。\n")), para(gb("他说“好。是。对。")));
}

TEST_F(FormatRun, ForceEndsAtEverySentenceEnd) {
    f.setLineWidth(-1);
    f.setParagraphMode(kParagraphForce);
    EXPECT_EQ(format(gb("甲。乙\n丙\n丁。戊\n")),
              para(gb("甲。")) + para(gb("乙丙丁。")) + para(gb("戊")));
    EXPECT_EQ(format(gb("“甲。”乙\n")), para(gb("“甲。”")) + para(gb("乙")));
}

TEST_F(FormatRun, OneLineMakesEveryLineAParagraph) {
    f.setLineWidth(-1);
    f.setParagraphMode(kParagraphOneLine);
    EXPECT_EQ(format(gb("甲，\n\n乙\n  \n丙，丁\n")),
              para(gb("甲，")) + para(gb("乙")) + para(gb("丙，丁")));
}

TEST_F(FormatRun, EmptyLineModeBreaksAtEmptyAndBlankLines) {
    f.setLineWidth(-1);
    f.setParagraphMode(kParagraphEmptyLine);
    EXPECT_EQ(format(gb("甲。\n乙\n\n丙\n") + " \t\xA1\xA1\n" + gb("丁。\n")),
              para(gb("甲。乙")) + para(gb("丙")) + para(gb("丁。")));
}

TEST_F(FormatRun, LeadingSpacesModeBreaksAtThreeBytesOfIndent) {
    f.setLineWidth(-1);
    f.setParagraphMode(kParagraphLeadingSpaces);
    const auto lines = [](std::initializer_list<std::string> indents) {
        std::string source = gb("甲") + "\n";
        char name = 'a';
        for (const std::string& indent : indents) source += indent + std::string(1, name++) + "\n";
        return source;
    };
    // Two spaces or one full-width blank continue the paragraph; an empty line too.
    EXPECT_EQ(format(lines({"  ", "\xA1\xA1", "", "\t "})), para(gb("甲") + "abcd"));
    EXPECT_EQ(format(lines({"   "})), para(gb("甲")) + para("a"));
    EXPECT_EQ(format(lines({"\t\xA1\xA1"})), para(gb("甲")) + para("a"));
    EXPECT_EQ(format(lines({"\xA1\xA1\xA1\xA1"})), para(gb("甲")) + para("a"));
    // A line of three blank bytes ends the paragraph and is dropped.
    EXPECT_EQ(format(gb("甲") + "\n   \n" + gb("乙") + "\n"), para(gb("甲")) + para(gb("乙")));
}

TEST_F(FormatRun, SeparatorLinesAreDroppedOnlyBetweenParagraphs) {
    f.setLineWidth(-1);
    std::string source;
    for (const char* mark : {"*", "#", "$", "-", "_", "="}) source += std::string(mark) + "abc\n";
    for (const char* mark : {"＊", "＃", "＄", "－", "＿", "＝"}) source += gb(mark) + "x\n";
    source += "\xA9\x81" "x\n";  // GBK's small hyphen in a GBK text
    f.setSourceEncoding(kSourceGbk);
    EXPECT_EQ(format(source + gb("甲。\n")), para(gb("甲。")));
    f.setSourceEncoding(kSourceGb);
    EXPECT_EQ(format(gb("甲\n") + "-abc\n" + gb("乙。\n")), para(gb("甲－abc乙。")));
}

TEST_F(FormatRun, SpacesVanishTabsStay) {
    f.setLineWidth(-1);
    EXPECT_EQ(format("hello world\tagain. " + gb("国") + "\n"),
              para("helloworld\tagain" + gb("。国")));
}

TEST_F(FormatRun, ParagraphsHandedOverAtTheBufferSize) {
    f.setLineWidth(-1);
    // 'a' then 16000 characters: the last one is appended at byte 31999.
    std::string source = "a\n";
    for (int i = 0; i < 32; ++i) source += repeat(gb("字"), 500) + "\n";
    std::string paragraph = "a";
    paragraph += repeat(gb("字"), 16000);
    EXPECT_EQ(format(source + "b\n"), para(paragraph) + para("b"));
}

TEST_F(FormatRun, LongLinesArriveInPieces) {
    f.setLineWidth(-1);
    f.setParagraphMode(kParagraphOneLine);
    EXPECT_EQ(format(std::string(40000, 'x') + "\n"),
              para(std::string(31999, 'x')) + para(std::string(8001, 'x')));
}

TEST_F(FormatRun, LoneCarriageReturnIsAnOrdinaryCharacter) {
    f.setLineWidth(-1);
    EXPECT_EQ(format(gb("甲。") + "\r\r\n" + gb("乙。") + "\n"), para(gb("甲。") + "\r" + gb("乙。")));
}

TEST_F(FormatRun, Big5FullWidthBlanksAreTrimmed) {
    f.setLineWidth(-1);
    f.setSourceEncoding(kSourceBig5);
    f.setParagraphMode(kParagraphAutoDetect);
    EXPECT_EQ(format("\xA1\x40" + big5("甲。") + "\xA1\x40\xA1\x40\n" + big5("乙。") + "\n"),
              para(big5("甲。")) + para(big5("乙。")));
}

TEST_F(FormatRun, PlainAsciiSourceTouchesNothing) {
    f.setSourceEncoding(kSourceAuto);
    testing::writeFile(dir.file("out"), "keep me");
    ::testing::internal::CaptureStderr();
    format("just ASCII.\n", kPlainAsciiSource);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "PureASC encoding is detected.\n");
    EXPECT_EQ(testing::readFile(dir.file("out")), "keep me");
    f.setSourceEncoding(kSourceGb);
    EXPECT_EQ(format(""), "");  // an explicit GB source: an empty text gives an empty file
}

TEST_F(FormatRun, FileErrors) {
    EXPECT_EQ(f.formatFile(dir.file("missing").c_str(), dir.file("out").c_str()), kSourceUnreadable);
    EXPECT_FALSE(std::filesystem::exists(dir.file("out")));
    testing::writeFile(dir.file("in"), gb("甲。\n"));
    EXPECT_EQ(f.formatFile(dir.file("in").c_str(), dir.file("no/out").c_str()), kDestinationUnwritable);
    EXPECT_EQ(f.formatFile(dir.file("in").c_str(), "/dev/full"), kDestinationUnwritable);
}

TEST_F(FormatRun, QuotesPairAcrossParagraphs) {
    f.setLineWidth(-1);
    f.setParagraphMode(kParagraphOneLine);
    EXPECT_EQ(format(gb("\"甲\"\"\n\"乙\n")),
              para(gb("“甲”“")) + para(gb("”乙")));
    EXPECT_EQ(format("it's\n"), para(gb("it‘s")));
}

TEST_F(FormatRun, FullwidthMarksAreFixed) {
    f.setLineWidth(-1);
    EXPECT_EQ(format(gb("3.14 与3．14\n")), para(gb("3。14与3。14")));
    EXPECT_EQ(format(gb("＂甲＂乙\n")), para(gb("“甲”乙")));
    EXPECT_EQ(format(gb("甲：＂乙丙：＂丁＂。\n")), para(gb("甲：“乙丙：“丁”。")));
    EXPECT_EQ(f.quoteDepth[0], 0);  // the colon rule restarted the count
    f.setAutoFix(0);
    EXPECT_EQ(format(gb("＂甲＂3．14\n")), para(gb("＂甲＂3．14")));
}

TEST_F(FormatRun, Big5VerticalFormsBecomeHorizontal) {
    f.setLineWidth(-1);
    f.setSourceEncoding(kSourceBig5);
    const std::string vertical = "\xA1\x6F" + big5("書名") + "\xA1\x70\xA1\x77\xA1\x78\xA1\x55\n";
    EXPECT_EQ(format(vertical), para(big5("《書名》「」") + "\xA2\x77"));
    f.setAutoFix(0);
    EXPECT_EQ(format(vertical), para(vertical.substr(0, vertical.size() - 1)));
}

TEST_F(FormatRun, HtmlTagsAreTranslatedButNotConverted) {
    f.setLineWidth(-1);
    f.setOutputEncoding(kOutputBig5);
    f.setHtmlAware(1);
    EXPECT_EQ(format("<a x=\"" + gb("国") + "\">" + gb("国") + "</a>\n"),
              para("<ax" + gb("＝“国”") + ">" + big5("國") + "</a>"));
}

TEST_F(FormatRun, ConversionProblemsAreWarnings) {
    f.setLineWidth(-1);
    f.setOutputEncoding(kOutputGb);
    f.setSourceEncoding(kSourceGbk);
    EXPECT_EQ(format("\x81\x40" + gb("甲") + "\n", kUnmappableWarning), para("\xA1\xF5" + gb("甲")));
    f.setSourceEncoding(kSourceGb);
    f.setOutputEncoding(kOutputBig5);
    EXPECT_EQ(format("\xB0\x41\n", kInvalidCodeWarning), para("\xA1\xBC"));
}

class Headings : public FormatRun {};

TEST_F(Headings, ShortUnpunctuatedLinesAreCentred) {
    EXPECT_EQ(format(gb("一、总则\n")), spaces(34) + gb("一、总则") + "\r\n\r\n");
    EXPECT_EQ(format(gb("第一章：总则\n")), spaces(32) + gb("第一章：总则") + "\r\n\r\n");
    EXPECT_EQ(format(gb("1．概述\n")), spaces(34) + gb("1．概述") + "\r\n\r\n");
    EXPECT_EQ(format("Chapter 1\n"), spaces(32) + "Chapter" + gb("　") + "1\r\n\r\n");
    EXPECT_EQ(format(gb("[注意]\n")), spaces(34) + gb("【注意】") + "\r\n\r\n");
}

TEST_F(Headings, PunctuationOrLengthMakesParagraphText) {
    EXPECT_EQ(format(gb("第一章：\n")), para(gb("第一章：")));
    EXPECT_EQ(format(gb("1.1 概述\n")), para(gb("1。1概述")));
    // The indent counts: 54 bytes are past 0.7 x 76 = 53.2, 53 are not.
    EXPECT_EQ(format(spaces(50) + gb("概述") + "\n"), para(gb("概述")));
    EXPECT_EQ(format(spaces(49) + gb("概述") + "\n"), spaces(36) + gb("概述") + "\r\n\r\n");
    f.setLineWidth(-1);
    EXPECT_EQ(format(gb("概述\n")), para(gb("概述")));
}

// The last character is read from the line's end: its last two bytes may
// spell a full stop (A1 A3) while they are a trail byte and a lead byte
// without its trail, which comes out as a box. Short and long runs of high
// bytes before them count the same.
TEST_F(Headings, LastCharacterIsReadWhereItStarts) {
    const std::string box = "\xA1\xF5";
    EXPECT_EQ(format("\xB0\xA1\xA3\n", kInvalidCodeWarning), spaces(36) + "\xB0\xA1" + box + "\r\n\r\n");
    EXPECT_EQ(format(repeat("\xB0\xA1", 5) + "\xA3\n", kInvalidCodeWarning),
              spaces(32) + repeat("\xB0\xA1", 5) + box + "\r\n\r\n");
    EXPECT_EQ(format("a" + repeat("\xB0\xA1", 4) + "\xA1\xA3\n"), para("a" + repeat("\xB0\xA1", 4) + "\xA1\xA3"));
    EXPECT_EQ(format(gb("第一章：") + "\xA3\n", kInvalidCodeWarning), spaces(32) + gb("第一章：") + box + "\r\n\r\n");
}

// Eight ASCII bytes go over whole, except a NUL among them, which is dropped.
// A pair whose trail byte is ASCII punctuation is one character, read from
// the end of a line as from its start: an odd run of high bytes before the
// ASCII byte makes it a trail, an even one leaves it a character of its own.
// These pairs are invalid in every family, so they come out as boxes.
TEST_F(Headings, PairsWithAnAsciiTrailEndTheLineAsOneCharacter) {
    const struct {
        std::int32_t encoding;
        std::string source;
        std::string expected;
        RunResult result;
    } cases[] = {
        {kSourceGb, gb("第") + "\xD6\x3A\n", spaces(36) + gb("第") + "\xA1\xF5\r\n\r\n", kInvalidCodeWarning},
        {kSourceGbk, gb("第") + "\xD6\x2C\n", spaces(36) + gb("第") + "\xA1\xF5\r\n\r\n", kInvalidCodeWarning},
        {kSourceBig5, big5("第") + "\xD6\x27\n", spaces(36) + big5("第") + "\xA1\xBC\r\n\r\n", kInvalidCodeWarning},
        {kSourceGb, repeat(gb("第"), 9) + ":\n", para(repeat(gb("第"), 9) + gb("：")), kSuccess},
        {kSourceGb, "\xD6" + repeat(gb("第"), 9) + ":\n",
         spaces(28) + "\xD6" + repeat(gb("第"), 8) + "\xB5\xA1\xF5\r\n\r\n", kInvalidCodeWarning},
    };
    for (const auto& c : cases) {
        f.setSourceEncoding(c.encoding);
        EXPECT_EQ(format(c.source, c.result), c.expected) << c.source;
    }
}

TEST_F(Headings, WordsOfPlainTextAndNul) {
    EXPECT_EQ(format(gb("第一") + "abcdefgh" + std::string("ab\0cdefg", 8) + gb("章") + "\n"),
              spaces(26) + gb("第一") + "abcdefghabcdefg" + gb("章") + "\r\n\r\n");
}

// Codes in no class go over as they are, though their row holds punctuation
// (full-width letters), in words of four and one by one. In Big5 a trail
// byte may be ASCII (名 is A6 57), and a vertical form is still fixed.
TEST_F(Headings, UnclassedCodesOfPunctuationRows) {
    EXPECT_EQ(format(gb("第一章ＡＢ目录") + "\n"), spaces(30) + gb("第一章ＡＢ目录") + "\r\n\r\n");
    EXPECT_EQ(format("1" + gb("Ａ章") + "\n"), spaces(34) + "1" + gb("Ａ章") + "\r\n\r\n");
    f.setSourceEncoding(kSourceBig5);
    const std::string name = "\xA6\x57";
    EXPECT_EQ(format(repeat(name, 4) + "\xA1\x55" + repeat(name, 3) + "\n"),
              spaces(30) + repeat(name, 4) + "\xA2\x77" + repeat(name, 3) + "\r\n\r\n");
}

TEST_F(Headings, AlignmentAndSpacing) {
    f.setParagraphMode(kParagraphOneLine);
    f.setHeadingAlignment(kAlignNormal);
    f.setLeadingSpaces(3);
    f.setLeftMargin(2);
    EXPECT_EQ(format(gb("甲，乙。\n完\n")),
              spaces(10) + gb("甲，乙。") + "\r\n\r\n" + spaces(6) + gb("完") + "\r\n\r\n");
    f.setHeadingAlignment(kAlignRight);
    f.setLineSpacing(0);
    EXPECT_EQ(format(gb("完\n")), spaces(74) + gb("完") + "\r\n");
    f.setHeadingAlignment(kAlignLeft);
    f.setLineSpacing(-1);  // a heading still ends its own line
    EXPECT_EQ(format(gb("完\n")), gb("完") + "\r\n");
}

}  // namespace
}  // namespace quillon

namespace quillon {
namespace {

// Runs of ordinary characters are copied, dropped or replaced eight bytes at
// a time; the characters that change the run's state take every step. Each
// case puts such characters inside and at the edges of eight-byte words.
TEST_F(FormatRun, CharactersInWordsTakeTheSameStepsAsAlone) {
    f.setLineWidth(-1);
    const std::string box = "\xA1\xF5";
    const struct {
        std::string source;
        std::string expected;
        RunResult result = kSuccess;
    } cases[] = {
        {"abcdefgh-ijklmnop;qrst[uvw]xyz: a b c d e f\n",
         para("abcdefgh" + gb("－") + "ijklmnop" + gb("；") + "qrst" + gb("【") + "uvw" + gb("】") + "xyz" +
              gb("：") + "abcdef")},
        {gb("甲乙丙丁“戊己庚辛。”") + "\n" + gb("壬癸子丑寅卯") + "\n",
         para(gb("甲乙丙丁“戊己庚辛。”")) + para(gb("壬癸子丑寅卯"))},
        // The full-width blank goes wherever it stands; a sentence end before
        // trailing blanks, or before a trailing tab, still ends the paragraph.
        {gb("甲乙丙丁") + "\xA1\xA1" + gb("戊己庚辛。") + "  \xA1\xA1 \n" + gb("壬。") + "\t \t\n" + gb("癸。") + "\n",
         para(gb("甲乙丙丁戊己庚辛。")) + para(gb("壬。")) + para(gb("癸。"))},
        // A lead byte that ends a line is an invalid character, boxed; the
        // line feed is not taken as its trail byte.
        {"abcdefgh\xB0\n" + gb("乙。") + "\n", para("abcdefgh" + box + gb("乙。")), kInvalidCodeWarning},
        {"abcdefg\xB0\n" + gb("乙。") + "\n", para("abcdefg" + box + gb("乙。")), kInvalidCodeWarning},
        {"abc" + gb("甲") + "d\xB0\n" + gb("乙。") + "\n", para("abc" + gb("甲") + "d" + box + gb("乙。")),
         kInvalidCodeWarning},
        // Nor is the CR of a CR LF, nor the end of a text without a line feed.
        {"abcdefgh\xB0\r\nabc" + gb("甲") + "d\xB0\r\n" + gb("乙。") + "\r\n",
         para("abcdefgh" + box + "abc" + gb("甲") + "d" + box + gb("乙。")), kInvalidCodeWarning},
        {gb("乙。") + "\nabcdefg\xB0", para(gb("乙。")) + para("abcdefg" + box), kInvalidCodeWarning},
        {"abcdefghijklmno.\"\n" + gb("乙。") + "\n", para("abcdefghijklmno" + gb("。“乙。"))},
        // Eight ASCII bytes of which some or all are dropped spaces.
        {"ab cd ef        gh ijklm    nop\n" + gb("乙。") + "\n", para("abcdefghijklmnop" + gb("乙。"))},
        // A colon that ends four characters copied whole still comes before
        // the full-width quote after it, which then opens a quotation.
        {gb("＂甲乙丙：＂丁＂戊己庚辛＂，") + "\n", para(gb("“甲乙丙：“丁”戊己庚辛“，"))},
        // Four double-byte characters that start a paragraph are no separator.
        {gb("甲乙丙丁") + "\n" + gb("戊。") + "\n", para(gb("甲乙丙丁戊。"))},
    };
    for (const auto& c : cases) EXPECT_EQ(format(c.source, c.result), c.expected) << c.source;

    f.setParagraphMode(kParagraphOneLine);
    EXPECT_EQ(format("abcdefghij  \n" + gb("甲乙丙丁戊") + "\xA1\xA1\n"),
              para("abcdefghij") + para(gb("甲乙丙丁戊")));
    // Trail bytes in the ASCII range belong to their characters: never
    // translated, never a blank. Below 40 they are invalid, and kept here.
    f.setSourceEncoding(kSourceGbk);
    EXPECT_EQ(format("ab\x81[cd\x81-efgh\x81 ij\x81:kl\n", kSuccess, TextFormatter::UnconvertedPairs::Kept),
              para("ab\x81[cd\x81-efgh\x81 ij\x81:kl"));
    f.setSourceEncoding(kSourceBig5);
    const std::string vertical =
        big5("一二三四") + "\xA1\x6F" + big5("書名") + "\xA1\x70" + big5("五六七八") + "\xA1\x55\n";
    EXPECT_EQ(format(vertical), para(big5("一二三四《書名》五六七八") + "\xA2\x77"));
}

// A paragraph is written once it holds 32000 bytes or more, after the
// character that reached them, and the rest of the text starts the next.
// The character that reaches them falls at each position of the words the
// run takes whole: ASCII, double-byte and mixed, with spaces that are dropped.
TEST_F(FormatRun, ParagraphThatFillsTheBufferIsWrittenAtTheSameCharacter) {
    f.setLineWidth(-1);
    const std::string unit = "ab " + gb("甲") + "c" + gb("乙丙丁戊己");
    for (int shift = 0; shift < 8; ++shift) {
        const std::string text = std::string(static_cast<std::size_t>(shift), 'x') + repeat(unit, 2800);
        std::string first;
        std::size_t pos = 0;
        while (first.size() < 32000) {
            const std::size_t width = static_cast<unsigned char>(text[pos]) >= 0x80 ? 2 : 1;
            if (text[pos] != ' ') first += text.substr(pos, width);
            pos += width;
        }
        std::string rest;
        for (; pos < text.size(); ++pos) {
            if (text[pos] != ' ') rest += text[pos];
        }
        EXPECT_EQ(format(text + "\n"), para(first) + para(rest)) << shift;
    }
}

// Lines that start with the given bytes.
class StartsWith final : public HeadingPattern {
public:
    explicit StartsWith(std::string start) : start_(std::move(start)) {}
    bool matches(const EncodingProfile&, std::string_view line) const override { return line.starts_with(start_); }

private:
    std::string start_;
};

TEST_F(FormatRun, ChapterLinesAreHeadingsWhateverTheirLengthOrMarks) {
    f.setLineWidth(12);
    const struct {
        const char* name;
        std::int32_t chapters;
        std::string source;
        std::string expected;
    } cases[] = {
        // Punctuated, longer than 0.7 of the line, after a paragraph left
        // open by its sentence and by its quote.
        {"ends the open paragraph", 1, gb("他说：“你好\n第三章　茶，馆\n茶馆里。\n"),
         para(gb("他说：“你好")) + spaces(4) + gb("第三章　茶，馆") + "\r\n\r\n" + para(gb("茶馆里。"))},
        {"wider than the line: wrapped, never cut", 1, gb("第一章　一二三四五六七八九十\n"),
         spaces(4) + gb("第一章　一二三四五六") + "\r\n" + gb("七八九十") + "\r\n\r\n"},
        {"off: the legacy rules", 0, gb("他说：“你好\n第三章　茶，馆\n茶馆里。\n"),
         spaces(4) + gb("他说：“你好第三章茶") + "\r\n" + gb("，馆茶馆里。") + "\r\n\r\n"},
    };
    for (const auto& c : cases) {
        f.setChapterHeadings(c.chapters);
        EXPECT_EQ(format(c.source), c.expected) << c.name;
    }
}

TEST_F(FormatRun, ThePatternMakesHeadingsOfWhatItMatches) {
    f.setLineWidth(12);
    const StartsWith pattern(gb("卷"));
    f.setHeadingPattern(&pattern);
    EXPECT_EQ(format(gb("甲，乙\n卷上，山\n丙。\n")),
              para(gb("甲，乙")) + spaces(8) + gb("卷上，山") + "\r\n\r\n" + para(gb("丙。")));
    f.setHeadingPattern(nullptr);
}

class FormatRunFaults : public FormatRun {};

// A quote left open where a sentence ends at a line's end lasts only while
// the next lines continue the paragraph; text whose quotes close where the
// paragraph would end formats as it always has.
TEST_F(FormatRunFaults, StrayQuoteEndsWithItsParagraph) {
    f.setLineWidth(60);
    f.setHeadingAlignment(0);
    const auto heading = [](const std::string& text) { return text + "\r\n\r\n"; };
    const struct {
        std::int32_t mode;
        std::int32_t encoding;
        std::string source;
        std::string expected;
    } cases[] = {
        // An empty line, a heading, an indented line end the paragraph.
        {kParagraphAutoDetect, kSourceGb, gb("　　他说：“你好。\n\n第三章　茶馆\n\n　　茶馆里坐满了人。\n"),
         para(gb("他说：“你好。")) + heading(gb("第三章　茶馆")) + para(gb("茶馆里坐满了人。"))},
        {kParagraphForce, kSourceGb, gb("他说：“你好。\n第三章\n茶馆里坐满了人。\n"),
         para(gb("他说：“你好。")) + heading(gb("第三章")) + para(gb("茶馆里坐满了人。"))},
        {kParagraphAutoDetect, kSourceGb, gb("　　甲说：“好。”乙说：“是。\n　　丙说：“对。”\n"),
         para(gb("甲说：“好。”乙说：“是。")) + para(gb("丙说：“对。”"))},
        {kParagraphAutoDetect, kSourceGb, gb("他说：“她说'好.'\n\n第三章\n"),
         para(gb("他说：“她说‘好。’")) + heading(gb("第三章"))},
        // A quotation over paragraphs opens each and closes in the last.
        {kParagraphAutoDetect, kSourceGb, gb("“甲。\n“乙。\n“丙。”\n丁。\n"),
         para(gb("“甲。")) + para(gb("“乙。")) + para(gb("“丙。”")) + para(gb("丁。"))},
        {kParagraphAutoDetect, kSourceBig5, big5("「甲。\n「乙。」\n"), para(big5("「甲。")) + para(big5("「乙。」"))},
        // Straight quotes after a stray one pair afresh, in every mode.
        {kParagraphAutoDetect, kSourceGb, gb("\"甲。\n\n\"乙。\"\n"), para(gb("“甲。")) + para(gb("“乙。”"))},
        {kParagraphOneLine, kSourceGb, gb("\"甲。\n\n\"乙。\"\n"), para(gb("“甲。")) + para(gb("“乙。”"))},
        {kParagraphEmptyLine, kSourceGb, gb("\"甲。\n\n\"乙。\"\n"), para(gb("“甲。")) + para(gb("“乙。”"))},
        {kParagraphLeadingSpaces, kSourceGb, gb("\"甲。\n\t\t\t\"乙。\"\n"), para(gb("“甲。")) + para(gb("“乙。”"))},
        // Unchanged: a quote open where no sentence ends, or over lines
        // that continue the paragraph; a mode's own breaks.
        {kParagraphAutoDetect, kSourceGb, gb("他说：“你好，\n\n第三章\n是。”\n"), para(gb("他说：“你好，第三章是。”"))},
        {kParagraphAutoDetect, kSourceGb, gb("他说：\"你好。\n再见。\"\n丁。\n"),
         para(gb("他说：“你好。再见。”")) + para(gb("丁。"))},
        {kParagraphLeadingSpaces, kSourceGb, gb("\"甲。\n第三章\n乙。\"\n"), para(gb("“甲。第三章乙。”"))},
        {kParagraphEmptyLine, kSourceGb, gb("\"甲。\n　　\"乙。\"\n"), para(gb("“甲。”乙。“"))},
    };
    for (const auto& c : cases) {
        f.setParagraphMode(c.mode);
        f.setSourceEncoding(c.encoding);
        EXPECT_EQ(format(c.source), c.expected) << c.mode << " " << c.source;
    }
}


TEST_F(FormatRunFaults, HeadingWiderThanTheLineOnceTranslatedBecomesParagraphText) {
    f.setLineWidth(10);  // 20 bytes: 13 bytes are short enough for a heading
    EXPECT_EQ(format("a[[[[[[[[[[[b\n"),
              spaces(4) + "a" + gb("【【【【【【【") + "\r\n" + gb("【【【【") + "b\r\n\r\n");
}

// Whatever the families and whether the run converts, a pair that the
// source's byte ranges do not hold, and a lead byte that ends a line, come
// out as the target's box with the invalid-code warning. Text whose
// out-of-range pairs stand for characters keeps them.
TEST_F(FormatRunFaults, InvalidCodesBecomeBoxesWithAWarning) {
    using Pairs = TextFormatter::UnconvertedPairs;
    // Each text is 中文, the bytes, 中文。 and a line feed.
    const struct {
        std::int32_t source;
        std::int32_t output;
        std::string bytes;
        std::string written;
        Pairs pairs = Pairs::Boxed;
    } cases[] = {
        {kSourceBig5, kOutputSame, "\x84\xEF", "\xA1\xBC"},
        {kSourceBig5, kOutputSame, "\xA4\n", "\xA1\xBC"},
        {kSourceBig5, kOutputGb, "\xA4\n", "\xA1\xF5"},
        {kSourceGb, kOutputSame, "\xB0\x41", "\xA1\xF5"},
        {kSourceGb, kOutputGbk, "\x81\x40", "\xA1\xF5"},
        {kSourceGb, kOutputBig5, "\xB0\n", "\xA1\xBC"},
        {kSourceGbk, kOutputSame, "\x84\xEF\x80\x41", "\x84\xEF\xA1\xF5"},
        {kSourceBig5, kOutputSame, "\x84\xEF\xA4\n", "\x84\xEF\xA1\xBC", Pairs::Kept},
    };
    f.setLineWidth(-1);
    for (const auto& c : cases) {
        f.setSourceEncoding(c.source);
        f.setOutputEncoding(c.output);
        const auto in = c.source == kSourceBig5 ? &big5 : &gb;
        const bool big5Out = c.output == kOutputBig5 || (c.output == kOutputSame && c.source == kSourceBig5);
        const auto out = big5Out ? &big5 : &gb;
        testing::writeFile(dir.file("in"), in("中文") + c.bytes + in("中文。\n"));
        EXPECT_EQ(f.formatFile(dir.file("in").c_str(), dir.file("out").c_str(), c.pairs), kInvalidCodeWarning)
            << c.bytes;
        EXPECT_EQ(testing::readFile(dir.file("out")), para(out("中文") + c.written + out("中文。"))) << c.bytes;
    }
    // A lead byte that ends a line inside a tag is no tag text.
    f.setSourceEncoding(kSourceGb);
    f.setOutputEncoding(kOutputBig5);
    f.setHtmlAware(1);
    EXPECT_EQ(format("<a\xB0\nb>" + gb("国。\n"), kInvalidCodeWarning), para("<a\xA1\xBC" "b>" + big5("國。")));
}

TEST_F(FormatRunFaults, TrailingBlanksAreTrimmedOnCharacterBoundaries) {
    f.setLineWidth(-1);
    f.setSourceEncoding(kSourceBig5);
    f.setParagraphMode(kParagraphOneLine);
    // Read backwards, the trail byte A1 of the character A4A1 and the "@" (40)
    // after it look like the full-width blank A1 40.
    EXPECT_EQ(format("\xA4\xA1@\n"), para("\xA4\xA1@"));
    EXPECT_EQ(format("\xA4\xA1@\xA1\x40 \n"), para("\xA4\xA1@"));
    f.setSourceEncoding(kSourceGbk);
    // A GBK pair whose trail is a space, invalid and kept here.
    EXPECT_EQ(format("\x81\x20\n", kSuccess, TextFormatter::UnconvertedPairs::Kept), para("\x81\x20"));
}

}  // namespace
}  // namespace quillon

namespace quillon {
namespace {

TEST_F(FormatRunFaults, NulBytesLoseNoTextAfterThem) {
    f.setLineWidth(-1);
    EXPECT_EQ(format(gb("甲") + std::string(1, '\0') + gb("乙。") + "\n"), para(gb("甲乙。")));
}

}  // namespace
}  // namespace quillon
