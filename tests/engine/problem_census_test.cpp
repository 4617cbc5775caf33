// The count and first place of the characters a convert run boxes, read
// again from its source.
#include "problem_census.h"

#include <gtest/gtest.h>

#include <string>

#include "temp_files.h"
#include "text_formatter.h"

namespace quillon {
namespace {

using testing::TempDir;
using testing::writeFile;

struct CensusCase {
    const char* name;
    std::string source;
    const EncodingProfile* from;
    const EncodingProfile* to;
    CensusProblem problem;
    ProblemCensus expected;
};

TEST(ProblemCensus, CountsAndPlacesTheFirst) {
    const std::string longLine = std::string(TextFormatter::kBufferSize, 'a');
    const CensusCase cases[] = {
        {"invalid pair after a character and ASCII", "ab\xB9\xFA\n\xB9\xFA x\xB0\x41y\xB0\x41\n", &profiles::GB,
         &profiles::BIG5, CensusProblem::Invalid, {2, 2, 4, "\xB0\x41"}},
        {"unmappable ones are not invalid", "\xF9\xD5\n", &profiles::BIG5, &profiles::GB, CensusProblem::Invalid,
         {0, 0, 0, ""}},
        {"unmappable", "\xA4\xA4\xF9\xD5\xF9\xD5\n", &profiles::BIG5, &profiles::GB, CensusProblem::Unmappable,
         {2, 1, 2, "\xF9\xD5"}},
        {"a lead byte without its trail ends the line", "\xB9\xFA\xB9\r\n", &profiles::GB, &profiles::BIG5,
         CensusProblem::Invalid, {1, 1, 2, "\xB9"}},
        {"CR LF ends a line as LF does", "\r\n\r\n\x81\x40", &profiles::GB, &profiles::BIG5, CensusProblem::Invalid,
         {1, 3, 1, "\x81\x40"}},
        {"a box in the source is no problem", "\xA1\xBC\n", &profiles::BIG5, &profiles::GB,
         CensusProblem::Unmappable, {0, 0, 0, ""}},
        {"a long line read in pieces keeps its columns", longLine + "\xB0\x41\n", &profiles::GB, &profiles::BIG5,
         CensusProblem::Invalid, {1, 1, TextFormatter::kBufferSize + 1, "\xB0\x41"}},
        {"problems among runs of pairs, taken four at a time",
         "\xB9\xFA\xB9\xFA\xB9\xFA\xB9\xFA\xB9\xFA\xB0\x41\xB9\xFA\xB9\xFA\xB0\x41\xB0\x41\xB9\xFA\xB0\x41\n",
         &profiles::GB, &profiles::BIG5, CensusProblem::Invalid, {4, 1, 6, "\xB0\x41"}},
        {"the first of a second line, after ASCII words", "abcdefghijklmnop\nabcdefghij\xB9\xFA\xB0\x41\n",
         &profiles::GB, &profiles::BIG5, CensusProblem::Invalid, {1, 2, 12, "\xB0\x41"}},
        {"GB into GBK converts nothing", "\xB0\x41\n", &profiles::GB, &profiles::GBK, CensusProblem::Invalid,
         {0, 0, 0, ""}},
    };
    TempDir dir;
    for (const CensusCase& c : cases) {
        writeFile(dir.file("in"), c.source);
        const std::optional<ProblemCensus> census = takeProblemCensus(dir.file("in").c_str(), *c.from, *c.to, c.problem);
        ASSERT_TRUE(census) << c.name;
        EXPECT_EQ(census->count, c.expected.count) << c.name;
        EXPECT_EQ(census->line, c.expected.line) << c.name;
        EXPECT_EQ(census->column, c.expected.column) << c.name;
        EXPECT_EQ(census->bytes, c.expected.bytes) << c.name;

        // The census finds a problem exactly where the run warns of one.
        TextFormatter run;
        run.setSourceEncoding(c.from->id);
        run.setOutputEncoding(c.to->id);
        run.setQuiet(1);
        const RunResult result = run.convertFile(dir.file("in").c_str(), dir.file("out").c_str());
        EXPECT_EQ(result == (c.problem == CensusProblem::Invalid ? kInvalidCodeWarning : kUnmappableWarning),
                  census->count != 0)
            << c.name;
    }
    EXPECT_FALSE(takeProblemCensus(dir.file("missing").c_str(), profiles::GB, profiles::BIG5, CensusProblem::Invalid));
}

}  // namespace
}  // namespace quillon
