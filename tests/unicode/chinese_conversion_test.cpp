// Dictionary conversion of UTF-8 text by OpenCC's chains: exact bytes out.
#include "chinese_conversion.h"

#include <gtest/gtest.h>

#include <string>

namespace quillon::unicode {
namespace {

std::string converted(const char* name, std::string_view text) {
    const ChineseConversionChain* chain = ChineseConversionChain::named(name);
    EXPECT_NE(chain, nullptr) << name;
    if (chain == nullptr) return {};
    ChineseConverter converter(*chain);
    std::string out;
    converter.convert(text, out);
    return out;
}

struct ConversionCase {
    const char* what;
    const char* chain;
    const char* source;
    const char* expected;
};

void PrintTo(const ConversionCase& c, std::ostream* os) { *os << c.chain << ": " << c.what; }

class ChineseConversionTest : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(ChineseConversionTest, ConvertsExactly) {
    const ConversionCase& c = GetParam();
    EXPECT_EQ(converted(c.chain, c.source), c.expected);
}

// Only hanzi change: marks, Latin letters, digits and the small and middle
// forms that legacy tables used to touch come out as they went in.
constexpr const char* kSimplifiedMarks = "他说：“你好，世界！”（测试）、？……《书》ABC abc 123 ‧ · ﹔；―\n";
constexpr const char* kTraditionalMarks = "他說：「你好，世界！」（測試）、？……《書》ABC abc 123 ‧ · ﹔；―\n";

const ConversionCase kCases[] = {
    {"marks and Latin kept", "s2tw", kSimplifiedMarks, "他說：“你好，世界！”（測試）、？……《書》ABC abc 123 ‧ · ﹔；―\n"},
    {"marks and Latin kept", "t2s", kTraditionalMarks, "他说：「你好，世界！」（测试）、？……《书》ABC abc 123 ‧ · ﹔；―\n"},
    {"characters without counterpart kept", "s2tw", "瞭祇吋囉暱牴啰―", "瞭祇吋囉暱牴囉―"},
    {"characters without counterpart kept", "t2s", "瞭祇吋囉暱牴啰―", "瞭祇吋啰暱抵啰―"},
    {"simplified text stays", "t2s", "什么 怎么 这么", "什么 怎么 这么"},
    {"no simplified forms that fonts lack", "t2s", "㑮 𣈶", "㑮 暅"},
    {"telling phrases", "s2tw", "头发 发现 干净 干部 关于 于是 复杂 恢复 签名 书签 里面 公里",
     "頭髮 發現 乾淨 幹部 關於 於是 複雜 恢復 簽名 書籤 裡面 公里"},
    {"standard forms without vocabulary", "s2tw", "软件 内存", "軟件 內存"},
    {"Taiwan vocabulary, 内存 grows a character", "s2twp",
     "软件 鼠标 信息 网络 打印机 出租车 内存 硬盘 光盘 程序",
     "軟體 滑鼠 資訊 網路 印表機 計程車 記憶體 硬碟 光碟 程式"},
    {"vocabulary inside a run of text", "s2twp", "我的内存很大", "我的記憶體很大"},
    {"mainland vocabulary", "tw2sp", "軟體 滑鼠 資訊 網路 印表機 計程車 記憶體 硬碟 光碟 程式",
     "软件 鼠标 信息 网络 打印机 出租车 内存 硬盘 光盘 程序"},
    {"Taiwan forms", "tw2s", "裡面 乾淨", "里面 干净"},
    {"Latin in a word kept, words that replace it left out", "s2twp", "SQL注入 U盘 B超", "SQL隱碼攻擊 U盤 B超"},
    {"compatibility ideograph normalized", "s2t", "\xEF\xA4\x80", "\xE8\xB1\x88"},
    {"OpenCC standard forms", "s2t", "里面 头发", "裏面 頭髮"},
    {"Hong Kong forms", "s2hk", "头发 里面 着", "頭髮 裏面 着"},
    {"Hong Kong vocabulary", "s2hkp", "软件 出租车", "軟件 出租車"},
    {"from Hong Kong forms", "hk2s", "頭髮 裏面", "头发 里面"},
    {"from Hong Kong vocabulary", "hk2sp", "軟件 的士", "软件 的士"},
    {"to Taiwan forms", "t2tw", "裏面 爲", "裡面 為"},
    {"from Taiwan forms", "tw2t", "裡面 為", "裏面 爲"},
    {"to Hong Kong forms", "t2hk", "爲 着", "為 着"},
    {"from Hong Kong forms", "hk2t", "為", "爲"},
    {"a later step's phrase over text the first converted", "s2tw", "纯喫茶 喫饭", "純喫茶 吃飯"},
    {"a phrase needs its characters together", "s2tw", "纯 喫茶", "純 吃茶"},
    {"bytes that are no UTF-8 kept", "s2tw", "\xFF头\xE5\xA4发\x80", "\xFF頭\xE5\xA4發\x80"},
    // Most characters convert alone; these meet phrases at every edge.
    {"a later step's phrase between Latin and marks", "s2tw", "A纯喫茶，B", "A純喫茶，B"},
    {"a later step's phrase ending the text", "s2tw", "纯喫茶", "純喫茶"},
    {"a phrase between Latin letters, a character ending the text", "s2tw", "x头发y签", "x頭髮y籤"},
    {"phrases that start with Latin letters inside long Latin runs", "s2twp",
     "Sample text: SQL注入, PN结 and PS; plain words, Sx Px头发", "Sample text: SQL隱碼攻擊, PN接面 and PS; plain words, Sx Px頭髮"},
    {"vocabulary after a character alone", "s2twp", "很软件", "很軟體"},
    {"vocabulary after a phrase, and its first character alone", "s2twp", "头发软件，软 件", "頭髮軟體，軟 件"},
    {"vocabulary after Latin", "s2twp", "a内存", "a記憶體"},
    {"vocabulary after vocabulary", "s2twp", "网络打印机", "網路印表機"},
    {"characters of two and four bytes between a phrase's", "s2tw", "头😀发é签", "頭😀發é籤"},
    {"characters of two and four bytes around a phrase", "s2tw", "é头发😀", "é頭髮😀"},
    {"a later step's phrase cut by a character of two bytes", "s2tw", "纯é喫茶 纯喫茶😀", "純é吃茶 純喫茶😀"},
    {"vocabulary before characters of two and four bytes", "s2twp", "内存😀软件é", "記憶體😀軟體é"},
    {"phrases around characters of two and four bytes", "t2s", "頭髮😀乾淨é", "头发😀干净é"},
    // 万圣 starts 万圣节 but is no phrase of its own.
    {"a pair that starts only longer phrases", "s2tw", "很万圣很万圣节万宝", "很萬聖很萬聖節萬寶"},
    {"a pair that starts only longer phrases, after a later step's character", "s2tw", "喫万圣喫万圣节万宝",
     "吃萬聖吃萬聖節萬寶"},
    {"a pair that starts only longer phrases, between vocabulary", "s2twp", "内存万圣软件万灵丹",
     "記憶體萬聖軟體萬靈丹"},
    // A run of characters writes the phrases that ask nothing of the later
    // steps, and stops at the others, and after characters they convert.
    {"phrases one after another", "s2tw", "头发干净头发签名", "頭髮乾淨頭髮簽名"},
    {"phrases between marks", "s2tw", "头发。头发，干净", "頭髮。頭髮，乾淨"},
    {"phrases after a later step's character and phrase", "s2tw", "喫头发纯喫茶头发", "吃頭髮純喫茶頭髮"},
    {"phrases between vocabulary", "s2twp", "软件头发内存", "軟體頭髮記憶體"},
};

INSTANTIATE_TEST_SUITE_P(Chains, ChineseConversionTest, ::testing::ValuesIn(kCases));

// A run looks for the text's end less often while it is far, and takes
// ASCII many bytes at a time: phrases and single characters convert alike at
// every distance from either end.
TEST(ChineseConversion, ConvertsAlikeAtEveryDistanceFromTheEnds) {
    const ConversionCase cases[] = {
        {"phrases", "s2tw", "头发干净", "頭髮乾淨"},
        {"a character that starts phrases", "s2tw", "头", "頭"},
        {"marks and hanzi", "s2tw", "，发。", "，發。"},
        {"vocabulary", "s2twp", "内存", "記憶體"},
        {"a pair that starts only longer phrases", "s2tw", "万圣万圣节", "萬聖萬聖節"},
        {"a phrase that starts with Latin letters", "s2twp", "SQL注入", "SQL隱碼攻擊"},
    };
    for (const ConversionCase& c : cases) {
        for (std::size_t lead = 0; lead < 40; ++lead) {
            for (std::size_t tail = 0; tail < 24; ++tail) {
                const std::string before(lead, 'a');
                const std::string after(tail, 'b');
                EXPECT_EQ(converted(c.chain, before + c.source + after), before + c.expected + after)
                    << c.what << ", " << lead << " before, " << tail << " after";
            }
        }
    }
}

TEST(ChineseConversion, LinesConvertAloneAsTogether) {
    const std::string lines[] = {"头发干净，签名书签\n", "内存\n", "存储器和内存条\n", "ABC\n"};
    std::string whole;
    std::string oneByOne;
    for (const std::string& line : lines) {
        whole += line;
        oneByOne += converted("s2twp", line);
    }
    EXPECT_EQ(converted("s2twp", whole), oneByOne);
}

TEST(ChineseConversion, KnowsOnlyOpenCCNames) {
    EXPECT_EQ(ChineseConversionChain::named("s2tw")->configuration().name, "s2tw");
    EXPECT_EQ(ChineseConversionChain::named("jp2t"), nullptr);
    EXPECT_EQ(ChineseConversionChain::named("traditional"), nullptr);
}

}  // namespace
}  // namespace quillon::unicode
