// One formatter running file after file: each run gives what a fresh
// formatter gives, whatever ran before it.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "edge_run.h"
#include "messages.h"
#include "source_kinds.h"
#include "temp_files.h"
#include "text_formatter.h"

namespace quillon::unicode {
namespace {

using quillon::testing::readFile;
using quillon::testing::SourceKind;
using quillon::testing::sourceKinds;
using quillon::testing::TempDir;
using quillon::testing::writeFile;

struct Outcome {
    RunResult result;
    std::string output;
    std::int64_t endMarkOffset;
    std::int32_t targetProfileId;
    std::string unicodeEncoding;

    bool operator==(const Outcome&) const = default;
};

void PrintTo(const Outcome& o, std::ostream* os) {
    *os << "result " << o.result << ", end mark " << o.endMarkOffset << ", target " << o.targetProfileId
        << ", " << o.unicodeEncoding << " output " << ::testing::PrintToString(o.output);
}

Outcome runOnce(TextFormatter& formatter, RunKind kind, const EdgeRunOptions& options, const TempDir& dir,
                const SourceKind& source) {
    writeFile(dir.file("in"), source.bytes);
    writeFile(dir.file("out"), "");
    EdgeOutput written;
    const RunResult result =
        runThroughEdge(formatter, kind, options, dir.file("in").c_str(), dir.file("out").c_str(), &written);
    return {result, readFile(dir.file("out")), formatter.endMarkOffset, formatter.targetProfileId(),
            written.unicodeEncoding ? written.unicodeEncoding : ""};
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
        setTraceSink([](std::string_view) {});
    }
    static void TearDownTestSuite() { setTraceSink({}); }
};

// Every option unlike the first-start values.
EdgeRunOptions otherOptions() {
    EdgeRunOptions options;
    options.outputEncoding = kOutputGb18030;
    options.htmlAware = options.quiet = options.naturalSyntax = options.phrases = 1;
    options.charsPerLine = 5;
    options.lineSpacing = 3;
    options.leadingSpaces = 0;
    options.leftMargin = 4;
    options.paragraphMode = kParagraphForce;
    options.headingAlignment = kAlignRight;
    options.fullWidthSpaces = options.autoFix = 0;
    options.form = kFormTraditional;
    options.lineEnds = kLineEndsLf;
    return options;
}

TEST_P(RunAfterRun, EqualsARunOfAFreshFormatter) {
    EdgeRunOptions options;
    options.outputEncoding = GetParam().outputEncoding;
    const RunKind kind = GetParam().kind;
    TempDir dir;
    const std::vector<SourceKind> kinds = sourceKinds();
    const std::pair<const char*, EdgeRunOptions> earlierOptions[] = {{"", options},
                                                                     {" with other options", otherOptions()}};
    for (const SourceKind& next : kinds) {
        TextFormatter fresh;
        const Outcome expected = runOnce(fresh, kind, options, dir, next);
        for (const SourceKind& before : kinds) {
            for (const auto& [named, beforeOptions] : earlierOptions) {
                SCOPED_TRACE(before.name + named + " then " + next.name);
                TextFormatter formatter;
                runOnce(formatter, kind, beforeOptions, dir, before);
                EXPECT_EQ(runOnce(formatter, kind, options, dir, next), expected);
            }
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
