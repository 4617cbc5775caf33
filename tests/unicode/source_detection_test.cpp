// What the edge tells of a source before any run: its Unicode encoding, its
// written form and its line ends.
#include "source_detection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "run_options.h"
#include "source_judge.h"
#include "temp_files.h"
#include "text_formatter.h"

namespace quillon::unicode {
namespace {

using quillon::testing::TempDir;
using quillon::testing::writeFile;

struct DetectionCase {
    const char* name;
    std::string bytes;
    UnicodeEncoding encoding;
};

void PrintTo(const DetectionCase& c, std::ostream* os) { *os << c.name; }

class UnicodeDetection : public ::testing::TestWithParam<DetectionCase> {};

TEST_P(UnicodeDetection, NamesTheEncoding) {
    TempDir dir;
    writeFile(dir.file("f"), GetParam().bytes);
    EXPECT_EQ(detectUnicodeEncoding(dir.file("f").c_str()), GetParam().encoding);
}

INSTANTIATE_TEST_SUITE_P(
    Sources, UnicodeDetection,
    ::testing::Values(
        DetectionCase{"Utf8Mark", "\xEF\xBB\xBF" "abc", UnicodeEncoding::Utf8},
        DetectionCase{"Utf16LeMark", "\xFF\xFE" "a", UnicodeEncoding::Utf16Le},
        DetectionCase{"Utf16BeMark", "\xFE\xFF", UnicodeEncoding::Utf16Be},
        DetectionCase{"ValidUtf8", "国家 é", UnicodeEncoding::Utf8},
        DetectionCase{"PureAsciiIsNotUtf8", "plain text\r\n", UnicodeEncoding::None},
        DetectionCase{"EmptyFile", "", UnicodeEncoding::None},
        DetectionCase{"OneInvalidSequenceRulesUtf8Out", "国家\xFF", UnicodeEncoding::None},
        DetectionCase{"CutSequenceAtTheEnd", "国\xE5\x9B", UnicodeEncoding::None},
        DetectionCase{"SurrogateEncodedInUtf8", "\xED\xA0\x80", UnicodeEncoding::None},
        DetectionCase{"OverlongForm", "\xC0\xAF", UnicodeEncoding::None},
        DetectionCase{"GbText", "\xB9\xFA\xBC\xD2", UnicodeEncoding::None},
        DetectionCase{"Big5Text", "\xB0\xEA\xA4\x40", UnicodeEncoding::None},
        DetectionCase{"Gb18030FourByteCode", "\xB9\xFA\x94\x39\xFC\x36", UnicodeEncoding::Gb18030},
        DetectionCase{"Gb18030CutFourByteCode", "\xB9\xFA\x94\x39\xFC", UnicodeEncoding::None},
        DetectionCase{"Gb18030OutsideMappedRange", "\x85\x30\x81\x30", UnicodeEncoding::None}));

// The tail of a text after GB hanzi that bring it to every offset across
// the sixty-four-byte steps of the scan: the answer is that of the tail, and
// the legacy profile learnt in the same pass is what the engine's own
// detection finds.
TEST(UnicodeDetection, TailsAtEveryOffsetAndTheLegacyProfileAlongside) {
    struct Tail {
        std::string bytes;
        UnicodeEncoding encoding;
    };
    const Tail tails[] = {
        {"\x94\x39\xFC\x36\xB9\xFA\n", UnicodeEncoding::Gb18030},
        {"\x94\x39\xFC", UnicodeEncoding::None},
        {"\x85\x30\x81\x30", UnicodeEncoding::None},
        {"\xA4\x40\xA1\x41" + std::string(100, 'a') + "\xA1\x41", UnicodeEncoding::None},  // Big5
        {"\x81\x40\xA3\xAC", UnicodeEncoding::None},                                      // GBK
        {"\x1A\x81\x40", UnicodeEncoding::None},  // the legacy scan stops at 1A
        {"\x1A\x94\x39\xFC\x36", UnicodeEncoding::Gb18030},  // the Unicode checks do not
        {"\xFF\xA1", UnicodeEncoding::None},
        {"\x80\x40\xB9\xFA", UnicodeEncoding::None},
        {"\xB9\n\xB9\x7F", UnicodeEncoding::None},
        {"", UnicodeEncoding::None},
    };
    TempDir dir;
    const std::string path = dir.file("f");
    for (const Tail& tail : tails) {
        for (int offset = 0; offset < 140; ++offset) {
            std::string text(offset % 2, 'a');
            for (int i = 0; i < offset / 2; ++i) text += "\xB9\xFA";
            writeFile(path, text + tail.bytes);
            std::int32_t legacy = -1;
            ASSERT_EQ(detectUnicodeEncoding(path.c_str(), &legacy), tail.encoding) << offset << " " << tail.bytes;
            if (tail.encoding != UnicodeEncoding::None) {
                EXPECT_EQ(legacy, 0);
                continue;
            }
            TextFormatter formatter;
            std::int32_t expected = 0;
            ASSERT_EQ(formatter.detectEncoding(path.c_str(), expected), kSuccess);
            ASSERT_EQ(legacy, expected) << offset << " " << tail.bytes;
        }
    }
}

// What the judge of a run that reads its source once gives `bytes` read in
// blocks of `size`.
std::int32_t judgedInBlocks(std::string_view bytes, std::size_t size) {
    const std::unique_ptr<SourceJudge> judge = makeOneReadJudge();
    const auto* const data = reinterpret_cast<const unsigned char*>(bytes.data());
    for (std::size_t at = 0; at < bytes.size(); at += size) {
        if (!judge->add({data + at, std::min(size, bytes.size() - at)})) break;
    }
    return judge->verdict();
}

// The judge gives what detection gives, the legacy profile of a text in no
// Unicode encoding, or nothing: always when a 1A stops the run's reading
// before detection's, and whenever a later block shows that detection needs
// a deeper pass than the first block did.
TEST(OneReadJudge, GivesWhatDetectionGivesOrNothing) {
    const std::string tails[] = {
        "\x94\x39\xFC\x36\xB9\xFA\n", "\x94\x39\xFC", "\x85\x30\x81\x30",
        "\xA4\x40\xA1\x41" + std::string(100, 'a') + "\xA1\x41", "\x81\x40\xA3\xAC", "\x1A\x81\x40",
        "\xFF\xA1", "\x80\x40\xB9\xFA", "\xB9\n\xB9\x7F", "国家", "\xEF\xBB\xBF" "abc", "",
    };
    TempDir dir;
    const std::string path = dir.file("f");
    for (const std::string& tail : tails) {
        for (int offset = 0; offset < 70; ++offset) {
            std::string text(offset % 2, 'a');
            for (int i = 0; i < offset / 2; ++i) text += "\xB9\xFA";
            text += tail;
            writeFile(path, text);
            std::int32_t legacy = -1;
            const std::optional<UnicodeEncoding> found = detectUnicodeEncoding(path.c_str(), &legacy);
            ASSERT_TRUE(found);
            const std::int32_t expected = *found == UnicodeEncoding::None ? legacy : 0;
            const bool stopsEarly = tail.find('\x1A') != std::string::npos;
            // An empty source gives the judge no block to go on.
            EXPECT_EQ(judgedInBlocks(text, text.size()), stopsEarly || text.empty() ? 0 : expected)
                << offset << " " << tail;
            for (const std::size_t size : {2u, 7u, 64u}) {
                const std::int32_t judged = judgedInBlocks(text, size);
                EXPECT_TRUE(judged == 0 || judged == expected) << size << " " << offset << " " << tail;
            }
        }
    }
}

TEST(OneReadJudge, NeedsTheFirstBlockToShowHowDeepToLook) {
    const std::string gb = "\xB9\xFA\xB9\xFA";
    EXPECT_EQ(judgedInBlocks(gb + gb, 4), kGbId);
    EXPECT_EQ(judgedInBlocks(gb + "\x81\x40", 4), 0);        // a GBK code after the first block
    EXPECT_EQ(judgedInBlocks("\x81\x40\xA3\xAC\xB5\xC4", 2), kGbkId);  // marks counted from the start
    EXPECT_EQ(judgedInBlocks("\xA4\x40\xA1\x41", 2), kBig5Id);
    EXPECT_EQ(judgedInBlocks("\xA4\x40\xA1\x41\x94\x39\xFC\x36", 4), 0);  // a four-byte code later
}

// The judge leaves pairs with a byte below A1 to the run only when nothing
// else could change its verdict; a 1A stays its own to see.
TEST(OneReadJudge, LeavesLowBytesToTheRunOnlyForGbText) {
    const auto judgeAfter = [](std::string_view first) {
        std::unique_ptr<SourceJudge> judge = makeOneReadJudge();
        judge->add({reinterpret_cast<const unsigned char*>(first.data()), first.size()});
        return judge;
    };
    const auto add = [](SourceJudge& judge, std::string_view block) {
        return judge.add({reinterpret_cast<const unsigned char*>(block.data()), block.size()});
    };
    EXPECT_FALSE(judgeAfter("\xA4\x40\xA1\x41")->leaveLowBytesToRun());  // Big5: the marks decide
    EXPECT_FALSE(judgeAfter("abc")->leaveLowBytesToRun());                 // may still be UTF-8
    EXPECT_FALSE(judgeAfter("\xE5\x9B\xBD")->leaveLowBytesToRun());       // UTF-8

    const std::unique_ptr<SourceJudge> gb = judgeAfter("\xB9\xFA\n");
    ASSERT_TRUE(gb->leaveLowBytesToRun());
    EXPECT_TRUE(add(*gb, "\x81\x40"));  // the run's to find
    EXPECT_EQ(gb->verdict(), kGbId);
    EXPECT_FALSE(add(*gb, "\xB9\xFA\x1A"));
    EXPECT_EQ(gb->verdict(), 0);
}

struct DescriptionCase {
    const char* name;
    std::string bytes;
    std::string encoding;
    Form form;
    LineEndStyle lineEnds;
};

void PrintTo(const DescriptionCase& c, std::ostream* os) { *os << c.name; }

class SourceDescriptions : public ::testing::TestWithParam<DescriptionCase> {};

TEST_P(SourceDescriptions, TellEncodingFormAndLineEnds) {
    const DescriptionCase& c = GetParam();
    TempDir dir;
    writeFile(dir.file("f"), c.bytes);
    const std::optional<SourceDescription> found = describeSource(dir.file("f").c_str());
    ASSERT_TRUE(found);
    EXPECT_EQ(found->encoding, c.encoding);
    EXPECT_EQ(found->form, c.form);
    EXPECT_EQ(found->lineEnds, c.lineEnds);
}

INSTANTIATE_TEST_SUITE_P(
    Files, SourceDescriptions,
    ::testing::Values(
        DescriptionCase{"GbSimplified", "\xB9\xFA\xBC\xD2\r\n", "GB", Form::Simplified, LineEndStyle::CrLf},
        DescriptionCase{"Big5Traditional", "\xB0\xEA\xAE\x61\xA4\x40\n", "BIG5", Form::Traditional,
                        LineEndStyle::Lf},
        // GBK holds traditional characters too: the characters tell the form.
        DescriptionCase{"GbkTraditional", "\x87\xF8\xA3\xAC\x81\x40\n", "GBK", Form::Traditional,
                        LineEndStyle::Lf},
        DescriptionCase{"Ascii", "text", "PureASC", Form::None, LineEndStyle::None},
        DescriptionCase{"Utf8Mixed", "国\n國\r\n后", "UTF-8", Form::Simplified, LineEndStyle::Mixed},
        DescriptionCase{"SharedCharactersTellNothing", "一后干\n", "UTF-8", Form::None,
                        LineEndStyle::Lf},
        DescriptionCase{"Utf16Le", std::string("\xFF\xFE\xFD\x56\x0D\x00\x0A\x00", 8), "UTF-16LE",
                        Form::Simplified, LineEndStyle::CrLf},
        DescriptionCase{"Gb18030", "\xB9\xFA\x94\x39\xFC\x36", "GB18030", Form::Simplified,
                        LineEndStyle::None}));

TEST(SourceDescription, UnreadableFileHasNone) {
    TempDir dir;
    EXPECT_FALSE(describeSource(dir.file("missing").c_str()));
    EXPECT_FALSE(describeSource(dir.path().c_str()));
    EXPECT_FALSE(detectUnicodeEncoding(dir.path().c_str()));
}

}  // namespace
}  // namespace quillon::unicode
