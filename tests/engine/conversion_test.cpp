#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "legacy_text.h"
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

std::string repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

struct Converted {
    std::string text;
    bool invalid, unmappable, htmlAborted;
};

Converted convert(TextFormatter& f, std::string text, const EncodingProfile& from,
                  const EncodingProfile& to) {
    f.sawInvalidCode = f.sawUnmappable = f.htmlAborted = 0;
    f.convertLine(text.data(), from, to);
    return {text, f.sawInvalidCode != 0, f.sawUnmappable != 0, f.htmlAborted != 0};
}

TEST(ConvertLine, SameFamilyOrWideningLeavesBytesUntouched) {
    TextFormatter f;
    const std::string junk = "\xB0\x41 \x81\x40 \xFF\xFF\xB0";
    for (auto [from, to] : {std::pair{&GB, &GBK}, {&GB, &GB}, {&BIG5, &BIG5}, {&GBK, &GBK}}) {
        const Converted c = convert(f, junk, *from, *to);
        EXPECT_EQ(c.text, junk) << from->name << "->" << to->name;
        EXPECT_FALSE(c.invalid || c.unmappable);
    }
}

TEST(ConvertLine, TellingCharactersBothWays) {
    TextFormatter f;
    EXPECT_EQ(convert(f, gb("国为，。“"), GB, BIG5).text, "\xB0\xEA\xAC\xB0\xA1\x4D\xA1\x43\xA1\xA7");
    EXPECT_EQ(convert(f, big5("國內，﹐"), BIG5, GB).text, gb("国内，，"));
    EXPECT_EQ(convert(f, "\xF9\xD5", BIG5, GBK).text, "\xFD\x93");  // 龘, GBK-only
    EXPECT_EQ(convert(f, "\x81\x47", GBK, BIG5).text, big5("丟"));
    EXPECT_EQ(convert(f, gb("啊 a1"), GBK, GB).text, gb("啊 a1"));
}

TEST(ConvertLine, ReplacementsAndTheirFlags) {
    TextFormatter f;
    struct Row {
        std::string in;
        const EncodingProfile *from, *to;
        std::string out;
        bool invalid, unmappable;
    };
    const Row rows[] = {
        {"\x81\x40", &GBK, &GB, "\xA1\xF5", false, true},       // 丂 has no GB form
        {"\xA2\xA1", &GBK, &GB, "\xA1\xF5", false, true},       // ⅰ is refused by the GB filter
        {"\xF9\xD5", &BIG5, &GB, "\xA1\xF5", false, true},      // 龘 only in GBK
        {"\xA1\xBC", &BIG5, &GB, "\xA1\xF5", false, false},     // a box stays a box, silently
        {"\xB0\x41", &GB, &BIG5, "\xA1\xBC", true, false},      // trail byte outside GB
        {"\xFE\x51", &GBK, &BIG5, "\xA1\xBC", false, true},     // past the table's end
        {"\x81\x40", &GB, &BIG5, "\xA1\xBC", true, false},      // GBK code in GB text
        {"\xA4\x40", &profiles::PureASC, &GB, "\xA1\xF5", true, false},  // ASCII has no pairs
    };
    for (const Row& row : rows) {
        const Converted c = convert(f, row.in, *row.from, *row.to);
        EXPECT_EQ(c.text, row.out) << row.from->name << "->" << row.to->name;
        EXPECT_EQ(c.invalid, row.invalid) << row.from->name << "->" << row.to->name;
        EXPECT_EQ(c.unmappable, row.unmappable) << row.from->name << "->" << row.to->name;
    }
}

TEST(ConvertLine, LeadByteBeforeTheEndStaysAndIsInvalid) {
    TextFormatter f;
    const Converted c = convert(f, gb("国") + "\xB9", GB, BIG5);
    EXPECT_EQ(c.text, "\xB0\xEA\xB9");
    EXPECT_TRUE(c.invalid);
    std::string buffer = gb("国国");
    f.convertText(buffer.data(), 3, GB, BIG5);  // a bounded range ends mid-character
    EXPECT_EQ(buffer, "\xB0\xEA\xB9\xFA");
}

TEST(ConvertLine, HtmlTagsStayUnconvertedUntilTheyBreak) {
    TextFormatter f;
    f.setHtmlAware(1);
    f.insideTag = 0;
    EXPECT_EQ(convert(f, "<p title=\"" + gb("国") + "\">" + gb("国家") + "</p>", GB, BIG5).text,
              "<p title=\"" + gb("国") + "\">" + big5("國家") + "</p>");
    EXPECT_EQ(convert(f, "<a href=" + gb("国"), GB, BIG5).text, "<a href=" + gb("国"));
    EXPECT_EQ(f.insideTag, 1);  // a tag may span lines
    EXPECT_EQ(convert(f, gb("国") + ">" + gb("国"), GB, BIG5).text, gb("国") + ">" + big5("國"));

    f.sawInvalidCode = f.sawUnmappable = f.htmlAborted = 0;
    std::string broken = gb("国") + "><b " + gb("国") + ">";
    f.convertLine(broken.data(), GB, BIG5);
    EXPECT_EQ(broken, big5("國") + "><b " + big5("國") + ">");
    EXPECT_EQ(f.htmlAborted, 1);
    std::string next = "<i " + gb("国") + ">";  // the rest of the run trusts no tag
    f.convertLine(next.data(), GB, BIG5);
    EXPECT_EQ(next, "<i " + big5("國") + ">");
    EXPECT_EQ(f.htmlAware(), 1);  // the option itself outlives the run
}

class ConvertFile : public ::testing::Test {
protected:
    RunResult run(std::string_view source, std::int32_t from = kSourceAuto,
                  std::int32_t to = kOutputSame) {
        testing::writeFile(dir.file("in"), source);
        formatter.setSourceEncoding(from);
        formatter.setOutputEncoding(to);
        return formatter.convertFile(in().c_str(), out().c_str());
    }
    std::string in() const { return dir.file("in"); }
    std::string out() const { return dir.file("out"); }
    std::string output() const { return testing::readFile(out()); }

    testing::TempDir dir;
    TextFormatter formatter;
};

TEST_F(ConvertFile, SameMeansTheOtherFamilyAndLineEndsBecomeCrLf) {
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(run(gb("国家，") + "\n" + gb("的") + "\r\n\n" + gb("为")), kSuccess);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "GB encoding is detected.\nConvert to BIG5 encoding.\n");
    EXPECT_EQ(output(), big5("國家") + "\xA1\x4D\r\n" + big5("的") + "\r\n\r\n" + big5("為") + "\r\n");
    EXPECT_EQ(formatter.outputEncoding(), 4);
    EXPECT_EQ(formatter.targetProfileId(), kBig5Id);

    ::testing::internal::CaptureStderr();
    EXPECT_EQ(run(big5("國家。的") + "\n"), kSuccess);
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(output(), gb("国家。的") + "\r\n");

    ::testing::internal::CaptureStderr();
    EXPECT_EQ(run("\x81\x40\xA3\xAC\n", kSourceAuto, kOutputSame), kUnmappableWarning);  // GBK 丂，: no Big5 丂
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(output(), "\xA1\xBC\xA1\x4D\r\n");
}

TEST_F(ConvertFile, ResultNamesTheFirstFlagByPrecedence) {
    formatter.setHtmlAware(1);
    EXPECT_EQ(run("\x81\x40 > \xB0\x41\n", kSourceGb, kOutputBig5), kInvalidCodeWarning);
    formatter.setHtmlAware(1);
    EXPECT_EQ(run("\x81\x40 >\n", kSourceGbk, kOutputGb), kUnmappableWarning);
    formatter.setHtmlAware(1);
    EXPECT_EQ(run("a > b\n", kSourceGbk, kOutputBig5), kHtmlAbortedWarning);
    EXPECT_EQ(run("a > b\n", kSourceGbk, kOutputBig5), kHtmlAbortedWarning);  // nothing leaks into the next run
    EXPECT_EQ(run(gb("国") + "\n", kSourceGb, kOutputBig5), kSuccess);  // flags do not outlive a run
}

// Text after an unclosed tag stays unconverted, as inside any tag; the run
// says so instead of passing for complete.
TEST_F(ConvertFile, ATagOpenAtTheEndIsAWarning) {
    const std::string text = "<div " + repeat(gb("国为"), 100) + "\n" + gb("国") + "\n";
    formatter.setHtmlAware(1);
    EXPECT_EQ(run(text, kSourceGb, kOutputBig5), kHtmlAbortedWarning);
    EXPECT_EQ(output(), "<div " + repeat(gb("国为"), 100) + "\r\n" + gb("国") + "\r\n");
    EXPECT_EQ(run("<b>" + gb("国") + "</b>\n", kSourceGb, kOutputBig5), kSuccess);
    EXPECT_EQ(output(), "<b>" + big5("國") + "</b>\r\n");
}

TEST_F(ConvertFile, LongLinesArriveInPiecesThatCutNoCharacter) {
    EXPECT_EQ(run(std::string(40000, 'x') + "\n", kSourceGb, kOutputBig5), kSuccess);
    EXPECT_EQ(output(), std::string(31999, 'x') + "\r\n" + std::string(8001, 'x') + "\r\n");

    const std::string hanzi = repeat(gb("国"), 20000);
    EXPECT_EQ(run(hanzi, kSourceGb, kOutputBig5), kSuccess);
    EXPECT_EQ(output(), repeat(big5("國"), 15999) + "\r\n" + repeat(big5("國"), 4001) + "\r\n");
}

TEST_F(ConvertFile, OddBytesOfTheLine) {
    EXPECT_EQ(run(std::string("ab\0") + gb("国") + "\nef\r", kSourceGb, kOutputBig5), kSuccess);
    // A NUL byte is text like any other; a final lone CR is dropped.
    EXPECT_EQ(output(), std::string("ab\0") + big5("國") + "\r\nef\r\n");
    EXPECT_EQ(run("ab\x1A" "cd\n", kSourceGb, kOutputBig5), kSuccess);
    EXPECT_EQ(output(), "ab\r\n");
    EXPECT_EQ(formatter.endMarkOffset, 2);
    // Counted across the reader's blocks; a 1A that is the last byte cuts nothing.
    EXPECT_EQ(run(std::string(100000, 'x') + "\n\x1A" "cd", kSourceGb, kOutputBig5), kSuccess);
    EXPECT_EQ(formatter.endMarkOffset, 100001);
    EXPECT_EQ(run("ab\n\x1A", kSourceGb, kOutputBig5), kSuccess);
    EXPECT_EQ(formatter.endMarkOffset, -1);
    EXPECT_EQ(run("", kSourceGb, kOutputBig5), kSuccess);
    EXPECT_EQ(output(), "");
}

// Lines that need the reader's attention (CR, a lead byte before the line
// feed, pieces of a long line, 1A) among plain ones, at every distance from
// the reader's and writer's block boundaries: each comes out as its own line.
TEST_F(ConvertFile, AwkwardLinesAmongPlainOnesAcrossBlocks) {
    const std::string guo = gb("国");
    const std::string converted = big5("國");
    struct Line {
        std::string in, out;
    };
    const std::vector<Line> awkward = {
        {guo + "\r\n", converted + "\r\n"},
        {"x\r" + guo + "\n", "x\r" + converted + "\r\n"},
        {repeat(guo, 20000) + "\n", repeat(converted, 15999) + "\r\n" + repeat(converted, 4001) + "\r\n"},
        {std::string(31998, 'y') + "\n", std::string(31998, 'y') + "\r\n"},
        {std::string(31999, 'y') + "\n", std::string(31999, 'y') + "\r\n\r\n"},
    };
    for (const bool loneLeads : {false, true}) {
        std::string in, out;
        unsigned state = 1;
        for (int i = 0; in.size() < 1500000; ++i) {
            state = state * 1103515245u + 12345u;
            const int hanzi = int(state >> 16) % 40;
            in += repeat(guo, hanzi) + std::string(i % 3, 'a') + "\n";
            out += repeat(converted, hanzi) + std::string(i % 3, 'a') + "\r\n";
            if (i % 500 == 0) {
                in += awkward[i / 500 % awkward.size()].in;
                out += awkward[i / 500 % awkward.size()].out;
            }
            if (loneLeads && i % 700 == 0) {
                in += "a\xB9\n";
                out += "a\xB9\r\n";
            }
        }
        EXPECT_EQ(run(in + guo + "\x1A" + guo + "\n", kSourceGb, kOutputBig5),
                  loneLeads ? kInvalidCodeWarning : kSuccess);
        EXPECT_TRUE(output() == out + converted + "\r\n");  // no megabytes of diff
        EXPECT_EQ(formatter.endMarkOffset, std::int64_t(in.size() + 2));
    }
}

TEST_F(ConvertFile, PlainAsciiPassesUnchanged) {
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(run("Hello, world.\n"), kSuccess);
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(output(), "Hello, world.\r\n");
}

TEST_F(ConvertFile, FileErrorsStopTheRun) {
    formatter.setSourceEncoding(kSourceGb);
    EXPECT_EQ(formatter.convertFile(dir.file("missing").c_str(), out().c_str()), kSourceUnreadable);
    EXPECT_EQ(formatter.systemError, ENOENT);
    EXPECT_FALSE(std::filesystem::exists(out()));
    EXPECT_EQ(formatter.convertFile(dir.path().c_str(), out().c_str()), kSourceUnreadable);
    EXPECT_EQ(formatter.systemError, EISDIR);

    testing::writeFile(in(), "abc\n");
    EXPECT_EQ(formatter.convertFile(in().c_str(), dir.file("no/such/out").c_str()),
              kDestinationUnwritable);
    EXPECT_EQ(formatter.convertFile(in().c_str(), dir.path().c_str()), kDestinationUnwritable);
    // A full disk is no success.
    EXPECT_EQ(formatter.convertFile(in().c_str(), "/dev/full"), kDestinationUnwritable);
    EXPECT_EQ(testing::readFile(in()), "abc\n");
}

}  // namespace
}  // namespace quillon
