#include "engine_output_lines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "line_reader.h"
#include "temp_files.h"
#include "text_formatter.h"

namespace quillon::unicode {
namespace {

using Lines = std::vector<std::string>;

// What a LineReader reads from a file that holds `stored`.
Lines readFromFile(const std::string& stored) {
    testing::TempDir dir;
    testing::writeFile(dir.file("out"), stored);
    LineReader reader;
    EXPECT_TRUE(reader.open(dir.file("out").c_str()));
    std::vector<char> line(TextFormatter::kBufferSize);
    Lines lines;
    while (const int length = reader.readLine(line.data(), TextFormatter::kBufferSize)) {
        lines.emplace_back(line.data(), static_cast<std::size_t>(length));
    }
    return lines;
}

// What EngineOutputLines hands on for `stored`, given in blocks of `block` bytes.
Lines handedOn(const std::string& stored, std::size_t block, bool together) {
    Lines lines;
    EngineOutputLines splitter([&](char* text, std::size_t length) { lines.emplace_back(text, length); }, together);
    for (std::size_t at = 0; at < stored.size(); at += block) {
        splitter.take(stored.data() + at, std::min(block, stored.size() - at));
    }
    splitter.finish();
    return lines;
}

std::string joined(const Lines& lines) {
    std::string text;
    for (const std::string& line : lines) text += line;
    return text;
}

struct OutputCase {
    const char* name;
    std::string stored;
};

void PrintTo(const OutputCase& c, std::ostream* os) { *os << c.name; }

std::string hanzi(std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) text += "\xb0\xa1";
    return text;
}

class EngineOutput : public ::testing::TestWithParam<OutputCase> {};

TEST_P(EngineOutput, IsReadAsTheFileWouldBe) {
    const std::string& stored = GetParam().stored;
    const Lines expected = readFromFile(stored);
    for (const std::size_t block : {std::size_t{1}, std::size_t{7}, std::size_t{4096}, stored.size() + 1}) {
        EXPECT_EQ(handedOn(stored, block, false), expected) << "blocks of " << block;
        // Together, the lines are the same text, handed on at line ends.
        const Lines together = handedOn(stored, block, true);
        EXPECT_EQ(joined(together), joined(expected)) << "blocks of " << block;
        for (std::size_t i = 0; i + 1 < together.size(); ++i) EXPECT_EQ(together[i].back(), '\n');
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, EngineOutput,
    ::testing::Values(
        OutputCase{"CrLfEnds", "\xb0\xa1\r\n\r\nab\r\n"}, OutputCase{"LoneCrsStay", "a\rb\r\r\nc\r"},
        OutputCase{"NoLastLineEnd", "ab\r\ncd"}, OutputCase{"Empty", ""},
        // Lines past the engine's buffer come in pieces, a lead byte that
        // would end one starting the next.
        OutputCase{"LongLine", hanzi(20000) + "\r\n"},
        // Appended: GCC 12 at -O3 misreads "a" + text as overlapping copies.
        OutputCase{"LongLineOddStart", std::string("a").append(hanzi(20000)).append("\r\n")},
        OutputCase{"PieceThenLineEnd", std::string(31999, 'x') + "\r\n" + std::string(31998, 'y') + "\r\nz"},
        OutputCase{"TextEndingOnAPiece", std::string(31999, 'x') + "\r\n" + std::string(31999, 'y')},
        OutputCase{"CrAtTheLimit", std::string(31998, 'x') + "\r\r\n"}));

}  // namespace
}  // namespace quillon::unicode
