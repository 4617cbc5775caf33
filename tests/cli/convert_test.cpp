// quillon-cli convert: bytes in, bytes out, messages and exit status.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli_runner.h"
#include "temp_files.h"

namespace quillon::testing {
namespace {


struct ConversionCase {
    const char* name;
    std::vector<std::string> options;
    std::string source;
    std::string expected;
    std::string trace;
};

void PrintTo(const ConversionCase& c, std::ostream* os) { *os << c.name; }

class ConvertConversions : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(ConvertConversions, WritesExactBytes) {
    const ConversionCase& c = GetParam();
    TempDir dir;
    writeFile(dir.file("in.txt"), c.source);
    std::vector<std::string> args{"convert"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    args.push_back(dir.file("in.txt"));
    args.push_back(dir.file("out.txt"));

    const CliRun run = runCli(args);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, c.trace);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(readFile(dir.file("out.txt")), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cli, ConvertConversions,
    ::testing::Values(
        // 国 为 ， from GB to Big5; the source encoding is detected.
        ConversionCase{"GbToBig5", {}, "\xB9\xFA\xCE\xAA\xA3\xAC\n", "\xB0\xEA\xAC\xB0\xA1\x4D\r\n",
                       ""},
        ConversionCase{"CrLfInput", {}, "\xB9\xFA\r\n\xCE\xAA\r\n", "\xB0\xEA\r\n\xAC\xB0\r\n",
                       ""},
        ConversionCase{"LastLineWithoutEnd", {}, "ab \xB9\xFA\nc\xA3\xAC", "ab \xB0\xEA\r\nc\xA1\x4D\r\n",
                       ""},
        ConversionCase{"Big5ToGb", {"--from", "big5"}, "\xB0\xEA\n", "\xB9\xFA\r\n",
                       ""},
        ConversionCase{"SameOnGbkWritesBig5", {"--from=gbk", "--to=same"}, "\xB9\xFA\n", "\xB0\xEA\r\n",
                       ""},
        ConversionCase{"NamedTargetHasNoTrace", {"--from", "GB", "--to", "Big5"}, "\xB9\xFA\n",
                       "\xB0\xEA\r\n", ""},
        // Inside a tag the character stays as it is.
        ConversionCase{"HtmlTagsLeftAlone", {"--html", "--from", "gb", "--to", "big5"},
                       "<a title=\xB9\xFA>\xB9\xFA</a>\n", "<a title=\xB9\xFA>\xB0\xEA</a>\r\n", ""},
        ConversionCase{"NoHtmlConvertsTags", {"--html", "--no-html", "--from", "gb", "--to", "big5"},
                       "<a title=\xB9\xFA>\n", "<a title=\xB0\xEA>\r\n", ""},
        // 头发 is 頭髮 by phrase, where the table alone gives 頭發.
        ConversionCase{"Phrases", {"--phrases", "--from", "gb", "--to", "big5"}, "\xCD\xB7\xB7\xA2\n",
                       "\xC0\x59\xBE\x76\r\n", ""}),
    [](const auto& info) { return info.param.name; });

TEST(CliConvert, InvalidPairBecomesABoxWithAWarning) {
    TempDir dir;
    writeFile(dir.file("in.txt"), "\xB0\x41\n");
    const CliRun loud = runCli({"convert", "--from", "gb", dir.file("in.txt"), dir.file("out.txt")});
    EXPECT_EQ(loud.exitCode, 1);
    EXPECT_EQ(loud.err, "quillon-cli: Warning: Invalid Chinese character found (1 in all, the first at line 1, column 1: bytes B0 41)\n");
    EXPECT_EQ(readFile(dir.file("out.txt")), "\xA1\xBC\r\n");

    const CliRun quiet =
        runCli({"convert", "--quiet", "--from", "gb", dir.file("in.txt"), dir.file("out2.txt")});
    EXPECT_EQ(quiet.exitCode, 1);
    EXPECT_EQ(quiet.err, "");
    EXPECT_EQ(readFile(dir.file("out2.txt")), "\xA1\xBC\r\n");
}

// Each way of naming the source again as the destination.
TEST(CliConvert, RefusesToWriteOverItsSource) {
    TempDir dir;
    const std::string original = "\xB9\xFA\n";
    writeFile(dir.file("a.txt"), original);
    std::filesystem::create_symlink("a.txt", dir.file("link.txt"));
    std::filesystem::create_hard_link(dir.file("a.txt"), dir.file("hard.txt"));

    const std::vector<std::string> destinations{"a.txt", "./a.txt", "link.txt", "hard.txt",
                                                dir.file("a.txt")};
    CliSetup inFolder;
    inFolder.directory = dir.path();
    for (const char* command : {"convert", "format"}) {
        for (const std::string& destination : destinations) {
            const CliRun run = runCli({command, "a.txt", destination}, inFolder);
            EXPECT_EQ(run.exitCode, 2) << command << " " << destination;
            EXPECT_EQ(run.err,
                      "quillon-cli: SOURCE and DESTINATION are the same file; nothing was written\n")
                << command << " " << destination;
            EXPECT_EQ(readFile(dir.file("a.txt")), original) << command << " " << destination;
        }
    }
}

}  // namespace
}  // namespace quillon::testing
