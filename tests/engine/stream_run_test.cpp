#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "legacy_text.h"
#include "line_reader.h"
#include "run_options.h"
#include "temp_files.h"
#include "text_file.h"
#include "text_formatter.h"

namespace quillon {
namespace {

using testing::gb;

struct StreamCase {
    const char* name;
    std::string source;
    std::int32_t paragraphMode;
};

void PrintTo(const StreamCase& c, std::ostream* os) { *os << c.name; }

class FormatStreams : public ::testing::TestWithParam<StreamCase> {
protected:
    FormatStreams() {
        RunOptions options;
        options.sourceEncoding = kSourceGb;
        options.paragraphMode = GetParam().paragraphMode;
        applyOptions(options, f);
    }
    TextFormatter f;
};

// A run between streams, fed a few bytes at a time, writes what the run
// between files writes, and returns what it returns.
TEST_P(FormatStreams, WriteWhatTheRunBetweenFilesWrites) {
    const std::string& text = GetParam().source;
    testing::TempDir dir;
    testing::writeFile(dir.file("in"), text);
    const RunResult fromFiles = f.formatFile(dir.file("in").c_str(), dir.file("out").c_str());

    std::size_t read = 0;
    LineReader source;
    source.open([&](unsigned char* into, std::size_t room) {
        const std::size_t n = std::min({room, std::size_t{5}, text.size() - read});
        std::memcpy(into, text.data() + read, n);
        read += n;
        return n;
    });
    std::string written;
    TextWriter destination;
    destination.open([&](const char* data, std::size_t length) {
        written.append(data, length);
        return true;
    });
    EXPECT_EQ(f.formatStreams(source, destination, TextFormatter::UnconvertedPairs::Boxed), fromFiles);
    EXPECT_EQ(written, testing::readFile(dir.file("out")));
}

INSTANTIATE_TEST_SUITE_P(
    Runs, FormatStreams,
    ::testing::Values(
        StreamCase{"Paragraphs", "\xA1\xA1" + gb("第一章") + "\n  " + gb("他说") + ":\"" + gb("今天") + "\r\n" +
                                     gb("天气很好") + ".\"\n\n-----\n" + gb("明天见") + "," + gb("再会") + "\n",
                   kParagraphAutoDetect},
        StreamCase{"EndMarkWithMoreAfterIt", gb("甲乙。") + "\n\x1A" + gb("丙"), kParagraphOneLine},
        StreamCase{"InvalidPairs", gb("甲") + "\x80\xFF" + gb("乙") + "\xB0\n", kParagraphEmptyLine}));

// A stream's run has no file to detect its encoding from.
TEST(FormatStreamsRefusal, OfASourceToDetect) {
    TextFormatter f;
    f.setSourceEncoding(kSourceAuto);
    LineReader source;
    source.open([](unsigned char*, std::size_t) { return std::size_t{0}; });
    TextWriter destination;
    destination.open([](const char*, std::size_t) { return true; });
    EXPECT_EQ(f.formatStreams(source, destination, TextFormatter::UnconvertedPairs::Boxed), kSourceUnreadable);
}

}  // namespace
}  // namespace quillon
