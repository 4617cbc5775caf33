#include <gtest/gtest.h>

#include <random>
#include <string>

#include "legacy_text.h"
#include "run_options.h"
#include "temp_files.h"
#include "text_formatter.h"

namespace quillon {
namespace {

using testing::big5;
using testing::gb;

// Lines of every kind the format run tells apart, in `encoding`: runs of
// characters kept as they are (whole words of them and stray ones), ASCII
// words, spaces, translated marks, sentence ends, quotes, separator and
// heading lines, and lines longer than the reader hands over at once.
std::string mixedText(std::string (*encode)(std::string_view), std::size_t size) {
    const std::string pieces[] = {encode("天"),   encode("地人山水"), encode("火木金土日月星"), "abcdefgh", "word",
                                  " ",            "   ",           encode("，"),          encode("。"), encode("“"),
                                  encode("”"),    "\"",           ".",                  ":",          "[x]",
                                  encode("　"),   "\t",           "-",                  "\x1b[33m"};
    std::mt19937 random(15);
    std::string text;
    while (text.size() < size) {
        const unsigned kind = random() % 40;
        if (kind == 0) {
            text += "-----\n";
        } else if (kind == 1) {
            text += encode("第一章") + "\n";
        } else if (kind == 2) {
            text += "\n";
        } else if (kind == 3) {
            for (std::size_t long_end = text.size() + 40000; text.size() < long_end;) text += pieces[random() % 3];
            text += "\n";
        } else {
            for (unsigned n = random() % 24; n > 0; --n) text += pieces[random() % std::size(pieces)];
            text += "\n";
        }
    }
    return text;
}

std::string withCrLf(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

class FormatReading : public ::testing::TestWithParam<int> {
protected:
    std::string format(const std::string& source, std::int32_t encoding) {
        RunOptions options;
        options.sourceEncoding = encoding;
        options.paragraphMode = GetParam();
        applyOptions(options, formatter);
        testing::writeFile(dir.file("in"), source);
        EXPECT_EQ(formatter.formatFile(dir.file("in").c_str(), dir.file("out").c_str()), kSuccess);
        return testing::readFile(dir.file("out"));
    }

    testing::TempDir dir;
    TextFormatter formatter;
};

// Lines ended by LF are taken straight from the reader's buffer; lines ended
// by CR LF are read into the line buffer one at a time. Text mode makes the
// two sources the same text, so they must come out the same, over several
// buffers of the reader.
TEST_P(FormatReading, LinesFromTheReadersBufferComeOutAsLinesReadOneByOne) {
    for (const auto& [encode, encoding] : {std::pair{&gb, kSourceGb}, std::pair{&big5, kSourceBig5}}) {
        const std::string text = mixedText(encode, 700000);
        const std::string direct = format(text, encoding);
        EXPECT_EQ(direct, format(withCrLf(text), encoding)) << "source encoding " << encoding;
        EXPECT_GT(direct.size(), text.size() / 2);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryParagraphMode, FormatReading,
                         ::testing::Values(kParagraphAutoDetect, kParagraphOneLine, kParagraphEmptyLine,
                                           kParagraphLeadingSpaces, kParagraphForce));

// Characters kept as they are go over a word at a time; the marks among
// them must still be found wherever they fall in a word.
TEST(FormatWords, MarksAreFoundAtEveryPlaceInAWord) {
    struct Case {
        std::int32_t mode;
        std::string source;
        std::string paragraphs;  // each ended by "|"
        std::int32_t encoding = kSourceGb;
    };
    const Case cases[] = {
        {kParagraphForce, gb("甲。乙丙丁戊己庚辛"), gb("甲。|乙丙丁戊己庚辛|")},
        {kParagraphForce, gb("甲乙丙。丁戊己庚辛"), gb("甲乙丙。|丁戊己庚辛|")},
        {kParagraphForce, gb("甲乙丙丁戊己庚。辛"), gb("甲乙丙丁戊己庚。|辛|")},
        {kParagraphForce, gb("甲乙“丙丁。”戊己庚辛壬"), gb("甲乙“丙丁。”|戊己庚辛壬|")},
        {kParagraphForce, gb("甲乙丙丁戊己庚辛") + "?" + gb("壬"), gb("甲乙丙丁戊己庚辛？|壬|")},
        {kParagraphForce, "abcdefg." + gb("甲"), "abcdefg" + gb("。|甲|")},
        {kParagraphForce, "abcdefgh,ijklmnop!q", "abcdefgh" + gb("，") + "ijklmnop" + gb("！|") + "q|"},
        {kParagraphAutoDetect, "abc defgh  ij klmnopqr\n" + gb("甲乙丙丁戊己庚辛。\n壬"),
         "abcdefghijklmnopqr" + gb("甲乙丙丁戊己庚辛。|壬|")},
        {kParagraphAutoDetect, gb("甲乙丙丁戊己庚辛\n壬癸子丑寅卯辰巳。\n"), gb("甲乙丙丁戊己庚辛壬癸子丑寅卯辰巳。|")},
        // Big5 trail bytes may look like ASCII; a word of four lead bytes
        // still holds four characters.
        {kParagraphForce, big5("地人山水。土星"), big5("地人山水。|土星|"), kSourceBig5},
        {kParagraphForce, big5("地人山。水土星日月"), big5("地人山。|水土星日月|"), kSourceBig5},
    };
    testing::TempDir dir;
    TextFormatter formatter;
    for (const Case& c : cases) {
        RunOptions options;
        options.sourceEncoding = c.encoding;
        options.paragraphMode = c.mode;
        options.fullWidthSpaces = 0;
        options.lineSpacing = 0;
        options.leadingSpaces = 0;
        applyOptions(options, formatter);
        formatter.setLineWidth(-1);
        testing::writeFile(dir.file("in"), c.source);
        ASSERT_EQ(formatter.formatFile(dir.file("in").c_str(), dir.file("out").c_str()), kSuccess);
        std::string expected;
        for (const char byte : c.paragraphs) expected += byte == '|' ? std::string("\r\n") : std::string(1, byte);
        EXPECT_EQ(testing::readFile(dir.file("out")), expected) << c.source;
    }
}

}  // namespace
}  // namespace quillon
