// Runs through the Unicode edge: exact bytes out, exact result codes.
#include "edge_run.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include <string>

#include "code_point_stream.h"
#include "feeding_pipe.h"
#include "legacy_text.h"
#include "repeated_text.h"
#include "temp_files.h"
#include "text_formatter.h"
#include "utf8_input.h"

namespace quillon::unicode {
namespace {

using quillon::testing::FeedingPipe;
using quillon::testing::readFile;
using quillon::testing::TempDir;
using quillon::testing::writeFile;
using quillon::testing::repeated;

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

std::string hanziRuns() {
    std::string text;
    for (int length = 1; length <= 9; ++length) {
        for (int i = 0; i < length; ++i) text += "中";
        text += "ꀀ";  // U+A000
    }
    return text + "。\n";
}

class EdgeRuns : public ::testing::TestWithParam<EdgeCase> {};

TEST_P(EdgeRuns, WritesExactBytes) {
    const EdgeCase& c = GetParam();
    TempDir dir;
    writeFile(dir.file("in"), c.source);
    TextFormatter formatter;
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
                 with(kSourceAuto, kOutputSame), "\xEF\xBB\xBF" + kSimplified, "\xEF\xBB\xBF" + kTraditional,
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
                 std::string("\xFF\xFE\xFD\x56\x0D\x00\x0A\x00", 8), "\xEF\xBB\xBF國\n", kSuccess},
        EdgeCase{"Utf16BigEndianFoundByItsMark", RunKind::Convert, with(kSourceAuto, kOutputUtf8),
                 std::string("\xFE\xFF\x56\xFD\x00\x0A", 6), "\xEF\xBB\xBF國\n", kSuccess},
        EdgeCase{"Utf16WithoutItsMarkIsRefused", RunKind::Convert, with(kSourceUtf16, kOutputUtf8),
                 std::string("\x56\xFD\x00\x0A", 4), "", kSourceUnreadable},
        EdgeCase{"NulBytesMarkAFileThatIsNoText", RunKind::Convert, with(kSourceUtf8, kOutputUtf8),
                 std::string("\xE5\x9B\xBD\0\n", 5), "", kSourceNotText},
        EdgeCase{"NulUnitMarksUtf16ThatIsNoText", RunKind::Convert, with(kSourceAuto, kOutputUtf8),
                 std::string("\xFF\xFE\xFD\x56\x00\x00\x0A\x00", 8), "", kSourceNotText},
        EdgeCase{"GbPairOnlyGbkHoldsIsInvalidInUtf8", RunKind::Convert, with(kSourceGb, kOutputUtf8),
                 "x\xB0\x41y\r\n", "x□y\n", kInvalidCodeWarning},
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
                 "国\r国", "國\r國", kSuccess},
        EdgeCase{"LegacySourceToUtf8", RunKind::Convert, with(kSourceAuto, kOutputUtf8),
                 "\xB9\xFA\xA3\xAC\r\n", "國，\n", kSuccess},
        EdgeCase{"LegacySourceToUtf8ByPhrase", RunKind::Convert, with(kSourceGb, kOutputUtf8),
                 "\xCD\xB7\xB7\xA2\r\n", "頭髮\n", kSuccess},
        EdgeCase{"LegacySourceToUtf8WithoutPhrases", RunKind::Convert,
                 [] {
                     EdgeRunOptions options = with(kSourceAuto, kOutputUtf8);
                     options.phraseChoice = kChoiceOff;
                     return options;
                 }(),
                 "\xB9\xFA\xA3\xAC\r\n", "國，\n", kSuccess},
        EdgeCase{"LegacyRunWithLfLineEnds", RunKind::Convert,
                 with(kSourceAuto, kOutputSame, kFormAuto, kLineEndsLf), "\xB9\xFA\r\n\xB9\xFA\r",
                 "\xB0\xEA\n\xB0\xEA\n", kSuccess},
        EdgeCase{"PhrasesChooseTheCounterpart", RunKind::Convert, withPhrases(), "头发😀发现\n",
                 "頭髮😀發現\n", kSuccess},
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
                 "内存\n内存", "記憶體\r\n記憶體", kSuccess},
        EdgeCase{"Utf16SourceByPhrase", RunKind::Convert, with(kSourceUtf16, kOutputUtf8),
                 std::string("\xFF\xFE\x34\x59\xD1\x53\x0A\x00", 8), "\xEF\xBB\xBF頭髮\n", kSuccess},
        EdgeCase{"DictionaryOutputInGb18030", RunKind::Convert,
                 with(kSourceUtf8, kOutputGb18030, kFormTraditional), "发\n", "\xB0\x6C\r\n",
                 kSuccess},
        EdgeCase{"HanziInsideTagsStayUnconverted", RunKind::Convert, htmlAware(),
                 "<p title=\"国\">国</p>\n", "<p title=\"国\">國</p>\n", kSuccess},
        EdgeCase{"TagTextInLegacyOutputIsInItsEncoding", RunKind::Convert,
                 [] {
                     EdgeRunOptions options = htmlAware();
                     options.outputEncoding = kOutputBig5;
                     return options;
                 }(),
                 "<a title=\"国家\">国</a>\n", "<a title=\"\xA1\xBC\xAE\x61\">\xB0\xEA</a>\r\n",
                 kUnmappableWarning},
        // Only the first byte-order mark is one: a second is text, as in every encoding.
        EdgeCase{"SecondUtf8ByteOrderMarkIsText", RunKind::Convert,
                 with(kSourceUtf8, kOutputUtf8, kFormSimplified), "\xEF\xBB\xBF\xEF\xBB\xBF国\n",
                 "\xEF\xBB\xBF\xEF\xBB\xBF国\n", kSuccess},
        EdgeCase{"SecondUtf16ByteOrderMarkIsText", RunKind::Convert,
                 with(kSourceUtf16, kOutputUtf8, kFormSimplified),
                 std::string("\xFF\xFE\xFF\xFE\xFD\x56\x0A\x00", 8), "\xEF\xBB\xBF\xEF\xBB\xBF国\n",
                 kSuccess}));

// Codes of a legacy source that stand for no character: a box and a warning
// in Unicode output, never U+FFFD or a private-use character.
INSTANTIATE_TEST_SUITE_P(
    InvalidLegacyCodes, EdgeRuns,
    ::testing::Values(
        EdgeCase{"Big5TrailBelowItsRange", RunKind::Convert,
                 with(kSourceBig5, kOutputUtf8, kFormTraditional),
                 "\xA4\xA4\xA4\xE5\xA1\x30\xA4\xA4\xA4\xE5\n", "中文□中文\n", kInvalidCodeWarning},
        EdgeCase{"GbPrivateUseCodeInFormat", RunKind::Format,
                 [] {
                     EdgeRunOptions options = narrowFormat(-1);
                     options.sourceEncoding = kSourceGb;
                     return options;
                 }(),
                 "\xD6\xD0\xCE\xC4\xAA\xA1\xD6\xD0\xCE\xC4\xA1\xA3\n", "中文□中文。\n",
                 kInvalidCodeWarning}));

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
        // Three bytes that spell a character of fewer (· and α) or a
        // surrogate are invalid, each byte a box, in a run or alone.
        EdgeCase{"OverlongAndSurrogateSequencesAreBoxed", RunKind::Format, narrowFormat(-1),
                 "中\xE0\x82\xB7\xE0\x8E\xB1中\xE0\x82\xB7x\xED\xA0\x80\xED\xA0\x80中中中中中\xE0\x82\xB7中。\n",
                 "中□□□□□□中□□□x□□□□□□中中中中中□□□中。\n", kInvalidCodeWarning},
        // Runs of every length up to nine, each ended by a character of three
        // bytes that no family holds.
        EdgeCase{"RunsOfHanziEndedByAForeignCharacter", RunKind::Format, narrowFormat(-1), hanziRuns(),
                 hanziRuns(), kSuccess},
        EdgeCase{"AsciiOnlyIsNotFormatted", RunKind::Format, narrowFormat(-1), "plain.\n", "",
                 kPlainAsciiSource},
        EdgeCase{"ToTheOtherFormOnRequest", RunKind::Format,
                 [] {
                     EdgeRunOptions options = narrowFormat(-1);
                     options.form = kFormTraditional;
                     return options;
                 }(),
                 "国😀。\n", "國😀。\n", kSuccess}));

EdgeRunOptions traditionalFormat(std::int32_t from, std::int32_t phraseChoice) {
    EdgeRunOptions options = narrowFormat(-1);
    options.sourceEncoding = from;
    options.form = kFormTraditional;
    options.phraseChoice = phraseChoice;
    return options;
}

// What a format run writes itself takes the normal full-width forms in
// Unicode output, never the small forms (U+FE50 on) of the Big5 family;
// what the source had comes out as it was.
INSTANTIATE_TEST_SUITE_P(
    FormatPunctuation, EdgeRuns,
    ::testing::Values(
        EdgeCase{"ByPhrase", RunKind::Format, traditionalFormat(kSourceUtf8, kChoiceByRun),
                 "他说,\"头发\"!\n", "他說，“頭髮”！\n", kSuccess},
        EdgeCase{"ByTable", RunKind::Format, traditionalFormat(kSourceUtf8, kChoiceOff),
                 "他说,\"头发\"!\n", "他說，“頭發”！\n", kSuccess},
        EdgeCase{"SmallFormsOfTheSourceStay", RunKind::Format,
                 traditionalFormat(kSourceUtf8, kChoiceOff), "他说﹐你好,\n", "他說﹐你好，\n",
                 kSuccess},
        EdgeCase{"GbSourceByPhrase", RunKind::Format, traditionalFormat(kSourceGb, kChoiceByRun),
                 "\xCB\xFB\xCB\xB5,\"\xCD\xB7\xB7\xA2\"!\r\n", "他說，“頭髮”！\n", kSuccess},
        EdgeCase{"GbSourceByTable", RunKind::Format, traditionalFormat(kSourceGb, kChoiceOff),
                 "\xCB\xFB\xCB\xB5,\"\xCD\xB7\xB7\xA2\"!\r\n", "他說，“頭發”！\n", kSuccess},
        EdgeCase{"TraditionalSourceKeepsItsForm", RunKind::Format, narrowFormat(-1),
                 "他說,\"你好\"!我、們?\n", "他說，“你好”！我、們？\n", kSuccess}));

EdgeRunOptions byTable(std::int32_t from, std::int32_t to, std::int32_t form = kFormAuto) {
    EdgeRunOptions options = with(from, to, form);
    options.phraseChoice = kChoiceOff;
    return options;
}

// A Unicode source chooses by phrase into GB, GBK and Big5 output too,
// unless told not to; there the built-in lists keep each character's width.
INSTANTIATE_TEST_SUITE_P(
    UnicodeSourceToLegacyOutput, EdgeRuns,
    ::testing::Values(
        EdgeCase{"ByPhrase", RunKind::Convert, with(kSourceUtf8, kOutputBig5), "头发干净\n",
                 "\xC0\x59\xBE\x76\xB0\xAE\xB2\x62\r\n", kSuccess},
        EdgeCase{"DetectedByPhrase", RunKind::Convert, with(kSourceAuto, kOutputBig5), "头发干净\n",
                 "\xC0\x59\xBE\x76\xB0\xAE\xB2\x62\r\n", kSuccess},
        EdgeCase{"ByTableOnRequest", RunKind::Convert,
                 byTable(kSourceUtf8, kOutputBig5), "头发干净\n",
                 "\xC0\x59\xB5\x6F\xB7\x46\xB2\x62\r\n", kSuccess},
        EdgeCase{"FormatByPhrase", RunKind::Format,
                 [] {
                     EdgeRunOptions options = narrowFormat(-1);
                     options.outputEncoding = kOutputBig5;
                     return options;
                 }(),
                 "头发干净\n", "\xC0\x59\xBE\x76\xB0\xAE\xB2\x62\r\n", kSuccess}));

// Unicode output converted by the table, on every way a run may take:
// hanzi change their form, marks stay as the source had them (never the
// other family's forms, such as the small comma U+FE50 for a GB comma).
INSTANTIATE_TEST_SUITE_P(
    UnicodeOutputByTable, EdgeRuns,
    ::testing::Values(
        EdgeCase{"Utf8ToTraditional", RunKind::Convert, byTable(kSourceUtf8, kOutputSame),
                 "他说，你好、头发？！\n", "他說，你好、頭發？！\n", kSuccess},
        EdgeCase{"Utf8ToSimplified", RunKind::Convert, byTable(kSourceUtf8, kOutputSame),
                 "頭髮‧對﹔，\n", "头发‧对﹔，\n", kSuccess},
        EdgeCase{"Utf8ToGb18030", RunKind::Convert, byTable(kSourceUtf8, kOutputGb18030),
                 "他说，你好、头发？！\n",
                 "\xCB\xFB\xD5\x66\xA3\xAC\xC4\xE3\xBA\xC3\xA1\xA2\xEE\x5E\xB0\x6C\xA3\xBF\xA3\xA1\r\n",
                 kSuccess},
        EdgeCase{"Utf8WithTags", RunKind::Convert,
                 [] {
                     EdgeRunOptions options = byTable(kSourceUtf8, kOutputSame);
                     options.htmlAware = 1;
                     return options;
                 }(),
                 "<b>他说，头发？</b>\n", "<b>他說，頭發？</b>\n", kSuccess},
        EdgeCase{"Utf16ToUtf8", RunKind::Convert, byTable(kSourceUtf16, kOutputUtf8),
                 std::string("\xFF\xFE\xD6\x4E\xF4\x8B\x0C\xFF\x34\x59\xD1\x53\x1F\xFF\x0A\x00", 16),
                 "\xEF\xBB\xBF他說，頭發？\n", kSuccess},  // the source's mark kept
        EdgeCase{"GbToUtf8", RunKind::Convert, byTable(kSourceGb, kOutputUtf8, kFormTraditional),
                 "\xCB\xFB\xCB\xB5\xA3\xAC\xC4\xE3\xBA\xC3\xA1\xA2\xCD\xB7\xB7\xA2\xA3\xBF\xA3\xA1\r\n",
                 "他說，你好、頭發？！\n", kSuccess},
        EdgeCase{"Big5ToUtf8", RunKind::Convert, byTable(kSourceBig5, kOutputUtf8, kFormSimplified),
                 "\xC0\x59\xBE\x76\xA1\x45\xB9\xEF\xA1\x51\xA1\x41\r\n", "头发‧对﹔，\n",
                 kSuccess}));

EdgeRunOptions htmlFrom(std::int32_t from, std::int32_t to) {
    EdgeRunOptions options = with(from, to);
    options.htmlAware = 1;
    return options;
}

// Text inside tags comes out as the source had it in Unicode output.
INSTANTIATE_TEST_SUITE_P(
    Html, EdgeRuns,
    ::testing::Values(
        EdgeCase{"GbAttributeInUtf8", RunKind::Convert, htmlFrom(kSourceGb, kOutputUtf8),
                 "<p class=\"\xC8\xED\xBC\xFE\">\xC8\xED\xBC\xFE</p>\r\n",
                 "<p class=\"软件\">軟件</p>\n", kSuccess},
        EdgeCase{"Big5AttributeInUtf8", RunKind::Convert, htmlFrom(kSourceBig5, kOutputUtf8),
                 "<p class=\"\xB3\x6E\xA5\xF3\">\xB3\x6E\xA5\xF3</p>\r\n",
                 "<p class=\"軟件\">软件</p>\n", kSuccess},
        // A <meta> tag names the encoding written.
        EdgeCase{"MetaCharsetInUtf8", RunKind::Convert, htmlFrom(kSourceGb, kOutputUtf8),
                 "<meta charset=\"gb2312\">\xC8\xED\r\n", "<meta charset=\"utf-8\">軟\n", kSuccess},
        EdgeCase{"MetaContentTypeInBig5", RunKind::Convert, htmlFrom(kSourceGb, kOutputDifferent),
                 "<META http-equiv=\"Content-Type\" content=\"text/html; charset=GB2312\">\xC8\xED\r\n",
                 "<META http-equiv=\"Content-Type\" content=\"text/html; charset=big5\">\xB3\x6E\r\n",
                 kSuccess},
        EdgeCase{"MetaCharsetOfAUnicodeSourceInGbk", RunKind::Convert, htmlFrom(kSourceUtf8, kOutputGbk),
                 "<meta charset='utf-8'>軟\n", "<meta charset='gbk'>\xC8\xED\r\n", kSuccess},
        EdgeCase{"MetaCharsetInGb18030", RunKind::Convert, htmlFrom(kSourceUtf8, kOutputGb18030),
                 "<meta charset=utf-8>軟\n", "<meta charset=gb18030>\xC8\xED\r\n", kSuccess},
        EdgeCase{"MetaCharsetAlreadyRight", RunKind::Convert, htmlFrom(kSourceUtf8, kOutputUtf8),
                 "<meta charset=\"UTF-8\">軟\n", "<meta charset=\"UTF-8\">软\n", kSuccess},
        EdgeCase{"WithoutHtmlTheMetaStays", RunKind::Convert, with(kSourceGb, kOutputDifferent),
                 "<meta charset=\"gb2312\">\r\n", "<meta charset=\"gb2312\">\r\n", kSuccess}));

EdgeRunOptions markedAs(std::int32_t from, std::int32_t to, std::int32_t mark) {
    EdgeRunOptions options = with(from, to, kFormSimplified);
    options.byteOrderMark = mark;
    return options;
}

// UTF-16 output in either byte order (CR LF ends its lines, as in all output
// but UTF-8), and the byte-order mark of Unicode output: kept as the source
// had it, added, or dropped.
INSTANTIATE_TEST_SUITE_P(
    ByteOrderMarks, EdgeRuns,
    ::testing::Values(
        EdgeCase{"Utf16IsLittleEndianWithItsMark", RunKind::Convert, markedAs(kSourceUtf8, kOutputUtf16, kMarkKeep),
                 "国\n", std::string("\xFF\xFE\xFD\x56\x0D\x00\x0A\x00", 8), kSuccess},
        EdgeCase{"Utf16LeKeepsTheSourcesNone", RunKind::Convert, markedAs(kSourceUtf8, kOutputUtf16Le, kMarkKeep),
                 "国\n", std::string("\xFD\x56\x0D\x00\x0A\x00", 6), kSuccess},
        EdgeCase{"Utf16BeKeepsTheSourcesMark", RunKind::Convert, markedAs(kSourceUtf8, kOutputUtf16Be, kMarkKeep),
                 "\xEF\xBB\xBF国\n", std::string("\xFE\xFF\x56\xFD\x00\x0D\x00\x0A", 8), kSuccess},
        EdgeCase{"Utf16DropsItsMarkWhenAsked", RunKind::Convert, markedAs(kSourceUtf8, kOutputUtf16, kMarkDrop),
                 "国\n", std::string("\xFD\x56\x0D\x00\x0A\x00", 6), kSuccess},
        EdgeCase{"Utf16KeepsTheCharactersBeyondTheBmp", RunKind::Convert,
                 markedAs(kSourceUtf8, kOutputUtf16Le, kMarkKeep), "😀\n",
                 std::string("\x3D\xD8\x00\xDE\x0D\x00\x0A\x00", 8), kSuccess},
        EdgeCase{"Utf8GetsAMarkWhenAsked", RunKind::Convert, markedAs(kSourceUtf8, kOutputUtf8, kMarkAdd), "国\n",
                 "\xEF\xBB\xBF国\n", kSuccess},
        EdgeCase{"Utf8DropsTheSourcesMark", RunKind::Convert, markedAs(kSourceUtf8, kOutputUtf8, kMarkDrop),
                 "\xEF\xBB\xBF国\n", "国\n", kSuccess},
        EdgeCase{"Utf16LeSourceWithoutAMark", RunKind::Convert, markedAs(kSourceUtf16Le, kOutputUtf8, kMarkKeep),
                 std::string("\xFD\x56\x0A\x00", 4), "国\n", kSuccess},
        EdgeCase{"Utf16BeSourceWithItsMark", RunKind::Convert, markedAs(kSourceUtf16Be, kOutputUtf8, kMarkKeep),
                 std::string("\xFE\xFF\x56\xFD\x00\x0A", 6), "\xEF\xBB\xBF国\n", kSuccess},
        EdgeCase{"LegacySourceToUtf16Be", RunKind::Convert, markedAs(kSourceGb, kOutputUtf16Be, kMarkKeep),
                 "\xB9\xFA\n", std::string("\x56\xFD\x00\x0D\x00\x0A", 6), kSuccess},
        EdgeCase{"Gb18030HasNoMark", RunKind::Convert, markedAs(kSourceUtf8, kOutputGb18030, kMarkAdd), "国\n",
                 "\xB9\xFA\r\n", kSuccess},
        EdgeCase{"FormatToUtf16", RunKind::Format,
                 [] {
                     EdgeRunOptions options = narrowFormat(-1);
                     options.outputEncoding = kOutputUtf16Be;
                     return options;
                 }(),
                 "国。\n", std::string("\x56\xFD\x30\x02\x00\x0D\x00\x0A", 8), kSuccess}));

// UTF-8 is read a buffer at a time, on the table's way (UTF-8 to UTF-8)
// Utf8Input's and on the engine's (Big5) 64 KiB; characters and sequences
// cut there come out whole.
constexpr std::size_t kTableRead = Utf8Input::kBufferSize;
constexpr std::size_t kEngineRead = 1 << 16;

std::string cutByRead(std::size_t read, std::size_t bytesBefore, const std::string& cut, const std::string& after) {
    return std::string(read - bytesBefore, 'a') + cut + after;
}

INSTANTIATE_TEST_SUITE_P(
    AcrossReads, EdgeRuns,
    ::testing::Values(
        EdgeCase{"HanziCut", RunKind::Convert, with(kSourceUtf8, kOutputSame),
                 cutByRead(kTableRead, 1, "国", "\n"), cutByRead(kTableRead, 1, "國", "\n"), kSuccess},
        EdgeCase{"HanziCutToBig5", RunKind::Convert, with(kSourceUtf8, kOutputBig5),
                 cutByRead(kEngineRead, 2, "国", "\n"), cutByRead(kEngineRead, 2, "\xB0\xEA", "\r\n"), kSuccess},
        EdgeCase{"EmojiCut", RunKind::Convert, with(kSourceUtf8, kOutputSame),
                 cutByRead(kTableRead, 3, "😀", "国\n"), cutByRead(kTableRead, 3, "😀", "國\n"), kSuccess},
        EdgeCase{"EmojiCutToBig5", RunKind::Convert, with(kSourceUtf8, kOutputBig5),
                 cutByRead(kEngineRead, 1, "😀", "\n"),
                 cutByRead(kEngineRead, 1, "\xA1\xBC", "\r\n"), kUnmappableWarning},
        EdgeCase{"UnfinishedSequenceAtTheEnd", RunKind::Convert, with(kSourceUtf8, kOutputSame),
                 cutByRead(kTableRead, 2, "\xE4\xB8", "b\n"),
                 cutByRead(kTableRead, 2, "□", "b\n"), kInvalidCodeWarning},
        EdgeCase{"UnfinishedSequenceAtTheEndToBig5", RunKind::Convert,
                 with(kSourceUtf8, kOutputBig5), cutByRead(kEngineRead, 2, "\xE4\xB8", "b\n"),
                 cutByRead(kEngineRead, 2, "\xA1\xBC", "b\r\n"), kInvalidCodeWarning},
        EdgeCase{"CrLfCut", RunKind::Convert, with(kSourceUtf8, kOutputSame),
                 cutByRead(kTableRead, 1, "\r\n", "国\n"), cutByRead(kTableRead, 1, "\n", "國\n"), kSuccess},
        EdgeCase{"LoneCrAtTheEnd", RunKind::Convert, with(kSourceUtf8, kOutputSame),
                 cutByRead(kTableRead, 1, "\r", "国\n"), cutByRead(kTableRead, 1, "\r", "國\n"), kSuccess},
        // A long line goes to the engine in pieces of 32,000 bytes (a hanzi
        // takes two); text without a line end gets none.
        EdgeCase{"TextEndingWithAPiece", RunKind::Convert, with(kSourceUtf8, kOutputSame),
                 repeated("国", 16000), repeated("國", 16000), kSuccess},
        EdgeCase{"TextEndingPastAPiece", RunKind::Convert, with(kSourceUtf8, kOutputSame),
                 repeated("国", 16001), repeated("國", 16001), kSuccess},
        EdgeCase{"CrEndingAPiece", RunKind::Convert, with(kSourceUtf8, kOutputSame),
                 repeated("国", 15999) + "a\r", repeated("國", 15999) + "a\r\n", kSuccess},
        // Lines from ICU go many to a chunk; the carriers keep their places.
        EdgeCase{"CarriersInLaterChunks", RunKind::Convert, with(kSourceUtf16, kOutputUtf8),
                 "\xFF\xFE" + repeated(std::string("\xFD\x56\x3D\xD8\x00\xDE\x0A\x00", 8), 30000),
                 "\xEF\xBB\xBF" + repeated("國😀\n", 30000), kSuccess}));

}  // namespace
}  // namespace quillon::unicode

namespace quillon::unicode {
namespace {

// A format run carries foreign characters under the family's private codes,
// then under the codes of hanzi the text does not use; past those, further
// characters become boxes with a warning.
struct ForeignCountCase {
    const char* name;
    const char* hanzi;  // tells the form, and so the family
    int count;          // distinct hanzi of extension B
    RunResult result;
};

void PrintTo(const ForeignCountCase& c, std::ostream* os) { *os << c.name; }

class ForeignCharacterCounts : public ::testing::TestWithParam<ForeignCountCase> {};

TEST_P(ForeignCharacterCounts, AreKeptByFormatUpToTheFamilysCodes) {
    const ForeignCountCase& c = GetParam();
    std::string text = std::string(c.hanzi) + "。";
    for (char32_t ch = 0x20000; ch < 0x20000 + static_cast<char32_t>(c.count); ++ch) {
        text += static_cast<char>(0xF0 | (ch >> 18));
        text += static_cast<char>(0x80 | ((ch >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (ch & 0x3F));
    }
    text += "\n";
    TempDir dir;
    writeFile(dir.file("in"), text);
    TextFormatter formatter;
    const EdgeRunOptions options = narrowFormat(-1);
    EXPECT_EQ(runThroughEdge(formatter, RunKind::Format, options, dir.file("in").c_str(),
                             dir.file("out").c_str()),
              c.result);
    const std::string out = readFile(dir.file("out"));
    if (c.result == kSuccess) {
        EXPECT_EQ(out, text);
    } else {
        EXPECT_EQ(out.substr(0, 16), text.substr(0, 16));  // the first ones survive
        EXPECT_EQ(out.substr(out.size() - 4), "□\n");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Format, ForeignCharacterCounts,
    ::testing::Values(ForeignCountCase{"SimplifiedText", "国", 9000, kSuccess},
                      ForeignCountCase{"TraditionalText", "國", 9000, kSuccess},
                      ForeignCountCase{"MoreThanTheFamilyHasCodes", "國", 30000, kUnmappableWarning}));

// A U+001A ends a Unicode source as a byte 1A ends a legacy one, in both
// runs, and the run reports where it stands in the file when more follows.
struct EndMarkCase {
    const char* name;
    RunKind kind;
    std::int32_t sourceEncoding;
    std::string source;
    std::string expected;
    RunResult result;
    std::int64_t offset;
    std::int32_t outputEncoding = kOutputUtf8;
};

void PrintTo(const EndMarkCase& c, std::ostream* os) { *os << c.name; }

class EndMarks : public ::testing::TestWithParam<EndMarkCase> {};

TEST_P(EndMarks, EndTheTextWhereTheyStand) {
    const EndMarkCase& c = GetParam();
    TempDir dir;
    writeFile(dir.file("in"), c.source);
    writeFile(dir.file("out"), "old\n");
    EdgeRunOptions options = narrowFormat(-1);
    options.sourceEncoding = c.sourceEncoding;
    options.outputEncoding = c.outputEncoding;
    options.form = kFormSimplified;
    options.byteOrderMark = kMarkDrop;
    TextFormatter formatter;
    applyOptions(options, formatter);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(runThroughEdge(formatter, c.kind, options, dir.file("in").c_str(), dir.file("out").c_str()),
              c.result);
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(readFile(dir.file("out")), c.expected);
    EXPECT_EQ(formatter.endMarkOffset, c.offset);
}

INSTANTIATE_TEST_SUITE_P(
    Unicode, EndMarks,
    ::testing::Values(
        EndMarkCase{"ConvertUtf8", RunKind::Convert, kSourceUtf8, "中文\x1A后面\n", "中文\n", kSuccess, 6},
        EndMarkCase{"ConvertUtf8ToGb18030", RunKind::Convert, kSourceUtf8, "中文\x1A后面\n",
                    "\xD6\xD0\xCE\xC4\r\n", kSuccess, 6, kOutputGb18030},
        EndMarkCase{"FormatUtf8", RunKind::Format, kSourceUtf8, "中文。\x1A后面\n", "中文。\n", kSuccess, 9},
        EndMarkCase{"AtTheEndOfTheFileEndsNothingMore", RunKind::Convert, kSourceUtf8, "中文\n\x1A",
                    "中文\n", kSuccess, -1},
        EndMarkCase{"FormatOfNothingBeforeItIsRefused", RunKind::Format, kSourceAuto, "\x1A中文。\n", "old\n",
                    kPlainAsciiSource, -1},
        EndMarkCase{"Utf16LittleEndian", RunKind::Convert, kSourceUtf16,
                    std::string("\xFF\xFE\x2D\x4E\x1A\x00\x87\x65", 8), "中", kSuccess, 4},
        EndMarkCase{"Utf16BigEndian", RunKind::Format, kSourceUtf16,
                    std::string("\xFE\xFF\x4E\x2D\x30\x02\x00\x1A\x65\x87", 10), "中。\n", kSuccess, 6},
        EndMarkCase{"Utf16ByteOfAnotherCharacterIsNoMark", RunKind::Convert, kSourceUtf16,
                    std::string("\xFF\xFE\x1A\x4E\x0A\x00", 6), "业\n", kSuccess, -1},
        EndMarkCase{"Gb18030", RunKind::Convert, kSourceGb18030, "\xD6\xD0\x1A\xCE\xC4\n", "中\n", kSuccess,
                    2}));

// The detection learnt while looking for Unicode serves its own run only:
// the same formatter on the same path, rewritten, detects afresh.
TEST(EdgeConvertRun, LegacyDetectionServesOneRun) {
    TempDir dir;
    TextFormatter formatter;
    const EdgeRunOptions options = with(kSourceAuto, kOutputDifferent);
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

// A full disk ends a run at its first failed write, not at the end of its
// source: here 64 MB, of which a stopped run takes in a few blocks.
TEST(EdgeConvertRun, FullDiskEndsTheRunAtOnce) {
    // Straight from UTF-8 to UTF-8, and through the family of the text.
    for (const std::int32_t to : {std::int32_t{kOutputUtf8}, std::int32_t{kOutputBig5}}) {
        // Telling characters: the form is judged on the first few thousand.
        FeedingPipe source("头发。\n", std::size_t{64} << 20);
        TextFormatter formatter;
        const EdgeRunOptions options = with(kSourceUtf8, to);
        applyOptions(options, formatter);
        EdgeOutput written;
        EXPECT_EQ(runThroughEdge(formatter, RunKind::Convert, options, source.path().c_str(), "/dev/full", &written),
                  kDestinationUnwritable)
            << to;
        EXPECT_EQ(formatter.systemError, ENOSPC) << to;
        EXPECT_FALSE(written.scratchFailed) << to;
        EXPECT_LT(source.fed(), std::size_t{4} << 20) << to;
    }
}

// A run that ends before its output is complete leaves the old destination.
// A destination the edge's own writer cannot make tells the system's reason.
TEST(EdgeConvertRun, AnUnwritableDestinationTellsWhy) {
    TempDir dir;
    writeFile(dir.file("in"), kSimplified);
    TextFormatter formatter;
    applyOptions(with(kSourceUtf8, kOutputUtf8), formatter);
    EXPECT_EQ(runThroughEdge(formatter, RunKind::Convert, {}, dir.file("in").c_str(), dir.path().c_str()),
              kDestinationUnwritable);
    EXPECT_EQ(formatter.systemError, EISDIR);
}

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

// Small writes, writes in place and writes larger than the sink holds reach
// the file in the order they were made, whatever the sink held before each.
TEST(TextSink, KeepsTheOrderOfWritesOfEverySize) {
    TempDir dir;
    const std::string path = dir.file("out");
    TextSink sink;
    ASSERT_TRUE(sink.open(path.c_str(), "UTF-8"));
    std::string expected;
    const auto small = [&](char c) {
        const std::string text(1000, c);
        sink.writeText(text.data(), text.size());
        expected += text;
    };
    const auto inPlace = [&](char c) {
        std::memset(sink.room(TextSink::kRoom), c, TextSink::kRoom);
        sink.advance(TextSink::kRoom);
        expected.append(TextSink::kRoom, c);
    };
    const auto large = [&](char c, std::size_t size) {
        const std::string text(size, c);
        sink.writeBytes(text.data(), text.size());
        expected += text;
    };
    small('a');
    large('b', 1 << 20);
    for (int i = 0; i < 300; ++i) small(static_cast<char>('c' + i % 3));
    inPlace('f');
    large('g', 70000);
    inPlace('h');
    for (int i = 0; i < 10; ++i) inPlace(static_cast<char>('i' + i));
    large('s', 3 << 20);
    small('t');
    EXPECT_TRUE(sink.close());
    EXPECT_EQ(readFile(path), expected);
}

using quillon::testing::gb;

// One line a paragraph, no indent, and 12 characters a line: a heading of 8
// characters is centred by 2 full-width blanks.
EdgeRunOptions chapterFormat(std::int32_t from, std::int32_t to, std::int32_t chapters,
                             std::string pattern = {}) {
    EdgeRunOptions options = narrowFormat(12);
    options.sourceEncoding = from;
    options.outputEncoding = to;
    options.chapterChoice = chapters;
    options.headingPattern = std::move(pattern);
    return options;
}

const std::string kChapter = "第三章　茶馆，一\n";
const std::string kHeading = "　　第三章　茶馆，一\n";
const std::string kParagraph = "第三章茶馆，一\n";

// Runs with Unicode source or output take lines that open a chapter as
// headings unless told otherwise; legacy byte runs only when told.
INSTANTIATE_TEST_SUITE_P(
    Chapters, EdgeRuns,
    ::testing::Values(
        EdgeCase{"Utf8ByRun", RunKind::Format, chapterFormat(kSourceUtf8, kOutputUtf8, kChoiceByRun), kChapter,
                 kHeading, kSuccess},
        EdgeCase{"Utf8Off", RunKind::Format, chapterFormat(kSourceUtf8, kOutputUtf8, kChoiceOff), kChapter,
                 kParagraph, kSuccess},
        EdgeCase{"DetectedUtf8ByRun", RunKind::Format, chapterFormat(kSourceAuto, kOutputSame, kChoiceByRun),
                 kChapter, kHeading, kSuccess},
        EdgeCase{"GbToUtf8ByRun", RunKind::Format, chapterFormat(kSourceGb, kOutputUtf8, kChoiceByRun),
                 gb(kChapter), kHeading, kSuccess},
        EdgeCase{"GbByRun", RunKind::Format, chapterFormat(kSourceGb, kOutputSame, kChoiceByRun), gb(kChapter),
                 gb("第三章茶馆，一\r\n"), kSuccess},
        EdgeCase{"GbOn", RunKind::Format, chapterFormat(kSourceGb, kOutputSame, kChoiceOn), gb(kChapter),
                 gb("　　第三章　茶馆，一\r\n"), kSuccess},
        // The pattern reads the line's characters, whatever its encoding.
        EdgeCase{"PatternInUtf8", RunKind::Format,
                 chapterFormat(kSourceUtf8, kOutputUtf8, kChoiceOff, "^卷[上下]"), "卷上，山\n",
                 "　　　　卷上，山\n", kSuccess},
        EdgeCase{"PatternInGb", RunKind::Format, chapterFormat(kSourceGb, kOutputSame, kChoiceOff, "^卷[上下]"),
                 gb("卷上，山\n"), gb("　　　　卷上，山\r\n"), kSuccess},
        EdgeCase{"PatternInBig5", RunKind::Format, chapterFormat(kSourceBig5, kOutputSame, kChoiceOff, "^卷[上下]"),
                 quillon::testing::big5("卷上，山\n"), quillon::testing::big5("　　　　卷上，山\r\n"), kSuccess},
        EdgeCase{"BadPattern", RunKind::Format, chapterFormat(kSourceGb, kOutputSame, kChoiceOff, "[卷"),
                 gb(kChapter), "", kHeadingPatternInvalid}));

EdgeRunOptions quoted(std::int32_t from, std::int32_t to, std::int32_t style) {
    EdgeRunOptions options = with(from, to);
    options.quoteStyle = style;
    options.chapterChoice = kChoiceOff;
    return options;
}

// The quote style holds in every output, of both runs.
INSTANTIATE_TEST_SUITE_P(
    Quotes, EdgeRuns,
    ::testing::Values(
        EdgeCase{"Utf8ToCorners", RunKind::Convert, quoted(kSourceUtf8, kOutputUtf8, kQuotesCorner),
                 "说“好‘的’”\n", "說「好『的』」\n", kSuccess},
        EdgeCase{"Utf8ToCurly", RunKind::Convert, quoted(kSourceUtf8, kOutputUtf8, kQuotesCurly),
                 "說「好『的』」\n", "说“好‘的’”\n", kSuccess},
        EdgeCase{"Utf8ApostropheStays", RunKind::Convert, quoted(kSourceUtf8, kOutputUtf8, kQuotesCorner),
                 "“don’t”\n", "「don’t」\n", kSuccess},
        EdgeCase{"Utf8ToGb18030", RunKind::Convert, quoted(kSourceUtf8, kOutputGb18030, kQuotesCorner), "“好”\n",
                 gb("「好」\r\n"), kSuccess},
        EdgeCase{"Utf8ToBig5", RunKind::Convert, quoted(kSourceUtf8, kOutputBig5, kQuotesCorner), "“好”\n",
                 quillon::testing::big5("「好」\r\n"), kSuccess},
        EdgeCase{"GbToBig5", RunKind::Convert, quoted(kSourceGb, kOutputBig5, kQuotesCorner), gb("“好”\n"),
                 quillon::testing::big5("「好」\r\n"), kSuccess},
        EdgeCase{"GbKept", RunKind::Convert, quoted(kSourceGb, kOutputBig5, kQuotesKeep), gb("“好”\n"),
                 quillon::testing::big5("“好”\r\n"), kSuccess},
        EdgeCase{"GbFormatted", RunKind::Format, quoted(kSourceGb, kOutputSame, kQuotesCorner), gb("“好。”\n"),
                 gb("　　「好。」\r\n\r\n"), kSuccess},
        EdgeCase{"Utf8Formatted", RunKind::Format, quoted(kSourceUtf8, kOutputUtf8, kQuotesCorner), "“好。”\n",
                 "　　「好。」\n\n", kSuccess}));

}  // namespace
}  // namespace quillon::unicode
