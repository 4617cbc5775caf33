// One formatter running file after file: each run gives what a fresh
// formatter gives, whatever ran before it.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "edge_run.h"
#include "messages.h"
#include "temp_files.h"
#include "text_formatter.h"

namespace quillon::unicode {
namespace {

using quillon::testing::readFile;
using quillon::testing::TempDir;
using quillon::testing::writeFile;

struct Source {
    const char* name;
    std::string_view bytes;
};

// Every kind of source, each told by detection.
constexpr Source kSources[] = {
    {"GB", "\xCD\xB7\xB7\xA2\xBA\xDC\xB3\xA4\xA3\xAC\xCB\xB5\xA3\xBA\xA1\xB0\xD5\xE2\xCA\xC7\xCE\xAA\xC1\xCB"
           "\xD6\xD0\xB9\xFA\xA1\xA3\xA1\xB1\n"},  // 头发很长，说：“这是为了中国。”
    {"GBK", "\xCD\xB7\xB7\xA2\xBA\xDC\xB3\xA4\xA3\xAC\x81\x40\x81\x56\xCB\xB5\xA1\xA3\n"},  // 头发很长，丂乂说。
    {"Big5", "\xB3o\xACO\xB2\xC4\xA4G\xAD\xD3\xA4\xE5\xA5\xF3\xA1\x41\xBB\xA1\xA1G\xA1u\xB0\xEA\xAE\x61\xA1\x43"
             "\xA1v\n"},  // 這是第二個文件，說：「國家。」
    {"ASCII", "plain text, nothing else.\n"},
    {"UTF-8 simplified", "这是第二个文件，国家的人民。\n"},
    {"UTF-8 traditional", "頭髮很長，國家的人民。\n"},
    {"UTF-16", std::string_view("\xFF\xFE\xFD\x56\xB6\x5B\x84\x76\xBA\x4E\x11\x6C\x02\x30\x0A\x00", 16)},  // 国家的人民。
    {"GB18030", "\xD6\xD0\xB9\xFA\xB5\xC4\xC8\xCB\xC3\xF1\xA2\xE3\x95\x32\x82\x36\xA1\xA3\n"},  // 中国的人民€𠀀。
    // The end mark leaves its offset in the run's report.
    {"GB ended by 1A", "\xD6\xD0\xCE\xC4\x1A\xB8\xFC\xB6\xE0\n"},
};

struct Outcome {
    RunResult result;
    std::string output;
    std::int64_t endMarkOffset;
    std::int32_t targetProfileId;
    const char* unicodeEncoding;

    bool operator==(const Outcome&) const = default;
};

void PrintTo(const Outcome& o, std::ostream* os) {
    *os << "result " << o.result << ", end mark " << o.endMarkOffset << ", target " << o.targetProfileId
        << ", output " << ::testing::PrintToString(o.output);
}

Outcome runOnce(TextFormatter& formatter, RunKind kind, const EdgeRunOptions& options, const TempDir& dir,
                const Source& source) {
    writeFile(dir.file("in"), source.bytes);
    writeFile(dir.file("out"), "");
    EdgeOutput written;
    const RunResult result =
        runThroughEdge(formatter, kind, options, dir.file("in").c_str(), dir.file("out").c_str(), &written);
    return {result, readFile(dir.file("out")), formatter.endMarkOffset, formatter.targetProfileId(),
            written.unicodeEncoding};
}

struct Settings {
    const char* name;
    RunKind kind;
    std::int32_t outputEncoding;
};

void PrintTo(const Settings& s, std::ostream* os) { *os << s.name; }

class RunAfterRun : public ::testing::TestWithParam<Settings> {
protected:
    static void SetUpTestSuite() {
        setMessageSink([](std::string_view, std::string_view) {});
        setTraceSink([](std::string_view) {});
    }
    static void TearDownTestSuite() {
        setMessageSink({});
        setTraceSink({});
    }
};

TEST_P(RunAfterRun, EqualsARunOfAFreshFormatter) {
    EdgeRunOptions options;
    options.outputEncoding = GetParam().outputEncoding;
    const RunKind kind = GetParam().kind;
    TempDir dir;
    for (const Source& next : kSources) {
        TextFormatter fresh;
        const Outcome expected = runOnce(fresh, kind, options, dir, next);
        for (const Source& before : kSources) {
            SCOPED_TRACE(std::string(before.name) + " then " + next.name);
            TextFormatter formatter;
            runOnce(formatter, kind, options, dir, before);
            EXPECT_EQ(runOnce(formatter, kind, options, dir, next), expected);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Runs, RunAfterRun,
                         ::testing::Values(Settings{"Convert", RunKind::Convert, kOutputSame},
                                           Settings{"ConvertToUtf8", RunKind::Convert, kOutputUtf8},
                                           Settings{"Format", RunKind::Format, kOutputSame},
                                           Settings{"FormatToUtf8", RunKind::Format, kOutputUtf8}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillon::unicode
