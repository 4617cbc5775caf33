// Dictionary conversion straight from UTF-8: where the text is cut, what
// becomes a box, how lines end.
#include "dictionary_utf8_conversion.h"

#include <gtest/gtest.h>

#include <string>

#include "temp_files.h"
#include "repeated_text.h"

namespace quillon::unicode {
namespace {

using quillon::testing::readFile;
using quillon::testing::TempDir;
using quillon::testing::writeFile;
using quillon::testing::repeated;

struct DirectCase {
    const char* name;
    std::string source;
    std::string expected;
    bool crLf = false;
    bool invalid = false;
};

void PrintTo(const DirectCase& c, std::ostream* os) { *os << c.name; }

class DictionaryUtf8Conversions : public ::testing::TestWithParam<DirectCase> {};

// The source converted by s2tw, and whether a sequence did not decode.
std::string converted(const std::string& source, bool crLf, bool& sawInvalid) {
    TempDir dir;
    writeFile(dir.file("in"), source);
    DictionaryUtf8Conversion conversion(*ChineseConversionChain::named("s2tw"), crLf);
    TextSink sink;
    EXPECT_TRUE(sink.open(dir.file("out").c_str(), kUtf8Name));
    EXPECT_EQ(conversion.run(dir.file("in").c_str(), sink), kSuccess);
    EXPECT_TRUE(sink.close());
    sawInvalid = conversion.sawInvalid;
    return readFile(dir.file("out"));
}

TEST_P(DictionaryUtf8Conversions, WriteExactBytes) {
    const DirectCase& c = GetParam();
    bool sawInvalid = false;
    EXPECT_TRUE(converted(c.source, c.crLf, sawInvalid) == c.expected);
    EXPECT_EQ(sawInvalid, c.invalid);
}

// The engine cuts a line into pieces of 32,000 of its bytes, a hanzi two of
// them, and converts each piece alone: 头发 cut after 头 is 頭發, not 頭髮.
const std::string kAs = std::string(31997, 'a');
const std::string kStops = repeated("。", 15999);

INSTANTIATE_TEST_SUITE_P(
    Cuts, DictionaryUtf8Conversions,
    ::testing::Values(
        DirectCase{"PieceEndsAfterThePhrase", kAs + "头发\n", kAs + "頭髮\n"},
        DirectCase{"PieceEndsInsideThePhrase", kAs + "a头发\n", kAs + "a頭發\n"},
        DirectCase{"PieceEndsJustPastItsSize", kAs + "aa头发\n", kAs + "aa頭發\n"},
        DirectCase{"PieceEndingTheTextAddsNoLineEnd", kAs + "aa头", kAs + "aa頭"},
        // Runs of hanzi go by several at a time, but their piece still ends
        // at its size.
        DirectCase{"PieceOfHanziEndsInsideThePhrase", kStops + "头发\n", kStops + "頭發\n"},
        DirectCase{"PieceOfHanziEndsAfterThePhrase", kStops.substr(3) + "头发\n", kStops.substr(3) + "頭髮\n"},
        DirectCase{"LinesAcrossManyChunks", repeated("头发，干净\n", 20000),
                   repeated("頭髮，乾淨\n", 20000)},
        DirectCase{"CrLfWrittenBeforeConversion", "头发\r\n干净\n", "頭髮\r\n乾淨\r\n", true},
        DirectCase{"LoneCrsStayText", "头\r发\r\r\n头发\r", "頭\r發\r\n頭髮\r\n"},
        DirectCase{"InvalidSequencesBecomeBoxes", "头\xFF发\xE5\x8F头\xED\xA0\x80发\n",
                   "頭□發□頭□□□發\n", false, true},
        // The decoder marks a sequence that does not decode by U+FDD0.
        DirectCase{"TheDecodersMarkIsTakenForOne", "头发\xEF\xB7\x90头发\n", "頭髮□頭髮\n", false,
                   true},
        DirectCase{"CharactersBeyondTheBmpStay", "头😀发𠀀\n", "頭😀發𠀀\n"}));

// Hanzi go by two at a time; the lead bytes of sequences that may be no
// character make the pair look closer, first of the two or second.
INSTANTIATE_TEST_SUITE_P(
    Pairs, DictionaryUtf8Conversions,
    ::testing::Values(
        DirectCase{"LeastThreeByteCharacter", "头\xE0\xA0\x80发头发\n\xE0\xA0\x80头发干净\n",
                   "頭\xE0\xA0\x80發頭發\n\xE0\xA0\x80頭髮乾淨\n"},
        DirectCase{"OverlongForm", "头\xE0\x9F\xBF发头发\n\xE0\x9F\xBF头发干净\n",
                   "頭□□□發頭發\n□□□頭髮乾淨\n", false, true},
        DirectCase{"LastCharacterBeforeSurrogates", "头\xED\x9F\xBF发头发\n\xED\x9F\xBF头发干净\n",
                   "頭\xED\x9F\xBF發頭發\n\xED\x9F\xBF頭髮乾淨\n"},
        DirectCase{"Surrogate", "头\xED\xA0\x80发头发\n\xED\xA0\x80头发干净\n",
                   "頭□□□發頭發\n□□□頭髮乾淨\n", false, true},
        DirectCase{"TheDecodersMark", "头\xEF\xB7\x90发头发\n\xEF\xB7\x90头发干净\n",
                   "頭□發頭發\n□頭髮乾淨\n", false, true},
        DirectCase{"FullWidthComma", "头，发头发\n，头发干净\n", "頭，發頭發\n，頭髮乾淨\n"}));

// Runs of three-byte sequences go by four at a time too: a sequence that may
// be no character is looked at closely wherever in the four it comes.
TEST(DictionaryUtf8Conversion, LooksCloselyAtEveryPlaceAmongFour) {
    struct Sequence {
        const char* source;
        const char* written;
        bool invalid;
    };
    const Sequence sequences[] = {
        {"\xE0\xA0\x80", "\xE0\xA0\x80", false},  // the least character
        {"\xE0\x9F\xBF", "□□□", true},             // overlong
        {"\xED\x9F\xBF", "\xED\x9F\xBF", false},  // the last before the surrogates
        {"\xED\xA0\x80", "□□□", true},             // a surrogate
        {"\xEF\xB7\x90", "□", true},               // the decoder's mark
        {"\xEF\xB7\x8F", "\xEF\xB7\x8F", false},  // the character before it
    };
    for (const Sequence& sequence : sequences) {
        for (std::size_t place = 0; place < 7; ++place) {
            const std::string before = repeated("。", place);
            const std::string after = repeated("。", 6 - place) + "\n";
            bool sawInvalid = false;
            EXPECT_TRUE(converted(before + sequence.source + after, false, sawInvalid) ==
                        before + sequence.written + after)
                << sequence.written << " at " << place;
            EXPECT_EQ(sawInvalid, sequence.invalid) << sequence.written << " at " << place;
        }
    }
}

}  // namespace
}  // namespace quillon::unicode
