#include "text_file.h"

#include <gtest/gtest.h>

#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "temp_files.h"

namespace quillon {
namespace {

using testing::readFile;
using testing::TempDir;
using testing::writeFile;

// Every line piece the reader hands out for `bytes`, with a limit of `size`.
std::vector<std::string> readPieces(std::string_view bytes, int size = 32000) {
    TempDir dir;
    writeFile(dir.file("in"), bytes);
    TextReader reader;
    EXPECT_TRUE(reader.open(dir.file("in").c_str()));
    std::vector<std::string> pieces;
    std::vector<char> line(size + 1);
    while (const int length = reader.readLine(line.data(), size)) {
        pieces.emplace_back(line.data(), length);
        EXPECT_EQ(line[length], '\0');
    }
    EXPECT_FALSE(reader.failed());
    return pieces;
}

TEST(TextReader, LineEndsReadAsTextModeDoes) {
    using Lines = std::vector<std::string>;
    EXPECT_EQ(readPieces("a\r\nb\nc"), (Lines{"a\n", "b\n", "c"}));
    EXPECT_EQ(readPieces("a\rb\r\n"), (Lines{"a\rb\n"}));  // a lone CR stays
    EXPECT_EQ(readPieces("a\r"), (Lines{"a\r"}));
    EXPECT_EQ(readPieces("a\r\r\n"), (Lines{"a\r\n"}));
    EXPECT_EQ(readPieces("ab\x1A" "cd\n"), (Lines{"ab"}));  // 1A ends the input
    EXPECT_EQ(readPieces("\x1A" "cd\n"), Lines{});
    EXPECT_EQ(readPieces(""), Lines{});
    EXPECT_EQ(readPieces("\n\n"), (Lines{"\n", "\n"}));
}

TEST(TextReader, LongLinesArriveInPiecesOf31999Bytes) {
    const auto pieces = readPieces(std::string(40000, 'x') + "\n");
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(pieces[0].size(), 31999u);
    EXPECT_EQ(pieces[1], std::string(8001, 'x') + "\n");
}

TEST(TextReader, CrLfSplitAcrossItsInternalBufferStillPairs) {
    // The CR is the last byte of the reader's first read.
    std::string text(TextReader::kBufferSize - 1, 'y');
    text += "\r\nz";
    const auto pieces = readPieces(text, static_cast<int>(TextReader::kBufferSize) + 8);
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(pieces[0], std::string(TextReader::kBufferSize - 1, 'y') + "\n");
    EXPECT_EQ(pieces[1], "z");
}

// The text as the convert and format runs read it: the lines as stored, each
// CR LF then read as its LF, while the reader has them, `limit` bytes at most
// at a time, and a line through readLine whenever it has none.
std::string readAsRuns(const std::string& bytes, std::size_t limit) {
    TempDir dir;
    writeFile(dir.file("in"), bytes);
    TextReader reader;
    EXPECT_TRUE(reader.open(dir.file("in").c_str()));
    std::string text;
    std::vector<char> line(32001);
    for (;;) {
        if (const auto lines = reader.takeStoredLines(limit); !lines.empty()) {
            EXPECT_EQ(lines.back(), '\n');
            std::string taken(reinterpret_cast<const char*>(lines.data()), lines.size());
            for (std::size_t at = 0; (at = taken.find("\r\n", at)) != std::string::npos;) taken.erase(at, 1);
            text += taken;
            continue;
        }
        const int length = reader.readLine(line.data(), 32000);
        if (length == 0) break;
        text.append(line.data(), static_cast<std::size_t>(length));
    }
    return text;
}

std::string readAsLines(const std::string& bytes) {
    std::string text;
    for (const std::string& piece : readPieces(bytes)) text += piece;
    return text;
}

TEST(TextReader, StoredLinesAreTheLinesReadLineGives) {
    // Lines ending in LF, in CR LF, in a CR that stays, in CR CR LF, with a
    // CR inside, and now and then a 1A, which ends the text.
    const std::string ends[] = {"\n", "\r\n", "\r\n", "\r", "\r\r\n", "\rx\n"};
    std::mt19937 random(15);
    for (int round = 0; round < 200; ++round) {
        std::string text;
        while (text.size() < 700) {
            for (std::size_t n = random() % 14; n > 0; --n) text += static_cast<char>(0x20 + random() % 0xE0);
            text += ends[random() % std::size(ends)];
            if (round % 10 == 0 && random() % 40 == 0) text += '\x1A';
        }
        for (const std::size_t limit : {std::size_t{1}, std::size_t{9}, std::size_t{64}, std::size_t{1} << 14}) {
            EXPECT_EQ(readAsRuns(text, limit), readAsLines(text)) << "round " << round << ", limit " << limit;
        }
    }
    // A CR LF split between two reads of the file.
    std::string lines;
    while (lines.size() < TextReader::kBufferSize - 4) lines += "ab\r\n";
    lines.resize(TextReader::kBufferSize - 1);
    lines += "\r\ncd\r\n";
    EXPECT_EQ(readAsRuns(lines, std::size_t{1} << 14), readAsLines(lines));
}

TEST(TextReader, NulBytesAreText) {
    EXPECT_EQ(readPieces(std::string("ab\0cd\nef", 8)),
              (std::vector<std::string>{std::string("ab\0cd\n", 6), "ef"}));
}

TEST(TextReader, RefusesMissingFilesAndFolders) {
    TempDir dir;
    TextReader reader;
    EXPECT_FALSE(reader.open(dir.file("missing").c_str()));
    EXPECT_FALSE(reader.open(dir.path().c_str()));
}

TEST(TextWriter, EveryLineFeedBecomesCrLf) {
    TempDir dir;
    TextWriter writer;
    ASSERT_TRUE(writer.open(dir.file("out").c_str()));
    writer.write("a\nb", 3);
    writer.putLineFeed();
    writer.write("\r", 1);
    writer.write("\n\n", 2);
    ASSERT_TRUE(writer.close());
    EXPECT_EQ(readFile(dir.file("out")), "a\r\nb\r\n\r\r\n\r\n");
}

TEST(TextWriter, ReportsWhatDidNotReachTheFile) {
    TextWriter full;
    ASSERT_TRUE(full.open("/dev/full"));
    full.write("x\n", 2);
    EXPECT_FALSE(full.close());

    TempDir dir;
    TextWriter folder;
    EXPECT_FALSE(folder.open(dir.path().c_str()));
    EXPECT_FALSE(folder.open(dir.file("no/such/folder").c_str()));
}

}  // namespace
}  // namespace quillon
