#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "legacy_text.h"
#include "temp_files.h"
#include "text_file.h"
#include "text_formatter.h"

namespace quillon {
namespace {

using testing::big5;
using testing::gb;

std::string spaces(int n) { return std::string(n, ' '); }

class LineOutput : public ::testing::Test {
protected:
    LineOutput() {
        f.setLineWidth(6);  // 12 bytes
        f.setLeadingSpaces(2);
        f.setLeftMargin(0);
        f.setLineSpacing(0);
        f.setFullWidthSpaces(0);
        f.setNaturalSyntax(0);
    }
    // What the formatter writes during `body`, source and target as given.
    std::string capture(const std::function<void()>& body,
                        const EncodingProfile& target = profiles::GB) {
        TextWriter writer;
        EXPECT_TRUE(writer.open(dir.file("out").c_str()));
        f.sourceProfile = source;
        f.targetProfile = &target;
        f.outputStream = &writer;
        body();
        f.outputStream = nullptr;
        EXPECT_TRUE(writer.close());
        return testing::readFile(dir.file("out"));
    }
    std::string layout(std::string paragraph, const EncodingProfile& target = profiles::GB) {
        return capture([&] { f.breakParagraph(paragraph.data(), int(paragraph.size())); }, target);
    }

    testing::TempDir dir;
    TextFormatter f;
    const EncodingProfile* source = &profiles::GB;
};

TEST_F(LineOutput, NaturalSyntaxExampleWithMargin) {
    f.setLeftMargin(1);
    f.setLineSpacing(1);
    f.setNaturalSyntax(1);
    EXPECT_EQ(layout(gb("我们今天去公园散步了，天气很好。")),
              spaces(6) + gb("我们今天") + "\r\n" + spaces(2) + gb("去公园散步") + "\r\n" +
                  spaces(2) + gb("了，天气很") + "\r\n" + spaces(2) + gb("好。") + "\r\n\r\n");
}

TEST_F(LineOutput, IndentCountsAgainstTheFirstLineOnly) {
    f.setLineWidth(38);
    std::string text;
    for (int i = 0; i < 80; ++i) text += gb("字");
    const std::string out = layout(text);
    const std::string first = spaces(4) + text.substr(0, 72) + "\r\n";
    const std::string second = text.substr(72, 76) + "\r\n";
    EXPECT_EQ(out, first + second + text.substr(148) + "\r\n");
}

TEST_F(LineOutput, OneByteShortOnlyBeforeADoubleByteCharacter) {
    f.setLeadingSpaces(0);
    const std::string firstLine = gb("甲乙丙丁戊己");
    EXPECT_EQ(layout(firstLine + "a" + gb("甲乙丙丁戊庚")),
              firstLine + "\r\n" + "a" + gb("甲乙丙丁戊") + "\r\n" + gb("庚") + "\r\n");
    EXPECT_EQ(layout(firstLine + "a" + gb("甲乙丙丁戊") + "b" + gb("庚")),
              firstLine + "\r\n" + "a" + gb("甲乙丙丁戊") + "b\r\n" + gb("庚") + "\r\n");
}

// A line's end is found without walking its characters: a character starts
// after an ASCII byte (a character or a trail byte) and then every second
// high byte. GBK trail bytes in the ASCII range and a lone lead byte at the
// end must not shift the count.
TEST_F(LineOutput, LineEndsFallOnCharacterStarts) {
    f.setLeadingSpaces(0);
    source = &profiles::GBK;
    const std::string pair = "\x81@";  // a GBK character whose trail byte is "@"
    EXPECT_EQ(layout("a" + pair + pair + pair + pair + pair + pair + "b", profiles::GBK),
              "a" + pair + pair + pair + pair + pair + "\r\n" + pair + "b\r\n");
    EXPECT_EQ(layout("ab" + pair + pair + pair + pair + pair + pair, profiles::GBK),
              "ab" + pair + pair + pair + pair + pair + "\r\n" + pair + "\r\n");
    EXPECT_EQ(layout("abcdefghijk\xB0"), "abcdefghijk\r\n\xB0\r\n");
    EXPECT_EQ(layout("abcdefghij\xB0"), "abcdefghij\xB0\r\n");
    // An indent wider than the line leaves room for one character only.
    f.setLeadingSpaces(8);
    EXPECT_EQ(layout(gb("甲乙") + "c"), spaces(16) + gb("甲") + "\r\n" + gb("乙") + "c\r\n");
}

TEST_F(LineOutput, BackOffStopsAtSeventyPercentOfTheWidth) {
    f.setLeadingSpaces(0);
    f.setNaturalSyntax(1);
    // Five commas go down with the sixth; the walk stops after 10 bytes (8.4 < 10).
    EXPECT_EQ(layout(gb("甲，，，，，，乙")),
              gb("甲") + "\r\n" + gb("，，，，，，") + "\r\n" + gb("乙") + "\r\n");
    // A sentence end before a closing quote goes down with the character before it.
    EXPECT_EQ(layout(gb("甲乙丙丁好。”")), gb("甲乙丙丁") + "\r\n" + gb("好。”") + "\r\n");
    // Text that ends at a line end needs no back-off.
    EXPECT_EQ(layout(gb("甲乙丙丁戊。")), gb("甲乙丙丁戊。") + "\r\n");
}

TEST_F(LineOutput, BackOffThatWouldEmptyTheLineKeepsTheBreak) {
    f.setLeadingSpaces(0);
    f.setNaturalSyntax(1);
    f.setLineWidth(3);  // 6 bytes: the walk may move up to 4.2 bytes
    EXPECT_EQ(layout(gb("，，，，")), gb("，，，") + "\r\n" + gb("，") + "\r\n");
    f.setLineWidth(10);
    f.setLeadingSpaces(4);  // the first line holds only 12 bytes of text
    EXPECT_EQ(layout(gb("，，，，，，，")),
              spaces(8) + gb("，，，，，，") + "\r\n" + gb("，") + "\r\n");
}

TEST_F(LineOutput, NoWrappingAndZeroWidth) {
    f.setLineWidth(-1);
    f.setLeftMargin(1);
    f.setLineSpacing(2);
    const std::string text = gb("一二三四五六七八九十");
    EXPECT_EQ(layout(text), spaces(6) + text + "\r\n\r\n\r\n");

    f.setLineWidth(0);
    f.setLineSpacing(1);
    EXPECT_EQ(layout(gb("一二三")), spaces(6) + "\r\n" + spaces(2) + "\r\n" + spaces(2) + "\r\n\r\n");
}

TEST_F(LineOutput, EmptyParagraph) {
    f.setLeftMargin(1);
    f.setLineSpacing(1);
    EXPECT_EQ(layout(""), spaces(6) + "\r\n\r\n");
    f.setLeadingSpaces(0);
    EXPECT_EQ(layout(""), "\r\n");
}

TEST_F(LineOutput, NegativeIndentLosesNoText) {
    f.setLeadingSpaces(-3);
    f.setLeftMargin(-1);
    f.setLineSpacing(-2);
    EXPECT_EQ(layout(gb("一二三四五六七八")), gb("一二三四五六") + "\r\n" + gb("七八") + "\r\n");
    EXPECT_EQ(layout(gb("一")), gb("一") + "\r\n");
}

TEST_F(LineOutput, BlankUnitsAreInTheTargetEncodingAndTextIsConverted) {
    f.setFullWidthSpaces(1);
    f.setLeftMargin(1);
    EXPECT_EQ(layout(gb("国")), "\xA1\xA1\xA1\xA1\xA1\xA1" + gb("国") + "\r\n");
    EXPECT_EQ(layout(gb("国"), profiles::GBK), "\xA1\xA1\xA1\xA1\xA1\xA1" + gb("国") + "\r\n");
    EXPECT_EQ(layout(gb("国"), profiles::BIG5), "\xA1\x40\xA1\x40\xA1\x40" + big5("國") + "\r\n");
    f.setFullWidthSpaces(0);
    EXPECT_EQ(layout(gb("国"), profiles::BIG5), spaces(6) + big5("國") + "\r\n");
}

// A line's blanks, text and line ends go out in one piece when they are
// short, in parts when they are long; the bytes are the same either way.
TEST_F(LineOutput, LongIndentsAndSpacingsGoOutWhole) {
    f.setLineWidth(-1);
    f.setFullWidthSpaces(1);
    const std::string text = gb("国");
    for (const int units : {1, 2047, 2048, 5000}) {
        f.setLeadingSpaces(units);
        f.setLeftMargin(units);
        f.setLineSpacing(units);
        std::string blanks;
        for (int i = 0; i < 2 * units; ++i) blanks += "\xA1\xA1";
        std::string lineEnds;
        for (int i = 0; i <= units; ++i) lineEnds += "\r\n";
        EXPECT_EQ(layout(text), blanks + text + lineEnds) << units;
    }
}

TEST_F(LineOutput, WriteLineAlignment) {
    f.setLineWidth(38);
    f.setLeadingSpaces(5);
    const std::string ten = "0123456789";
    const auto written = [&](std::string text, std::int32_t alignment) {
        return capture([&] { f.writeLine(text.data(), int(text.size()), alignment, 0); });
    };
    EXPECT_EQ(written(ten, 0), ten);
    EXPECT_EQ(written(ten, 1), spaces(32) + ten);
    EXPECT_EQ(written(ten, 2), spaces(66) + ten);
    EXPECT_EQ(written(ten, 3), spaces(10) + ten);
    EXPECT_EQ(written(ten, 4), ten);
    const std::string ninety(90, 'x');
    EXPECT_EQ(written(ninety, 1), ninety.substr(0, 76));
    EXPECT_EQ(written(ninety, 2), ninety.substr(0, 76));
    f.setLineWidth(-1);
    EXPECT_EQ(written(ten, 1), ten);
    EXPECT_EQ(written(ten, 3), spaces(10) + ten);
}

// Text of every length up to a few moves of sixteen bytes goes out as it is,
// the line end right after it.
TEST_F(LineOutput, TextOfEveryShortLengthGoesOutExactly) {
    f.setLineWidth(-1);
    std::string text;
    for (int length = 0; length <= 70; ++length) {
        const std::string written = capture([&] { f.writeLine(text.data(), length, 0, 1); });
        ASSERT_EQ(written, text + "\r\n") << length;
        text += static_cast<char>('!' + length);
    }
}

}  // namespace
}  // namespace quillon
