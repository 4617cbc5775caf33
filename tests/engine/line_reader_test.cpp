#include "line_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "temp_files.h"

namespace quillon {
namespace {

std::vector<std::string> pieces(const std::string& bytes) {
    testing::TempDir dir;
    testing::writeFile(dir.file("in"), bytes);
    LineReader reader;
    EXPECT_TRUE(reader.open(dir.file("in").c_str()));
    std::vector<std::string> result;
    char line[32000];
    while (const int length = reader.readLine(line, sizeof line)) result.emplace_back(line, length);
    return result;
}

TEST(LineReader, PiecesOfLongLinesEndOnCharacterBoundaries) {
    const std::string a = "a";
    std::string pairs;
    for (int i = 0; i < 20000; ++i) pairs += "\xB9\xFA";
    // 31999 bytes would end on a lead byte: the piece is one byte shorter.
    auto got = pieces(pairs + "\n");
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0], pairs.substr(0, 31998));
    EXPECT_EQ(got[1], pairs.substr(31998) + "\n");
    // After one ASCII byte, 31999 bytes end on a trail byte: nothing moves.
    got = pieces(a + pairs);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].size(), 31999u);
    // A lead byte at the very end of the input stays where it is.
    got = pieces(pairs.substr(0, 31998) + "\xB9");
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].size(), 31999u);
}

}  // namespace
}  // namespace quillon
