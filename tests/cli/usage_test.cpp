// quillon-cli's command line: help, version and every kind of bad usage.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>
#include <vector>

#include "cli_runner.h"
#include "temp_files.h"

namespace quillon::testing {
namespace {

struct UsageCase {
    std::vector<std::string> args;
    std::string message;
};

TEST(CliUsage, BadUsageGetsOneLineAndStatusTwo) {
    const UsageCase cases[] = {
        {{}, "missing command (see quillon-cli --help)"},
        {{"translate", "a", "b"}, "unknown command 'translate' (see quillon-cli --help)"},
        {{"--frobnicate"}, "unknown option '--frobnicate' (see quillon-cli --help)"},
        {{"convert", "--bogus", "a", "b"}, "unknown option '--bogus' (see quillon-cli convert --help)"},
        {{"format", "-x", "a", "b"}, "unknown option '-x' (see quillon-cli format --help)"},
        {{"convert", "--no-quiet", "a", "b"}, "unknown option '--no-quiet' (see quillon-cli convert --help)"},
        {{"convert", "--version", "a", "b"}, "unknown option '--version' (see quillon-cli convert --help)"},
        {{"convert", "--chars-per-line", "5", "a", "b"}, "option '--chars-per-line' is only for format"},
        {{"convert", "-o", "b", "a", "c"}, "unexpected argument 'c' (DESTINATION is given by '--output')"},
        {{"convert", "a", "-o"}, "option '--output' needs a file"},
        {{"convert", "--output=", "a"}, "option '--output' needs a file"},
        {{"convert", "-o", "b", "--in-place", "a"},
         "option '--output' is for one source; several need --output-dir or --in-place"},
        {{"convert", "-qr", "a"}, "option '--quiet' takes no value"},
        {{"convert", "-x", "a"}, "unknown option '-x' (see quillon-cli convert --help)"},
        {{"format", "a", "b", "c"}, "unexpected argument 'c' (several sources need --output-dir or --in-place)"},
        {{"convert", "--recursive", "a", "b"}, "option '--recursive' needs '--output-dir' or '--in-place'"},
        {{"convert", "--backup", "a", "b"}, "option '--backup' needs '--in-place'"},
        {{"convert", "--backup", "--output-dir", "d", "a"}, "option '--backup' needs '--in-place'"},
        {{"convert", "--in-place", "--output-dir", "d", "a"},
         "options '--in-place' and '--output-dir' exclude each other"},
        {{"convert", "--in-place", "--backup=/x", "a"}, "the backup suffix cannot contain '/'"},
        {{"convert", "--in-place"}, "missing SOURCE"},
        {{"convert", "--in-place", "a", "-"}, "standard input cannot be one of several sources"},
        // Not even the options of a run that detect could ignore.
        {{"detect", "--verbose", "a"}, "detect takes no options"},
        {{"detect", "-o", "b", "a"}, "detect takes no options"},
        {{"detect", "-j2", "a"}, "detect takes no options"},
        {{"detect", "--in-place", "--backup", "a"}, "detect takes no options"},
        {{"convert", "--output-dir"}, "option '--output-dir' needs a value"},
        {{"convert", "--output-dir="}, "option '--output-dir' needs a folder"},
        {{"convert", "--in-place=yes", "a"}, "option '--in-place' takes no value"},
        {{"convert", "--jobs", "0", "--in-place", "a"}, "'0' is not a number of jobs from 1 to 64 for '--jobs'"},
        {{"convert", "--jobs=2x", "--in-place", "a"}, "'2x' is not a number of jobs from 1 to 64 for '--jobs'"},
        {{"format", "a", "b", "--lead-spaces"}, "option '--lead-spaces' needs a value"},
        {{"convert", "a", "b", "--from"}, "option '--from' needs a value"},
        {{"convert", "--html=1", "a", "b"}, "option '--html' takes no value"},
        {{"format", "--no-auto-fix=", "a", "b"}, "option '--no-auto-fix' takes no value"},
        {{"format", "--chars-per-line", "abc", "a", "b"}, "'abc' is not a number for '--chars-per-line'"},
        {{"format", "--line-spacing=", "a", "b"}, "'' is not a number for '--line-spacing'"},
        {{"format", "--left-margin", "3x", "a", "b"}, "'3x' is not a number for '--left-margin'"},
        {{"format", "--left-margin", "+-3", "a", "b"}, "'+-3' is not a number for '--left-margin'"},
        {{"format", "--left-margin", " 3", "a", "b"}, "' 3' is not a number for '--left-margin'"},
        {{"format", "--lead-spaces=2147483648", "a", "b"}, "'2147483648' is out of range for '--lead-spaces'"},
        {{"format", "--lead-spaces=-2147483649", "a", "b"}, "'-2147483649' is out of range for '--lead-spaces'"},
        // Counts of lines and blank units: the dialog refuses the same values.
        {{"format", "--line-spacing=-1", "a", "b"}, "'--line-spacing' must be 0 or more"},
        {{"format", "--lead-spaces", "-2147483648", "a", "b"}, "'--lead-spaces' must be 0 or more"},
        {{"format", "a", "b", "--left-margin", "-3"}, "'--left-margin' must be 0 or more"},
        {{"convert", "--from", "big5-hkscs", "a", "b"},
         "'big5-hkscs' is not a value of '--from' (auto, gb, gbk, big5, utf-8, utf-16, gb18030, utf-16le, utf-16be)"},
        {{"convert", "--to=big", "a", "b"},
         "'big' is not a value of '--to' (same, gb, gbk, big5, different, utf-8, gb18030, utf-16, utf-16le, "
         "utf-16be)"},
        {{"format", "--paragraph", "none", "a", "b"},
         "'none' is not a value of '--paragraph' (auto, one-line, empty-line, leading-spaces, force)"},
        {{"format", "--heading=centre", "a", "b"},
         "'centre' is not a value of '--heading' (left, middle, right, normal)"},
    };
    TempDir dir;
    CliSetup inFolder;
    inFolder.directory = dir.path();
    for (const UsageCase& c : cases) {
        const std::string shown = ::testing::PrintToString(c.args);
        const CliRun run = runCli(c.args, inFolder);
        EXPECT_EQ(run.exitCode, 2) << shown;
        EXPECT_EQ(run.err, "quillon-cli: " + c.message + "\n") << shown;
        EXPECT_EQ(run.out, "") << shown;
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(CliUsage, OptionsMayFollowOperandsAndDashDashEndsThem) {
    TempDir dir;
    writeFile(dir.file("-in.txt"), "\xB9\xFA\n");
    CliSetup inFolder;
    inFolder.directory = dir.path();
    const CliRun run = runCli({"convert", "--to", "big5", "--", "-in.txt", "--from=gb"}, inFolder);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(readFile(dir.file("--from=gb")), "\xB0\xEA\r\n");

    const CliRun late = runCli({"convert", "./-in.txt", "out.txt", "--from", "gb", "--to=big5"}, inFolder);
    EXPECT_EQ(late.exitCode, 0);
    EXPECT_EQ(late.err, "");
    EXPECT_EQ(readFile(dir.file("out.txt")), "\xB0\xEA\r\n");
}

TEST(CliUsage, HelpDescribesEachCommandsOwnOptions) {
    const CliRun overall = runCli({"--help"});
    EXPECT_EQ(overall.exitCode, 0);
    EXPECT_EQ(overall.err, "");
    EXPECT_TRUE(overall.out.starts_with("Usage: quillon-cli convert [options] [SOURCE [DESTINATION]]\n"
                                        "       quillon-cli format [options] [SOURCE [DESTINATION]]\n"
                                        "       quillon-cli convert|format [options] SOURCE... --output-dir DIR | --in-place\n"
                                        "       quillon-cli detect FILE...\n"
                                        "       quillon-cli -h | --help | -V | --version | -l | --list-encodings\n\n"))
        << overall.out;

    // Neither help promises the layout without its one exception.
    EXPECT_NE(overall.out.find("a line longer than 31,999 bytes is split"), std::string::npos);
    const char* shared[] = {"-f, --from auto|gb|gbk|big5", "-t, --to same|gb|gbk|big5|different",
                            "--html, --no-html", "--phrases, --no-phrases", "-q, --quiet", "--output-dir DIR",
                            "-r, --recursive", "-i, --in-place", "--backup[=SUFFIX]", "-j, --jobs N",
                            "-o, --output FILE", "-v, --verbose", "--bom keep|add|drop", "(default keep)"};
    const char* formatOnly[] = {"--chars-per-line N", "(not 0, default 38)", "--line-spacing N",
                                "(0 or more, default 1)", "--lead-spaces N", "(0 or more, default 2)",
                                "--left-margin N", "(0 or more, default 0)",
                                "--paragraph auto|one-line|empty-line|leading-spaces|force",
                                "--heading left|middle|right|normal", "(default middle)",
                                "--fullwidth-spaces, --no-fullwidth-spaces",
                                "--auto-fix, --no-auto-fix", "--natural-syntax, --no-natural-syntax"};
    for (const char* command : {"convert", "format"}) {
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{command, "--help"}, {command, "a", "-h", "b"}}) {
            const CliRun run = runCli(args);
            EXPECT_EQ(run.exitCode, 0);
            EXPECT_EQ(run.err, "");
            EXPECT_TRUE(run.out.starts_with("Usage: quillon-cli " + std::string(command) +
                                            " [options] [SOURCE [DESTINATION]]\n"));
            for (const char* text : shared) EXPECT_NE(run.out.find(text), std::string::npos) << text;
            const bool isFormat = std::string(command) == "format";
            if (!isFormat) {
                EXPECT_NE(run.out.find("longer than\n31,999 bytes is split"), std::string::npos);
            }
            for (const char* text : formatOnly) {
                EXPECT_EQ(run.out.find(text) != std::string::npos, isFormat) << command << " " << text;
            }
        }
    }
}

TEST(CliUsage, VersionNamesTheCodeTablesDictionariesAndIcu) {
    for (const char* option : {"--version", "-V"}) {
        const CliRun run = runCli({option});
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.err, "");
        const std::string head = "quillon-cli " QUILLON_VERSION "\ncode tables: OpenCC ";
        const std::string tail = "\nICU " QUILLON_ICU_VERSION "\n";
        ASSERT_TRUE(run.out.size() > head.size() + tail.size() && run.out.starts_with(head) &&
                    run.out.ends_with(tail))
            << option << ": " << run.out;
        // The tables' line (OpenCC's version, then the iconv the charts came
        // from) and the line of the newer dictionaries, named by their commit.
        const std::string middle = run.out.substr(head.size(), run.out.size() - head.size() - tail.size());
        const std::size_t lineEnd = middle.find('\n');
        ASSERT_NE(lineEnd, std::string::npos) << middle;
        EXPECT_NE(middle.substr(0, lineEnd).find("; iconv "), std::string::npos) << middle;
        const std::string line = middle.substr(lineEnd + 1);
        const std::string lead = "dictionaries: OpenCC repository, commit ";
        // The lead, 40 hex digits, then " (YYYY-MM-DD)".
        const auto hex = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) || (c >= 'a' && c <= 'f'); };
        const bool named = line.size() == lead.size() + 40 + 13 && line.starts_with(lead) &&
                           std::all_of(line.begin() + lead.size(), line.begin() + lead.size() + 40, hex) &&
                           line.substr(lead.size() + 40, 2) == " (" && line[lead.size() + 46] == '-' &&
                           line[lead.size() + 49] == '-' && line.ends_with(")");
        EXPECT_TRUE(named) << middle;
    }
}

}  // namespace
}  // namespace quillon::testing
