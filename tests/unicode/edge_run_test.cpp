// Runs through the Unicode edge: exact bytes out, exact result codes.
#include "edge_run.h"

#include <gtest/gtest.h>

#include <string>

#include "code_point_stream.h"
#include "messages.h"
#include "temp_files.h"
#include "text_formatter.h"

namespace quillon::unicode {
namespace {

using quillon::testing::readFile;
using quillon::testing::TempDir;
using quillon::testing::writeFile;

struct EdgeCase {
    const char* name;
    RunKind kind;
    EdgeRunOptions options;
    std::string source;
    std::string expected;
    RunResult result;
};

void PrintTo(const EdgeCase& c, std::ostream* os) { *os << c.name; }

EdgeRunOptions with(std::int32_t from, std::int32_t to, std::int32_t form = kFormAuto,
                    std::int32_t lineEnds = kLineEndsAuto) {
    EdgeRunOptions options;
    options.sourceEncoding = from;
    options.outputEncoding = to;
    options.form = form;
    options.lineEnds = lineEnds;
    return options;
}

EdgeRunOptions narrowFormat(std::int32_t charsPerLine) {
    EdgeRunOptions options = with(kSourceUtf8, kOutputUtf8);
    options.charsPerLine = charsPerLine;
    options.leadingSpaces = 0;
    options.lineSpacing = 0;
    options.paragraphMode = kParagraphOneLine;
    return options;
}

EdgeRunOptions withPhrases() {
    EdgeRunOptions options = with(kSourceUtf8, kOutputSame);
    options.phrases = 1;
    return options;
}

EdgeRunOptions htmlAware() {
    EdgeRunOptions options = with(kSourceUtf8, kOutputUtf8);
    options.htmlAware = 1;
    return options;
}

// Characters no legacy family holds whole: an emoji, a hanzi of extension B,
// and two that GBK has and Big5 lacks.
constexpr const char* kForeign = "😀𠀀é‰";

class EdgeRuns : public ::testing::TestWithParam<EdgeCase> {
protected:
    static void SetUpTestSuite() {
        setMessageSink([](std::string_view, std::string_view) {});
    }
    static void TearDownTestSuite() { setMessageSink({}); }
};

TEST_P(EdgeRuns, WritesExactBytes) {
    const EdgeCase& c = GetParam();
    TempDir dir;
    writeFile(dir.file("in"), c.source);
    TextFormatter formatter;
    applyOptions(c.options, formatter);
    EXPECT_EQ(runThroughEdge(formatter, c.kind, c.options, dir.file("in").c_str(),
                             dir.file("out").c_str()),
              c.result);
    EXPECT_EQ(readFile(dir.file("out")), c.expected);
}

const std::string kSimplified = "国家的人民，说：“这是为了中国。”\n";
const std::string kTraditional = "國家的人民，說：“這是為了中國。”\n";

EdgeRunOptions withChoices(void (*choose)(EdgeRunOptions&)) {
    EdgeRunOptions options = with(kSourceUtf8, kOutputSame);
    choose(options);
    return options;
}

INSTANTIATE_TEST_SUITE_P(
    Convert, EdgeRuns,
    ::testing::Values(
        EdgeCase{"SimplifiedBecomesTraditional", RunKind::Convert, with(kSourceUtf8, kOutputSame),
                 kSimplified, kTraditional, kSuccess},
        EdgeCase{"TraditionalBecomesSimplified", RunKind::Convert, with(kSourceUtf8, kOutputSame),
                 "國家的人民，說：「這是為了中國。」\n",
                 "国家的人民，说：「这是为了中国。」\n", kSuccess},
        EdgeCase{"AutoDetectedUtf8WithByteOrderMark", RunKind::Convert,
                 with(kSourceAuto, kOutputSame), "\xEF\xBB\xBF" + kSimplified, kTraditional,
                 kSuccess},
        EdgeCase{"FormNamedKeepsIt", RunKind::Convert,
                 with(kSourceUtf8, kOutputUtf8, kFormSimplified), kSimplified, kSimplified,
                 kSuccess},
        EdgeCase{"ForeignCharactersSurviveInSimplifiedText", RunKind::Convert,
                 with(kSourceUtf8, kOutputSame), std::string("国") + kForeign + "后\n",
                 std::string("國") + kForeign + "後\n", kSuccess},
        EdgeCase{"ForeignCharactersSurviveInTraditionalText", RunKind::Convert,
                 with(kSourceUtf8, kOutputSame), std::string("國") + kForeign + "後\n",
                 std::string("国") + kForeign + "后\n", kSuccess},
        EdgeCase{"Utf16LittleEndian", RunKind::Convert, with(kSourceUtf16, kOutputUtf8),
                 std::string("\xFF\xFE\xFD\x56\x0D\x00\x0A\x00", 8), "國\n", kSuccess},
        EdgeCase{"Utf16BigEndianFoundByItsMark", RunKind::Convert, with(kSourceAuto, kOutputUtf8),
                 std::string("\xFE\xFF\x56\xFD\x00\x0A", 6), "國\n", kSuccess},
        EdgeCase{"Utf16WithoutItsMarkIsRefused", RunKind::Convert, with(kSourceUtf16, kOutputUtf8),
                 std::string("\x56\xFD\x00\x0A", 4), "", kSourceUnreadable},
        EdgeCase{"InvalidUtf8BecomesABoxAndNothingAfterIsLost", RunKind::Convert,
                 with(kSourceUtf8, kOutputSame), "ab\xFF\xC3国\n", "ab□□國\n",
                 kInvalidCodeWarning},
        EdgeCase{"LegacyOutputBoxesWhatItCannotHold", RunKind::Convert,
                 with(kSourceUtf8, kOutputBig5), "国😀\n", "\xB0\xEA\xA1\xBC\r\n",
                 kUnmappableWarning},
        EdgeCase{"Gb18030OutputWritesEveryCharacter", RunKind::Convert,
                 with(kSourceUtf8, kOutputGb18030, kFormSimplified), "国😀\n",
                 "\xB9\xFA\x94\x39\xFC\x36\r\n", kSuccess},
        EdgeCase{"Gb18030SourceFoundByItsFourByteCodes", RunKind::Convert,
                 with(kSourceAuto, kOutputSame), "\xB9\xFA\x94\x39\xFC\x36\n", "國😀\n",
                 kSuccess},
        EdgeCase{"LineEndsCrLfOnRequest", RunKind::Convert,
                 with(kSourceUtf8, kOutputSame, kFormAuto, kLineEndsCrLf), "国\r\n国\n",
                 "國\r\n國\r\n", kSuccess},
        EdgeCase{"LoneCarriageReturnStaysText", RunKind::Convert, with(kSourceUtf8, kOutputSame),
                 "国\r国", "國\r國\n", kSuccess},
        EdgeCase{"LegacySourceToUtf8", RunKind::Convert, with(kSourceAuto, kOutputUtf8),
                 "\xB9\xFA\xA3\xAC\r\n", "國，\n", kSuccess},
        EdgeCase{"LegacySourceToUtf8ByPhrase", RunKind::Convert, with(kSourceGb, kOutputUtf8),
                 "\xCD\xB7\xB7\xA2\r\n", "頭髮\n", kSuccess},
        EdgeCase{"LegacySourceToUtf8WithoutPhrases", RunKind::Convert,
                 [] {
                     EdgeRunOptions options = with(kSourceAuto, kOutputUtf8);
                     options.phraseChoice = kPhrasesOff;
                     return options;
                 }(),
                 "\xB9\xFA\xA3\xAC\r\n", "國﹐\n", kSuccess},
        EdgeCase{"LegacyRunWithLfLineEnds", RunKind::Convert,
                 with(kSourceAuto, kOutputSame, kFormAuto, kLineEndsLf), "\xB9\xFA\r\n\xB9\xFA\r",
                 "\xB0\xEA\n\xB0\xEA\n", kSuccess},
        EdgeCase{"PhrasesChooseTheCounterpart", RunKind::Convert, withPhrases(), "头发😀发现\n",
                 "頭髮😀發現\n", kSuccess},
        EdgeCase{"WithoutPhrasesTheTablesConvert", RunKind::Convert,
                 withChoices([](EdgeRunOptions& o) { o.phraseChoice = kPhrasesOff; }), kSimplified,
                 "國家的人民﹐說：“這是為了中國。”\n", kSuccess},
        EdgeCase{"RegionalWordsMayChangeTheLength", RunKind::Convert,
                 withChoices([](EdgeRunOptions& o) { o.regionalWords = 1; }), "内存，软件\n",
                 "記憶體，軟體\n", kSuccess},
        EdgeCase{"OpenccNameChoosesTheChain", RunKind::Convert,
                 withChoices([](EdgeRunOptions& o) { o.opencc = 4; }), "头发里面\n", "頭髮裏面\n",
                 kSuccess},
        EdgeCase{"APhraseThatGrowsBeforeCrLf", RunKind::Convert,
                 withChoices([](EdgeRunOptions& o) {
                     o.regionalWords = 1;
                     o.lineEnds = kLineEndsCrLf;
                 }),
                 "内存\n内存", "記憶體\r\n記憶體\r\n", kSuccess},
        EdgeCase{"Utf16SourceByPhrase", RunKind::Convert, with(kSourceUtf16, kOutputUtf8),
                 std::string("\xFF\xFE\x34\x59\xD1\x53\x0A\x00", 8), "頭髮\n", kSuccess},
        EdgeCase{"DictionaryOutputInGb18030", RunKind::Convert,
                 with(kSourceUtf8, kOutputGb18030, kFormTraditional), "发\n", "\xB0\x6C\r\n",
                 kSuccess},
        EdgeCase{"HanziInsideTagsStayUnconverted", RunKind::Convert, htmlAware(),
                 "<p title=\"国\">国</p>\n", "<p title=\"国\">國</p>\n", kSuccess}));

INSTANTIATE_TEST_SUITE_P(
    Format, EdgeRuns,
    ::testing::Values(
        EdgeCase{"KeepsTheFormAndTheForeignCharacters", RunKind::Format, narrowFormat(-1),
                 std::string("国") + kForeign + "。\n", std::string("国") + kForeign + "。\n",
                 kSuccess},
        EdgeCase{"ForeignCharactersTakeOneDoubleWidthEach", RunKind::Format, narrowFormat(3),
                 "😀😀😀😀😀。\n", "😀😀😀\n😀😀。\n", kSuccess},
        EdgeCase{"TraditionalTextKeepsItsForeignCharacters", RunKind::Format, narrowFormat(-1),
                 std::string("國") + kForeign + "。\n", std::string("國") + kForeign + "。\n",
                 kSuccess},
        EdgeCase{"AsciiOnlyIsNotFormatted", RunKind::Format, narrowFormat(-1), "plain.\n", "",
                 kPlainAsciiSource},
        EdgeCase{"ToTheOtherFormOnRequest", RunKind::Format,
                 [] {
                     EdgeRunOptions options = narrowFormat(-1);
                     options.form = kFormTraditional;
                     return options;
                 }(),
                 "国😀。\n", "國😀。\n", kSuccess}));

// UTF-8 is read 64 KiB at a time; characters and sequences cut there come
// out whole, on the table's way (UTF-8 to UTF-8) and on the engine's (Big5).
constexpr std::size_t kRead = 1 << 16;

std::string cutByRead(std::size_t bytesBefore, const std::string& cut, const std::string& after) {
    return std::string(kRead - bytesBefore, 'a') + cut + after;
}

std::string repeated(const std::string& text, std::size_t times) {
    std::string out;
    for (std::size_t i = 0; i < times; ++i) out += text;
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    AcrossReads, EdgeRuns,
    ::testing::Values(
        EdgeCase{"HanziCut", RunKind::Convert, with(kSourceUtf8, kOutputSame),
                 cutByRead(1, "国", "\n"), cutByRead(1, "國", "\n"), kSuccess},
        EdgeCase{"HanziCutToBig5", RunKind::Convert, with(kSourceUtf8, kOutputBig5),
                 cutByRead(2, "国", "\n"), cutByRead(2, "\xB0\xEA", "\r\n"), kSuccess},
        EdgeCase{"EmojiCut", RunKind::Convert, with(kSourceUtf8, kOutputSame),
                 cutByRead(3, "😀", "国\n"), cutByRead(3, "😀", "國\n"), kSuccess},
        EdgeCase{"EmojiCutToBig5", RunKind::Convert, with(kSourceUtf8, kOutputBig5),
                 cutByRead(1, "😀", "\n"), cutByRead(1, "\xA1\xBC", "\r\n"), kUnmappableWarning},
        EdgeCase{"UnfinishedSequenceAtTheEnd", RunKind::Convert, with(kSourceUtf8, kOutputSame),
                 cutByRead(2, "\xE4\xB8", "b\n"), cutByRead(2, "□", "b\n"), kInvalidCodeWarning},
        EdgeCase{"UnfinishedSequenceAtTheEndToBig5", RunKind::Convert,
                 with(kSourceUtf8, kOutputBig5), cutByRead(2, "\xE4\xB8", "b\n"),
                 cutByRead(2, "\xA1\xBC", "b\r\n"), kInvalidCodeWarning},
        EdgeCase{"CrLfCut", RunKind::Convert, with(kSourceUtf8, kOutputSame),
                 cutByRead(1, "\r\n", "国\n"), cutByRead(1, "\n", "國\n"), kSuccess},
        EdgeCase{"LoneCrAtTheEnd", RunKind::Convert, with(kSourceUtf8, kOutputSame),
                 cutByRead(1, "\r", "国\n"), cutByRead(1, "\r", "國\n"), kSuccess},
        // A long line goes to the engine in pieces of 32,000 bytes (a hanzi
        // takes two); text that ends with a piece gets no line end.
        EdgeCase{"TextEndingWithAPiece", RunKind::Convert, with(kSourceUtf8, kOutputSame),
                 repeated("国", 16000), repeated("國", 16000), kSuccess},
        EdgeCase{"TextEndingPastAPiece", RunKind::Convert, with(kSourceUtf8, kOutputSame),
                 repeated("国", 16001), repeated("國", 16001) + "\n", kSuccess},
        EdgeCase{"CrEndingAPiece", RunKind::Convert, with(kSourceUtf8, kOutputSame),
                 repeated("国", 15999) + "a\r", repeated("國", 15999) + "a\r\n", kSuccess},
        // Lines from ICU go many to a chunk; the carriers keep their places.
        EdgeCase{"CarriersInLaterChunks", RunKind::Convert, with(kSourceUtf16, kOutputUtf8),
                 "\xFF\xFE" + repeated(std::string("\xFD\x56\x3D\xD8\x00\xDE\x0A\x00", 8), 30000),
                 repeated("國😀\n", 30000), kSuccess}));

}  // namespace
}  // namespace quillon::unicode

namespace quillon::unicode {
namespace {

// A format run carries foreign characters under the family's private codes;
// once they are all taken, further characters become boxes with a warning.
TEST(EdgeFormatRun, MoreForeignCharactersThanPrivateCodesEndInBoxes) {
    std::string text;
    constexpr char32_t kFirst = 0x20000;  // hanzi of extension B
    constexpr int kCount = 8000;
    for (char32_t c = kFirst; c < kFirst + kCount; ++c) {
        text += static_cast<char>(0xF0 | (c >> 18));
        text += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    }
    TempDir dir;
    writeFile(dir.file("in"), text + "\n");
    TextFormatter formatter;
    EdgeRunOptions options = narrowFormat(-1);
    options.paragraphMode = kParagraphOneLine;
    applyOptions(options, formatter);
    EXPECT_EQ(runThroughEdge(formatter, RunKind::Format, options, dir.file("in").c_str(),
                             dir.file("out").c_str()),
              kUnmappableWarning);
    const std::string out = readFile(dir.file("out"));
    EXPECT_EQ(out.substr(0, 8), text.substr(0, 8));  // the first ones survive
    EXPECT_EQ(out.substr(out.size() - 4), "□\n");
}

// The detection learnt while looking for Unicode serves its own run only:
// the same formatter on the same path, rewritten, detects afresh.
TEST(EdgeConvertRun, LegacyDetectionServesOneRun) {
    TempDir dir;
    TextFormatter formatter;
    const EdgeRunOptions options = with(kSourceAuto, kOutputDifferent);
    applyOptions(options, formatter);
    ::testing::internal::CaptureStderr();
    writeFile(dir.file("in"), "\xB9\xFA\n");  // GB 国
    EXPECT_EQ(runThroughEdge(formatter, RunKind::Convert, options, dir.file("in").c_str(), dir.file("out").c_str()),
              kSuccess);
    EXPECT_EQ(readFile(dir.file("out")), "\xB0\xEA\r\n");
    writeFile(dir.file("in"), "\xB0\xEA\xA1\x43\n");  // Big5 國。
    std::int32_t id = 0;
    EXPECT_EQ(formatter.detectEncoding(dir.file("in").c_str(), id), kSuccess);
    EXPECT_EQ(id, kBig5Id);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "GB encoding is detected.\nConvert to BIG5 encoding.\n");
}

// A text that shows what it is only past the engine's first read is
// detected in a read of its own first, as every run was before.
TEST(EdgeConvertRun, ATextThatShowsItsEncodingLateIsDetectedFirst) {
    TempDir dir;
    std::string text;
    while (text.size() < 300000) text += "\xA3\xAC\xB9\xFA\n";  // GB ，国: a GB mark a line
    writeFile(dir.file("in"), text + "\x81\x40\n");             // then GBK 丂
    TextFormatter formatter;
    const EdgeRunOptions options = with(kSourceAuto, kOutputDifferent);
    applyOptions(options, formatter);
    ::testing::internal::CaptureStderr();
    const RunResult result =
        runThroughEdge(formatter, RunKind::Convert, options, dir.file("in").c_str(), dir.file("out").c_str());
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "GBK encoding is detected.\nConvert to BIG5 encoding.\n");

    TextFormatter explicitRun;
    explicitRun.setSourceEncoding(kSourceGbk);
    explicitRun.setOutputEncoding(kOutputBig5);
    EXPECT_EQ(result, explicitRun.convertFile(dir.file("in").c_str(), dir.file("expected").c_str()));
    EXPECT_EQ(readFile(dir.file("out")), readFile(dir.file("expected")));
}

// A run that ends before its output is complete leaves the old destination.
TEST(TextSink, ReplacesTheDestinationOnlyWhenClosed) {
    TempDir dir;
    const std::string path = dir.file("out");
    writeFile(path, "old\n");
    {
        TextSink abandoned;
        ASSERT_TRUE(abandoned.open(path.c_str(), "UTF-8"));
        abandoned.writeBytes("new\n", 4);
    }
    EXPECT_EQ(readFile(path), "old\n");
    TextSink sink;
    ASSERT_TRUE(sink.open(path.c_str(), "UTF-8"));
    sink.writeBytes("new\n", 4);
    EXPECT_TRUE(sink.close());
    EXPECT_EQ(readFile(path), "new\n");
}

}  // namespace
}  // namespace quillon::unicode
