// The count and first place of the characters a run from a Unicode source
// boxes, read again from its source.
#include "unicode_problem_census.h"

#include <gtest/gtest.h>

#include <string>

#include "edge_run.h"
#include "temp_files.h"
#include "text_formatter.h"

namespace quillon::unicode {
namespace {

using quillon::testing::TempDir;
using quillon::testing::writeFile;

struct CensusCase {
    const char* name;
    std::string source;
    std::int32_t from;
    std::int32_t to;
    CensusProblem problem;
    ProblemCensus expected;
};

TEST(UnicodeProblemCensus, CountsAndPlacesTheFirst) {
    const CensusCase cases[] = {
        {"invalid UTF-8 after a line", "国\n a\xFF" "b\xC3\n", kSourceUtf8, kOutputUtf8, CensusProblem::Invalid,
         {2, 2, 3, "", 0}},
        {"a noncharacter counts as invalid", "\xEF\xB7\x90\r\n", kSourceUtf8, kOutputGb, CensusProblem::Invalid,
         {1, 1, 1, "", 0}},
        {"beyond GB", "国ab😀\r\n😀", kSourceUtf8, kOutputGb, CensusProblem::Unmappable, {2, 1, 4, "", 0x1F600}},
        {"Big5 lacks a character", "國\n他們說：한국\n", kSourceUtf8, kOutputBig5, CensusProblem::Unmappable,
         {2, 2, 5, "", 0xD55C}},
        {"a lone surrogate in UTF-16", std::string("\xFF\xFE\x56\xFD\x00\xD8\x0A\x00", 8), kSourceUtf16,
         kOutputUtf8, CensusProblem::Invalid, {1, 1, 2, "", 0}},
        {"GB18030 holds what GBK does", "\xB9\xFA\r\n", kSourceGb18030, kOutputGbk, CensusProblem::Unmappable,
         {0, 0, 0, "", 0}},
    };
    TempDir dir;
    for (const CensusCase& c : cases) {
        writeFile(dir.file("in"), c.source);
        TextFormatter formatter;
        EdgeRunOptions options;
        options.sourceEncoding = c.from;
        options.outputEncoding = c.to;
        options.quiet = 1;
        EdgeOutput written;
        const RunResult result = runThroughEdge(formatter, RunKind::Convert, options, dir.file("in").c_str(),
                                                dir.file("out").c_str(), &written);
        ASSERT_NE(written.unicodeSource, nullptr) << c.name;
        const std::optional<ProblemCensus> census =
            takeUnicodeProblemCensus(dir.file("in").c_str(), written.unicodeSource, *formatter.sourceProfile,
                                     *formatter.targetProfile, c.problem);
        ASSERT_TRUE(census) << c.name;
        EXPECT_EQ(census->count, c.expected.count) << c.name;
        EXPECT_EQ(census->line, c.expected.line) << c.name;
        EXPECT_EQ(census->column, c.expected.column) << c.name;
        EXPECT_EQ(census->character, c.expected.character) << c.name;
        // The census finds a problem exactly where the run warns of one.
        EXPECT_EQ(result == (c.problem == CensusProblem::Invalid ? kInvalidCodeWarning : kUnmappableWarning),
                  census->count != 0)
            << c.name;
    }
}

}  // namespace
}  // namespace quillon::unicode
