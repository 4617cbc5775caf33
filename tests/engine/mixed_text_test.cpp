// Format runs of text with Latin words and numbers, and the line-start rules.
#include <gtest/gtest.h>

#include <string>

#include "legacy_text.h"
#include "run_options.h"
#include "temp_files.h"
#include "text_formatter.h"

namespace quillon {
namespace {

using testing::gb;

struct MixedCase {
    const char* rule;
    RunOptions options;  // on top of GB, no indent, blank lines or full-width blanks
    std::string source;    // UTF-8, written as GB
    std::string expected;  // UTF-8 with the run's CR LF line ends, as GB
};

void PrintTo(const MixedCase& c, std::ostream* os) { *os << c.rule; }

RunOptions mixed(std::int32_t charsPerLine, std::int32_t lineStartRules = 0, std::int32_t spaceBetweenScripts = 0) {
    RunOptions options;
    options.charsPerLine = charsPerLine;
    options.mixedText = 1;
    options.lineStartRules = lineStartRules;
    options.spaceBetweenScripts = spaceBetweenScripts;
    return options;
}

RunOptions rulesOnly(std::int32_t charsPerLine) {
    RunOptions options;
    options.charsPerLine = charsPerLine;
    options.lineStartRules = 1;
    return options;
}

RunOptions forced(RunOptions options) {
    options.paragraphMode = kParagraphForce;
    return options;
}

class MixedText : public ::testing::TestWithParam<MixedCase> {};

TEST_P(MixedText, FormatsToExactBytes) {
    const MixedCase& c = GetParam();
    RunOptions options = c.options;
    options.sourceEncoding = kSourceGb;
    options.leadingSpaces = 0;
    options.lineSpacing = 0;
    options.fullWidthSpaces = 0;
    TextFormatter f;
    applyOptions(options, f);
    testing::TempDir dir;
    testing::writeFile(dir.file("in"), gb(c.source));
    ASSERT_EQ(f.formatFile(dir.file("in").c_str(), dir.file("out").c_str()), kSuccess);
    EXPECT_EQ(testing::readFile(dir.file("out")), gb(c.expected));
}

const std::string kRelease =
    "版本 2.100 发布于 2023-02-04 11:59:01 UTC，参见 www.debian.org 网站。He said \"hello world\" to me.";

INSTANTIATE_TEST_SUITE_P(
    Rules, MixedText,
    ::testing::Values(
        MixedCase{"LatinWordsNumbersAndAddressesStay", mixed(-1), kRelease + "\n", kRelease + "\r\n"},
        MixedCase{"LineEndBetweenLatinWordsIsOneSpace", mixed(-1), "他说 He said\nhello  to me\n",
                  "他说 He said hello to me\r\n"},
        MixedCase{"SpacesBesideChineseMarksOrBetweenHanziGo", mixed(-1), "天气 很好。 Linux ， 好\n",
                  "天气很好。Linux，好\r\n"},
        MixedCase{"MarksInChineseTextTurnFullWidth", mixed(-1), "他说:\"你好.\"第1.章\n",
                  "他说：“你好。”第1。章\r\n"},
        MixedCase{"QuotesAroundLatinTextAndApostrophesStay", mixed(-1),
                  "编辑 \"/etc/apt/preferences\" 和 'x' ，don't\n",
                  "编辑 \"/etc/apt/preferences\" 和 'x'，don't\r\n"},
        MixedCase{"MarkStartingALatinWordStays", mixed(-1), "用 --force 和“-U”装.deb与*.so和$LANG 在左侧-Ctrl-键.好\n",
                  "用 --force 和“-U”装.deb与*.so和$LANG 在左侧-Ctrl-键。好\r\n"},
        MixedCase{"BracketsAroundLatinTextStayAsAPair", mixed(-1), "[99] 老旧[注意]在CTRL-])时\n",
                  "[99] 老旧【注意】在CTRL-])时\r\n"},
        MixedCase{"BracketLooksPastEightBytesForItsPair", mixed(-1),
                  "好[abcdefghij]好[abcdefghi好]好[abcdefghi[x]好[abcdefgh]好[abcdefg\n[x]\n",
                  "好[abcdefghij]好【abcdefghi好】好【abcdefghi[x]好[abcdefgh]好【abcdefg [x]\r\n"},
        MixedCase{"RunsOfSpacesAreOneSpaceBesideLatinText", mixed(-1),
                  "ab" + std::string(9, ' ') + "cd" + std::string(16, ' ') + "好" + std::string(17, ' ') + "好\n",
                  "ab cd 好好\r\n"},
        MixedCase{"RunsOfFewSpacesAndATab", mixed(30), "ab   cd  好   好 \tef  。gh\n", "ab cd 好好\tef。gh\r\n"},
        MixedCase{"HeadingKeepsTheFirstSpaceOfARun", mixed(30), "第1章  Linux   --bind\n",
                  std::string(18, ' ') + "第1章 　Linux 　 --bind\r\n"},
        MixedCase{"HeadingMarkAfterHanziTurnsFullWidth", mixed(30), "第1章 数据结构与算法-树\n",
                  std::string(16, ' ') + "第1章　数据结构与算法－树\r\n"},
        MixedCase{"HeadingMarkAfterALatinWordStays", mixed(30), "第1章 abcdefgh-ij\n",
                  std::string(20, ' ') + "第1章 abcdefgh-ij\r\n"},
        MixedCase{"HeadingColonAfterASpaceTurnsFullWidth", mixed(30), "第1章 abcdefgh :ij\n",
                  std::string(20, ' ') + "第1章 abcdefgh ：ij\r\n"},
        MixedCase{"HeadingKeepsAnOption", mixed(30), "第2章 用 --bind 挂载\n",
                  std::string(18, ' ') + "第2章　用 --bind 挂载\r\n"},
        MixedCase{"MarksInsideANumberEndNoSentence", forced(mixed(-1)), "版本 2.100 已发布. 好\n",
                  "版本 2.100 已发布。\r\n好\r\n"},
        MixedCase{"NoBreakInsideAWord", mixed(5), "我们用Linux系统\n", "我们用\r\nLinux系统\r\n"},
        MixedCase{"BreakAtASpaceDropsIt", mixed(4), "ab cdefgh ij\n", "ab\r\ncdefgh\r\nij\r\n"},
        MixedCase{"WordWiderThanTheLineBreaksAtTheWidth", mixed(4), "用Supercalifragilistic\n",
                  "用Superc\r\nalifragi\r\nlistic\r\n"},
        MixedCase{"SpaceBetweenScripts", mixed(-1, 0, 1), "版本2.100发布于 Linux系统,用GNU\n",
                  "版本 2.100 发布于 Linux 系统，用 GNU\r\n"},
        MixedCase{"HeadingsKeepLatinText", mixed(30), "第1章 Linux: 8:33 PM\n",
                  std::string(20, ' ') + "第1章 Linux: 8:33 PM\r\n"},
        MixedCase{"ShortLineWrappedBeforeALongWordIsText", mixed(30),
                  "手动使用 gpg 或者 apt-key 工具 获取发布在\nftp-master.debian.org上最新的公钥。\n",
                  "手动使用 gpg 或者 apt-key 工具获取发布在\r\nftp-master.debian.org上最新的公钥。\r\n"},
        MixedCase{"ShortLineBeforeAShortWordIsAHeading", mixed(30), "简介\nDebian 是一个系统。\n",
                  std::string(28, ' ') + "简介\r\nDebian 是一个系统。\r\n"},
        MixedCase{"ShortLineAboveAnAddressAloneIsAHeading", mixed(30), "矩阵分解\nhttps://en.wikipedia.org/wiki/LU\n",
                  std::string(26, ' ') + "矩阵分解\r\nhttps://en.wikipedia.org/wiki/LU\r\n"},
        MixedCase{"ShortLineBeforeMarksIsAHeading", mixed(30), "矩阵分解\n" + std::string(40, '%') + " 好\n",
                  std::string(26, ' ') + "矩阵分解\r\n" + std::string(40, '%') + " 好\r\n"},
        MixedCase{"ShortLineEndingTheTextIsAHeading", mixed(30), "正文。\n\n简介\n",
                  "正文。\r\n" + std::string(28, ' ') + "简介\r\n"},
        MixedCase{"LatinWordsOfAnyLengthBesideMarks", mixed(-1),
                  "他说 abcdefg[注意]好 abcdefgh abcdefghi ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789xyz 好\n"
                  "用 a1@b2`c{d}~e user@example.org Zz09:好, abcdefgh.好 http://a.b/abcdefgh/\n",
                  "他说 abcdefg【注意】好 abcdefgh abcdefghi ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789xyz 好"
                  "用 a1@b2`c{d}~e user@example.org Zz09：好，abcdefgh。好 http://a.b/abcdefgh/\r\n"},
        MixedCase{"MarkAfterAControlCodeOrHanziTurnsFullWidth", mixed(-1), ":ab \x1b[33m好\x1b:cd 好:ef\n",
                  ":ab\x1b【33m好\x1b：cd 好：ef\r\n"},
        MixedCase{"HeadingSpaceAfterAControlCodeTurnsFullWidth", mixed(30), "第1章 ab\x1b cd\n",
                  std::string(22, ' ') + "第1章 ab\x1b　cd\r\n"},
        MixedCase{"HeadingMarkAfterHanziOrAControlCode", mixed(30), "第5章 接口-Ctrl:好  \x1b:键 \x1b-x\n",
                  std::string(12, ' ') + "第5章　接口-Ctrl：好　　\x1b：键　\x1b-x\r\n"},
        MixedCase{"ColourCodesBracketsTurnFullWidth", mixed(-1), "第4章 \x1b[33m好\x1b[m:\x1b.so\x1b[1]\n",
                  "第4章\x1b【33m好\x1b【m：\x1b.so\x1b[1]\r\n"},
        MixedCase{"OneSpaceBetweenWordsAtEveryPlaceOfAWord", mixed(-1),
                  "x abcdefg hijklmno p q 好 r, s.t u\nabcdefgh ijklmnopq rs \nab c\n",
                  "x abcdefg hijklmno p q 好 r, s.t u abcdefgh ijklmnopq rs ab c\r\n"},
        MixedCase{"SentenceEndsAfterWordsBetweenSpaces", forced(mixed(-1)), "ab cd. 好 ef gh. ij\n",
                  "ab cd。\r\n好 ef gh.\r\nij\r\n"},
        MixedCase{"BreakWalksBackOverSeveralClosingMarks", rulesOnly(8), "一二三四五六七八，。好好\n",
                  "一二三四五六七\r\n八，。好好\r\n"},
        MixedCase{"BreakWalksBackOverMarksAfterLatinText", mixed(6, 1), "一二三四ab，。好 cd」好\n",
                  "一二三四ab，。\r\n好 cd」好\r\n"},
        MixedCase{"ClosingMarkStartsNoLine", rulesOnly(5), "一二三四五，六七\n", "一二三四\r\n五，六七\r\n"},
        MixedCase{"OpeningMarkEndsNoLine", rulesOnly(5), "一二三四“五六”\n", "一二三四\r\n“五六”\r\n"},
        MixedCase{"MarkHangsWhereNoBreakKeepsIt", mixed(10, 1), "一二三四五abcdefghij。一二\n",
                  "一二三四五abcdefghij。\r\n一二\r\n"}),
    [](const auto& info) { return std::string(info.param.rule); });

}  // namespace
}  // namespace quillon
