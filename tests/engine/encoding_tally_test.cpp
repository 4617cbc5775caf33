#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "encoding_tally.h"

namespace quillon {
namespace {

EncodingTally tallyOf(std::string_view text, std::size_t split) {
    EncodingTally tally;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    tally.add(bytes, split);
    tally.add(bytes + split, text.size() - split);
    return tally;
}

// Texts whose words straddle the eight-byte steps of the scan at every offset:
// ASCII, runs of pairs, pairs after an odd number of ASCII bytes, lone leads.
TEST(EncodingTally, CountsAlikeHoweverTheTextIsSplit) {
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
            const EncodingTally tally = tallyOf(c.text, split);
            ASSERT_EQ(tally.verdict(), c.verdict) << c.text << " split at " << split;
            ASSERT_EQ(tally.gbMarks(), c.gbMarks) << c.text << " split at " << split;
            ASSERT_EQ(tally.big5Marks(), c.big5Marks) << c.text << " split at " << split;
        }
    }
}

// More marks than a signed 32-bit count holds, fed block by block as a file
// of over 4 GB would be, without the file: GBK text stays GBK.
TEST(EncodingTally, CountsPastTwoToTheThirtyFirstMarks) {
    std::vector<unsigned char> blanks(std::size_t(1) << 20);
    for (std::size_t i = 0; i < blanks.size(); i += 2) {
        blanks[i] = 0xA1;  // GB's full-width blank, A1A1
        blanks[i + 1] = 0xA1;
    }
    const unsigned char gbkOnly[] = {0x81, 0x40};  // no mark, but below A1
    const std::int64_t blocks = (std::int64_t(1) << 31) / std::int64_t(blanks.size() / 2) + 1;
    EncodingTally tally;
    tally.add(gbkOnly, sizeof gbkOnly);
    for (std::int64_t i = 0; i < blocks; ++i) tally.add(blanks.data(), blanks.size());
    EXPECT_EQ(tally.gbMarks(), blocks * std::int64_t(blanks.size() / 2));
    EXPECT_GT(tally.gbMarks(), std::int64_t(INT32_MAX));
    EXPECT_EQ(tally.big5Marks(), 0);
    EXPECT_EQ(tally.verdict(), kGbkId);
}

}  // namespace
}  // namespace quillon
