// Conversion by phrase: which counterpart a character gets, and what stays as
// the table conversion has it.
#include <gtest/gtest.h>

#include <string>

#include "legacy_text.h"
#include "phrase_tables.h"
#include "run_options.h"
#include "temp_files.h"
#include "text_formatter.h"

namespace quillon {
namespace {

using testing::big5;
using testing::gb;
const EncodingProfile& GB = profiles::GB;
const EncodingProfile& GBK = profiles::GBK;
const EncodingProfile& BIG5 = profiles::BIG5;

struct Converted {
    std::string text;
    bool invalid, unmappable;
};

Converted convert(std::string text, const EncodingProfile& from, const EncodingProfile& to,
                  std::int32_t phrases = 1, std::int32_t html = 0) {
    TextFormatter f;
    f.setPhrases(phrases);
    f.setHtmlAware(html);
    f.convertLine(text.data(), from, to);
    return {text, f.sawInvalidCode != 0, f.sawUnmappable != 0};
}

// Simplified, traditional, and what the tables alone make of the simplified.
struct Telling {
    const char* simplified;
    const char* traditional;
    const char* byTable;
};

constexpr Telling kTelling[] = {
    {"头发", "頭髮", "頭發"}, {"发现", "發現", "發現"}, {"干净", "乾淨", "幹淨"},
    {"干部", "幹部", "幹部"}, {"关于", "關於", "關於"}, {"于是", "於是", "於是"},
    {"复杂", "複雜", "復雜"}, {"恢复", "恢復", "恢復"}, {"签名", "簽名", "籤名"},
    {"书签", "書籤", "書籤"}, {"里面", "裡面", "裡面"}, {"公里", "公里", "公裡"},
    {"背包", "背包", "背包"}, {"拉链", "拉鏈", "拉鏈"}, {"念佛", "念佛", "念佛"},
};

TEST(PhraseConversion, TellingPhrasesBothWays) {
    for (const Telling& t : kTelling) {
        for (const EncodingProfile* from : {&GB, &GBK}) {
            EXPECT_EQ(convert(gb(t.simplified), *from, BIG5).text, big5(t.traditional))
                << from->name << " " << t.simplified;
        }
        for (const EncodingProfile* to : {&GB, &GBK}) {
            EXPECT_EQ(convert(big5(t.traditional), BIG5, *to).text, gb(t.simplified))
                << to->name << " " << t.traditional;
        }
        // Without the option the table decides, as it always has.
        EXPECT_EQ(convert(gb(t.simplified), GB, BIG5, 0).text, big5(t.byTable)) << t.simplified;
    }
}

TEST(PhraseConversion, TaiwanWordsOnlyToBig5AndOnlyWhereTheLengthHolds) {
    const struct {
        std::string in;
        const EncodingProfile *from, *to;
        std::string out;
    } rows[] = {
        {gb("软件"), &GB, &BIG5, big5("軟體")},
        {gb("鼠标"), &GBK, &BIG5, big5("滑鼠")},
        {gb("信息"), &GB, &BIG5, big5("資訊")},
        // 記憶體 would be longer: the standard form.
        {gb("内存"), &GB, &BIG5, big5("內存")},
        // Inside a longer phrase the word stays: not 包羅永珍.
        {gb("包罗万象"), &GB, &BIG5, big5("包羅萬象")},
        // No Taiwan words on the way back.
        {big5("軟體"), &BIG5, &GB, gb("软体")},
    };
    for (const auto& r : rows) EXPECT_EQ(convert(r.in, *r.from, *r.to).text, r.out) << r.in;
}

TEST(PhraseConversion, PhrasesDecideWhatTheTableCannot) {
    const struct {
        std::string in;
        const EncodingProfile *from, *to;
        std::string withPhrases, byTable;
    } rows[] = {
        // The longest phrase wins: 反复 alone is 反覆, but 反复制 is 反複製.
        {gb("反复，反复制"), &GB, &BIG5, big5("反覆") + "\xA1\x4D" + big5("反複製"),
         big5("反復") + "\xA1\x4D" + big5("反復制")},
        // Left to right: 头发 takes 发 before 发现 can.
        {gb("头发现"), &GB, &BIG5, big5("頭髮現"), big5("頭發現")},
        // Characters around and between phrases keep the table's choice.
        {gb("a头发b发c"), &GB, &BIG5, big5("a頭髮b發c"), big5("a頭發b發c")},
        {big5("乾隆著作"), &BIG5, &GB, gb("乾隆著作"), gb("干隆着作")},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(convert(r.in, *r.from, *r.to).text, r.withPhrases);
        EXPECT_EQ(convert(r.in, *r.from, *r.to, 0).text, r.byTable);
    }
}

TEST(PhraseConversion, OnlyTheTablesPairsHavePhrases) {
    // Same family, narrowing and widening: the option changes nothing.
    const std::string text = gb("头发") + "\x81\x40";
    EXPECT_EQ(convert(text, GBK, GB).text, gb("头发") + "\xA1\xF5");
    EXPECT_EQ(convert(text, GB, GBK).text, text);
    EXPECT_EQ(convert(text, GBK, GBK).text, text);
}

TEST(PhraseConversion, FlagsAndBoxesStayTheTables) {
    // An invalid pair or an unmappable character next to a phrase.
    Converted c = convert("\xB0\x41" + gb("头发"), GB, BIG5);
    EXPECT_EQ(c.text, "\xA1\xBC" + big5("頭髮"));
    EXPECT_TRUE(c.invalid);
    c = convert("\x81\x40" + gb("头发"), GBK, BIG5);
    EXPECT_EQ(c.text, "\xA1\xBC" + big5("頭髮"));
    EXPECT_TRUE(c.unmappable);
    EXPECT_FALSE(c.invalid);
    c = convert(gb("头发") + "\xB7", GB, BIG5);  // a lead byte at the end stays
    EXPECT_EQ(c.text, big5("頭髮") + "\xB7");
    EXPECT_TRUE(c.invalid);

    // A phrase that begins with GBK characters (亹亹不卷) is a phrase in GBK
    // text only; in GB text its first bytes are invalid.
    const std::string gbkPhrase = "\x81\x90\x81\x90\xB2\xBB\xBE\xED";
    c = convert(gbkPhrase, GBK, BIG5);
    EXPECT_EQ(c.text, "\xF6\xD6\xF6\xD6" + big5("不卷"));
    EXPECT_FALSE(c.invalid || c.unmappable);
    c = convert(gbkPhrase, GB, BIG5);
    EXPECT_EQ(c.text, "\xA1\xBC\xA1\xBC" + big5("不卷"));
    EXPECT_TRUE(c.invalid);
}

TEST(PhraseConversion, HtmlTagsKeepTheirPhrasesUnconverted) {
    const std::string in = "<a title=" + gb("头发") + ">" + gb("头发") + "</a>";
    EXPECT_EQ(convert(in, GB, BIG5, 1, 1).text,
              "<a title=" + gb("头发") + ">" + big5("頭髮") + "</a>");
    // Once the tags prove unbalanced, phrases in them convert too.
    EXPECT_EQ(convert("> <" + gb("头发"), GB, BIG5, 1, 1).text, "> <" + big5("頭髮"));
}

TEST(PhraseConversion, RecordsAreSortedAndWellFormed) {
    // Matching relies on the order: a phrase before the longer ones it begins.
    // The index reserves room for the count the table states.
    struct Table {
        const std::uint16_t* records;
        std::size_t size;
        std::size_t count;
    };
    for (const Table& table : {Table{GbkToBig5Phrases, GbkToBig5PhrasesSize, GbkToBig5PhrasesCount},
                               Table{Big5ToGbPhrases, Big5ToGbPhrasesSize, Big5ToGbPhrasesCount}}) {
        const std::uint16_t* const records = table.records;
        std::basic_string<std::uint16_t> previous;
        std::size_t at = 0;
        std::size_t count = 0;
        while (at < table.size) {
            const std::size_t n = records[at];
            ASSERT_GE(n, 2u);
            ASSERT_LE(at + 1 + 2 * n, table.size);
            const std::basic_string<std::uint16_t> source(records + at + 1, n);
            for (std::size_t i = 0; i < 2 * n; ++i) ASSERT_GE(records[at + 1 + i], 0x8140);
            ASSERT_LT(previous, source) << "at " << at;
            previous = source;
            at += 1 + 2 * n;
            ++count;
        }
        EXPECT_EQ(at, table.size);
        EXPECT_EQ(count, table.count);
    }
}

class PhraseRuns : public ::testing::Test {
protected:
    // A GB source converted to Big5 by phrase in a convert or format run.
    std::string run(RunResult (TextFormatter::*runFile)(const char*, const char*),
                    const std::string& source) {
        testing::writeFile(dir.file("in"), source);
        formatter.setPhrases(1);
        formatter.setSourceEncoding(1);
        formatter.setOutputEncoding(3);
        EXPECT_EQ((formatter.*runFile)(dir.file("in").c_str(), dir.file("out").c_str()), kSuccess);
        return testing::readFile(dir.file("out"));
    }
    std::string convertFile(const std::string& source) { return run(&TextFormatter::convertFile, source); }
    std::string formatFile(const std::string& source) { return run(&TextFormatter::formatFile, source); }

    testing::TempDir dir;
    TextFormatter formatter;
};

TEST_F(PhraseRuns, APhraseNeverSpansALineEnd) {
    EXPECT_EQ(convertFile(gb("头发") + "\n" + gb("头") + "\n" + gb("发") + "\n"),
              big5("頭髮") + "\r\n" + big5("頭") + "\r\n" + big5("發") + "\r\n");
    // Lines stored with CR LF, LF alone, and a CR inside, before each phrase.
    std::string source, expected;
    for (int i = 0; i < 40; ++i) {
        source += gb("头") + (i % 3 == 0 ? "\n" : i % 3 == 1 ? "\r\n" : "\rx\r\n") + gb("头发") + "\r\n";
        expected += big5("頭") + (i % 3 == 2 ? "\rx\r\n" : "\r\n") + big5("頭髮") + "\r\n";
    }
    EXPECT_EQ(convertFile(source), expected);

    // The format run converts each output line on its own: 头发 broken after
    // 头 is 頭 | 發; unbroken, 頭髮.
    formatter.setLineWidth(4);
    formatter.setLeadingSpaces(0);
    formatter.setLineSpacing(0);
    EXPECT_EQ(formatFile(gb("一二三头发。") + "\n"),
              big5("一二三頭") + "\r\n" + big5("發") + "\xA1\x43\r\n");
    formatter.setLineWidth(5);
    EXPECT_EQ(formatFile(gb("一二三头发。") + "\n"),
              big5("一二三頭髮") + "\r\n" + "\xA1\x43\r\n");
}

TEST_F(PhraseRuns, APhraseHidesOnlyItsOwnCharactersFlags) {
    // 瞭 has no GB2312 form, but 簡單明瞭 has one: 简单明了. Whether the run
    // warns depends on the lines where 瞭 stands outside the phrase.
    formatter.setPhrases(1);
    formatter.setSourceEncoding(kSourceBig5);
    formatter.setOutputEncoding(kOutputGb);
    const std::string phrase = big5("簡單明瞭") + "\n";
    const std::string converted = gb("简单明了") + "\r\n";
    std::string many;
    std::string manyConverted;
    for (int i = 0; i < 3000; ++i) {
        many += phrase;
        manyConverted += converted;
    }
    const auto runOn = [&](const std::string& source) {
        testing::writeFile(dir.file("in"), source);
        return formatter.convertFile(dir.file("in").c_str(), dir.file("out").c_str());
    };
    EXPECT_EQ(runOn(many), kSuccess);
    EXPECT_EQ(testing::readFile(dir.file("out")), manyConverted);
    EXPECT_EQ(runOn(many + big5("瞭") + "\n" + many), kUnmappableWarning);
    EXPECT_EQ(testing::readFile(dir.file("out")), manyConverted + "\xA1\xF5\r\n" + manyConverted);
}

}  // namespace
}  // namespace quillon
