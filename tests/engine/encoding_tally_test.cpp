#include <gtest/gtest.h>

#include <algorithm>
#include <span>
#include <string>
#include <vector>

#include "encoding_tally.h"

namespace quillon {
namespace {

// The marks as each profile codes them: blank, full stop, comma, colon, 的.
constexpr unsigned kGbMarks[] = {0xA1A1, 0xA1A3, 0xA3AC, 0xA3BA, 0xB5C4};
constexpr unsigned kBig5Marks[] = {0xA140, 0xA143, 0xA144, 0xA14F, 0xA141, 0xA14D, 0xA147, 0xA152, 0xAABA};
bool isMark(unsigned code, std::span<const unsigned> marks) {
    return std::find(marks.begin(), marks.end(), code) != marks.end();
}

// Every test runs with either width of the scan: both must find the same.
class EncodingTallyTest : public ::testing::TestWithParam<TallyLanes> {};

EncodingTally tallyOf(std::string_view text, std::size_t split, TallyLanes lanes) {
    EncodingTally tally(true, lanes);
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    tally.add(bytes, split);
    tally.add(bytes + split, text.size() - split);
    return tally;
}

// Texts whose words straddle the eight-byte steps of the scan at every offset:
// ASCII, runs of pairs, pairs after an odd number of ASCII bytes, lone leads.
TEST_P(EncodingTallyTest, CountsAlikeHoweverTheTextIsSplit) {
    struct Case {
        std::string text;
        ProfileId verdict;
        std::int64_t gbMarks, big5Marks;
    };
    const std::string gbMarks = "\xA1\xA1\xA1\xA3\xA3\xAC\xA3\xBA\xB5\xC4";  // 　。，：的
    const std::string big5Marks = "\xA1\x40\xA1\x43\xA1\x44\xA1\x4F\xA1\x41\xA1\x4D\xA1\x47\xA1\x52\xAA\xBA";
    const Case cases[] = {
        {"plain ASCII text, longer than one word\n", kPureAscId, 0, 0},
        {"abc\xB0", kPureAscId, 0, 0},
        {"a" + gbMarks + "bc" + gbMarks + "\xB0\xA1\xB0\xA1xyz" + gbMarks, kGbId, 15, 0},
        {gbMarks + "\x81\x40" + gbMarks, kGbkId, 10, 0},
        {"x" + big5Marks + "\xA4\xA4" + big5Marks + "yy", kBig5Id, 0, 18},
        {gbMarks + big5Marks, kBig5Id, 5, 9},
        {"\xB0\n\xB0\xA1\xB0\xA1\xB0\xA1\xB0\xA1", kBig5Id, 0, 0},  // B0 0A rules out GB
        {"\xB0\xA1\xB0\xA1\xB0\xA1\xB0\xA1\xB0\xA1\xB0", kGbId, 0, 0},
        // Line ends and tabs after whole pairs are no trail bytes.
        {"\xB0\xA1\xB0\xA1\n \xB0\xA1\xB0\xA1\t\xB0\xA1\n\xB0\xA1\xB0\xA1\xB0\xA1\r\n", kGbId, 0, 0},
    };
    for (const Case& c : cases) {
        for (std::size_t split = 0; split <= c.text.size(); ++split) {
            const EncodingTally tally = tallyOf(c.text, split, GetParam());
            ASSERT_EQ(tally.verdict(), c.verdict) << c.text << " split at " << split;
            ASSERT_EQ(tally.gbMarks(), c.gbMarks) << c.text << " split at " << split;
            ASSERT_EQ(tally.big5Marks(), c.big5Marks) << c.text << " split at " << split;
        }
    }
}

// Random texts of every kind of byte, long enough to be taken in blocks of
// sixty-four, against the reading rule applied a byte at a time: a high byte
// takes the next byte with it, whatever that is. A trail below 40 is found
// with the marks, wherever it lies in a block.
TEST_P(EncodingTallyTest, BlocksAgreeWithTheReadingRule) {
    // The first three are below 40; a text of every fourth round holds only
    // one of them, so that most such texts hold no stray trail.
    const unsigned char alphabet[] = {'\n', '\r', 0x3F, 'a', 0x40, 0x7E, 0x80, 0x81, 0xA0, 0xA1,
                                      0xA3, 0xAA, 0xB5, 0xBA, 0xC4, 0xAC, 0xFE, 0xFF, 0x43, 0x47, 0x52};
    unsigned state = 7;
    const auto next = [&state] { return (state = state * 1103515245u + 12345u) >> 16; };
    for (int round = 0; round < 2000; ++round) {
        std::string text(64 + next() % 400, 'a');
        const bool gbLike = round % 4 == 0;  // only pairs of A1 and up: the verdict is GB
        for (char& c : text) {
            c = char(gbLike ? (next() % 3 ? 0xA1 + next() % 0x5E : 'a') : alphabet[next() % std::size(alphabet)]);
        }
        if (gbLike) text = std::string(text.size() % 2, 'a') + text;  // whole pairs only
        if (round % 4 == 1) {
            for (char& c : text) c = char(alphabet[3 + next() % (std::size(alphabet) - 3)]);
            text[next() % text.size()] = char(alphabet[next() % 3]);
        }
        bool sawPair = false, sawLow = false, sawStray = false;
        std::int64_t gb = 0, b5 = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const unsigned lead = static_cast<unsigned char>(text[i]);
            if (lead < 0x80 || i + 1 == text.size()) continue;
            const unsigned trail = static_cast<unsigned char>(text[++i]);
            sawPair = true;
            sawLow = sawLow || lead < 0xA1 || trail < 0xA1;
            sawStray = sawStray || trail < 0x40;
            const unsigned code = lead << 8 | trail;
            gb += isMark(code, kGbMarks);
            b5 += isMark(code, kBig5Marks);
        }
        const ProfileId expected = !sawPair ? kPureAscId : !sawLow ? kGbId : gb > b5 ? kGbkId : kBig5Id;
        const std::size_t split = next() % text.size();
        const EncodingTally tally = tallyOf(text, split, GetParam());
        ASSERT_EQ(tally.verdict(), expected) << round;
        ASSERT_EQ(tally.gbMarks(), gb) << round;
        ASSERT_EQ(tally.big5Marks(), b5) << round;
        ASSERT_EQ(tally.sawStrayTrail(), sawStray) << round;
        // Without its marks a tally still tells GB, and otherwise asks for them.
        EncodingTally scan(false, GetParam());
        scan.add(reinterpret_cast<const unsigned char*>(text.data()), text.size());
        ASSERT_EQ(scan.needsMarks(), sawLow) << round;
        if (!sawLow) {
            ASSERT_EQ(scan.verdict(), expected) << round;
        }
    }
}

// Every pair of a high lead, alone among ASCII at each offset of a block and
// across the end of one, counts as the mark it is or as none.
TEST_P(EncodingTallyTest, CountsEveryPairAsTheMarkItIs) {
    for (unsigned code = 0x8000; code <= 0xFFFF; ++code) {
        std::string text(192, 'a');
        const std::size_t at = code % 128;
        text[at] = static_cast<char>(code >> 8);
        text[at + 1] = static_cast<char>(code & 0xFF);
        const EncodingTally tally = tallyOf(text, 0, GetParam());
        ASSERT_EQ(tally.gbMarks(), isMark(code, kGbMarks) ? 1 : 0) << std::hex << code;
        ASSERT_EQ(tally.big5Marks(), isMark(code, kBig5Marks) ? 1 : 0) << std::hex << code;
    }
}

// More marks than a signed 32-bit count holds, fed block by block as a file
// of over 4 GB would be, without the file: GBK text stays GBK.
TEST_P(EncodingTallyTest, CountsPastTwoToTheThirtyFirstMarks) {
    std::vector<unsigned char> blanks(std::size_t(1) << 20);
    for (std::size_t i = 0; i < blanks.size(); i += 2) {
        blanks[i] = 0xA1;  // GB's full-width blank, A1A1
        blanks[i + 1] = 0xA1;
    }
    const unsigned char gbkOnly[] = {0x81, 0x40};  // no mark, but below A1
    const std::int64_t blocks = (std::int64_t(1) << 31) / std::int64_t(blanks.size() / 2) + 1;
    EncodingTally tally(true, GetParam());
    tally.add(gbkOnly, sizeof gbkOnly);
    for (std::int64_t i = 0; i < blocks; ++i) tally.add(blanks.data(), blanks.size());
    EXPECT_EQ(tally.gbMarks(), blocks * std::int64_t(blanks.size() / 2));
    EXPECT_GT(tally.gbMarks(), std::int64_t(INT32_MAX));
    EXPECT_EQ(tally.big5Marks(), 0);
    EXPECT_EQ(tally.verdict(), kGbkId);
}

// Wide lanes where this processor has them; the narrow ones everywhere.
INSTANTIATE_TEST_SUITE_P(Lanes, EncodingTallyTest,
                         ::testing::ValuesIn(widestTallyLanes() == TallyLanes::Wide
                                                 ? std::vector<TallyLanes>{TallyLanes::Narrow, TallyLanes::Wide}
                                                 : std::vector<TallyLanes>{TallyLanes::Narrow}),
                         [](const ::testing::TestParamInfo<TallyLanes>& info) {
                             return std::string(info.param == TallyLanes::Wide ? "Wide" : "Narrow");
                         });

}  // namespace
}  // namespace quillon
