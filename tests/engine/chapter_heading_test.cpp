#include <gtest/gtest.h>

#include <string>

#include "chapter_heading.h"
#include "character_classes.h"
#include "heading_pattern.h"
#include "legacy_text.h"
#include "run_options.h"
#include "temp_files.h"
#include "text_formatter.h"

namespace quillon {
namespace {

using testing::big5;
using testing::gb;

TEST(ChapterHeading, MarksThatOpenAChapterInEveryEncoding) {
    const struct {
        const char* line;
        bool opens;
    } cases[] = {
        {"第三章", true},
        {"第三章　茶馆", true},
        {"第十二回 宝玉挨打，黛玉葬花", true},
        {"第12节：概述", true},
        {"第１２卷", true},
        {"第一百零一部", true},
        {"第〇章", true},
        {"楔子", true},
        {"序", true},
        {"序章 开端", true},
        {"引子", true},
        {"尾声", true},
        {"后记", true},
        {"Chapter 3", true},
        {"CHAPTER IV: The End", true},
        // A line of text that merely begins with a mark is none.
        {"第三章讲的是茶馆。", false},
        {"序言", false},
        {"后记得", false},
        {"第章", false},
        {"第三", false},
        {"三章", false},
        {"Chapter", false},
        {"Chapters 3", false},
        {"Chapter3", false},
        {"", false},
    };
    // Simplified text in GB; traditional text in Big5 and in GBK.
    const ClassLookup gbClasses(profiles::GB);
    const ClassLookup gbkClasses(profiles::GBK);
    const ClassLookup big5Classes(profiles::BIG5);
    for (const auto& c : cases) {
        const std::string simplified = gb(c.line);
        EXPECT_EQ(opensChapter(profiles::GB, gbClasses, simplified.data(), 0, int(simplified.size())), c.opens)
            << c.line;
    }
    const struct {
        const char* line;
        bool opens;
    } traditionalCases[] = {
        {"第三節　茶館", true}, {"後記", true}, {"尾聲", true}, {"第十二回", true}, {"第兩萬章", true},
        {"後記得", false},
    };
    for (const auto& c : traditionalCases) {
        const std::string inBig5 = big5(c.line);
        const std::string inGbk = gb(c.line);
        EXPECT_EQ(opensChapter(profiles::BIG5, big5Classes, inBig5.data(), 0, int(inBig5.size())), c.opens)
            << c.line << " in Big5";
        EXPECT_EQ(opensChapter(profiles::GBK, gbkClasses, inGbk.data(), 0, int(inGbk.size())), c.opens)
            << c.line << " in GBK";
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

class ChapterHeadings : public ::testing::Test {
protected:
    ChapterHeadings() {
        RunOptions options;
        options.sourceEncoding = kSourceGb;
        options.fullWidthSpaces = 0;
        options.charsPerLine = 12;
        options.chapterHeadings = 1;
        applyOptions(options, f);
    }
    std::string format(std::string_view source) {
        testing::writeFile(dir.file("in"), source);
        EXPECT_EQ(f.formatFile(dir.file("in").c_str(), dir.file("out").c_str()), kSuccess);
        return testing::readFile(dir.file("out"));
    }
    testing::TempDir dir;
    TextFormatter f;
};

TEST_F(ChapterHeadings, ChapterLinesAreHeadingsWhateverTheirLengthOrMarks) {
    const struct {
        const char* name;
        std::int32_t chapters;
        std::string source;
        std::string expected;
    } cases[] = {
        // Punctuated, longer than 0.7 of the line, after a paragraph left
        // open by its sentence and by its quote.
        {"ends the open paragraph", 1, gb("他说：“你好\n第三章　茶，馆\n茶馆里。\n"),
         "    " + gb("他说：“你好") + "\r\n\r\n" + std::string(4, ' ') + gb("第三章　茶，馆") + "\r\n\r\n" + "    " +
             gb("茶馆里。") + "\r\n\r\n"},
        {"wider than the line: wrapped, never cut", 1, gb("第一章　一二三四五六七八九十\n"),
         "    " + gb("第一章　一二三四五六") + "\r\n" + gb("七八九十") + "\r\n\r\n"},
        {"off: the legacy rules", 0, gb("他说：“你好\n第三章　茶，馆\n茶馆里。\n"),
         "    " + gb("他说：“你好第三章茶") + "\r\n" + gb("，馆茶馆里。") + "\r\n\r\n"},
    };
    for (const auto& c : cases) {
        f.setChapterHeadings(c.chapters);
        EXPECT_EQ(format(c.source), c.expected) << c.name;
    }
}

TEST_F(ChapterHeadings, ThePatternMakesHeadingsOfWhatItMatches) {
    f.setChapterHeadings(0);
    const StartsWith pattern(gb("卷"));
    f.setHeadingPattern(&pattern);
    EXPECT_EQ(format(gb("甲，乙\n卷上，山\n丙。\n")),
              "    " + gb("甲，乙") + "\r\n\r\n" + std::string(8, ' ') + gb("卷上，山") + "\r\n\r\n" + "    " +
                  gb("丙。") + "\r\n\r\n");
    f.setHeadingPattern(nullptr);
}

}  // namespace
}  // namespace quillon
