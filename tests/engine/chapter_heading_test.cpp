#include <gtest/gtest.h>

#include <string>

#include "chapter_heading.h"
#include "character_classes.h"
#include "legacy_text.h"

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

}  // namespace
}  // namespace quillon
