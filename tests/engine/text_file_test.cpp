#include "text_file.h"

#include <gtest/gtest.h>

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
    // The reader's own buffer is 64 KiB: put the CR as its last byte.
    std::string text(65535, 'y');
    text += "\r\nz";
    const auto pieces = readPieces(text, 70000);
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(pieces[0], std::string(65535, 'y') + "\n");
    EXPECT_EQ(pieces[1], "z");
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
