// quillon-cli with Unicode text: the detect command, Unicode options on the
// command line, and what reaches standard streams.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "cli_runner.h"
#include "legacy_text.h"
#include "temp_files.h"

namespace quillon::testing {
namespace {

TEST(CliDetect, NamesEveryKindOfFile) {
    TempDir dir;
    const std::vector<std::pair<std::string, std::string>> files = {
        {"gb.txt", "\xB9\xFA\xBC\xD2\xA1\xA3\r\n"},
        {"gbk.txt", "\x87\xF8\xA3\xAC\x81\x40\n"},
        {"big5.txt", "\xB0\xEA\xAE\x61\xA1\x43\n"},
        {"ascii.txt", "plain\n"},
        {"utf8.txt", "国家。\n"},
        {"utf16.txt", std::string("\xFE\xFF\x57\x0B\x00\x0D\x00\x0A", 8)},
        {"gb18030.txt", "\xB9\xFA\x94\x39\xFC\x36\r\n\n"},
        {"empty.txt", ""},
    };
    std::vector<std::string> args{"detect"};
    for (const auto& [name, bytes] : files) {
        writeFile(dir.file(name), bytes);
        args.push_back(dir.file(name));
    }
    const CliRun run = runCli(args);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, dir.file("gb.txt") + "\tGB\tsimplified\tCRLF\n" +
                           dir.file("gbk.txt") + "\tGBK\ttraditional\tLF\n" +
                           dir.file("big5.txt") + "\tBIG5\ttraditional\tLF\n" +
                           dir.file("ascii.txt") + "\tPureASC\tnone\tLF\n" +
                           dir.file("utf8.txt") + "\tUTF-8\tsimplified\tLF\n" +
                           dir.file("utf16.txt") + "\tUTF-16BE\ttraditional\tCRLF\n" +
                           dir.file("gb18030.txt") + "\tGB18030\tsimplified\tmixed\n" +
                           dir.file("empty.txt") + "\tPureASC\tnone\tnone\n");
}

TEST(CliDetect, GoesOnPastAFileItCannotReadAndExitsTwo) {
    TempDir dir;
    writeFile(dir.file("a.txt"), "a\n");
    const CliRun run = runCli({"detect", dir.file("missing"), dir.file("a.txt")});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err, "quillon-cli: " + dir.file("missing") + ": cannot be read: No such file or directory\n");
    EXPECT_EQ(run.out, dir.file("a.txt") + "\tPureASC\tnone\tLF\n");
}

// A device or a pipe named as FILE may never end, and gives its bytes once:
// detection, which reads a file more than once, refuses them.
TEST(CliDetect, RefusesWhatIsNotARegularFile) {
    TempDir dir;
    writeFile(dir.file("a.txt"), "a\n");
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    const CliRun run = runCli({"detect", dir.file("fifo"), "/dev/zero", dir.path().string(), dir.file("a.txt")});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err, "quillon-cli: " + dir.file("fifo") + ": not a regular file\n" +
                           "quillon-cli: /dev/zero: not a regular file\n" +
                           "quillon-cli: " + dir.path().string() + ": not a regular file\n");
    EXPECT_EQ(run.out, dir.file("a.txt") + "\tPureASC\tnone\tLF\n");
}

TEST(CliDetect, DashReadsStandardInput) {
    TempDir dir;
    const std::string gb = "\xB9\xFA\xBC\xD2\xA1\xA3\r\n";
    writeFile(dir.file("gb.txt"), gb);
    CliSetup fromFile;
    fromFile.standardInput = dir.file("gb.txt");
    int pipeEnds[2];
    ASSERT_EQ(::pipe2(pipeEnds, O_CLOEXEC), 0);
    ASSERT_EQ(::write(pipeEnds[1], gb.data(), gb.size()), static_cast<ssize_t>(gb.size()));
    ::close(pipeEnds[1]);
    CliSetup fromPipe;
    fromPipe.standardInputDescriptor = pipeEnds[0];
    for (const CliSetup& setup : {fromFile, fromPipe}) {
        const CliRun run = runCli({"detect", "-"}, setup);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.out, "-\tGB\tsimplified\tCRLF\n");
    }
    ::close(pipeEnds[0]);
}

// A file's line comes out while a later file is still being read.
TEST(CliDetect, PrintsEachLineAsSoonAsKnown) {
    TempDir dir;
    writeFile(dir.file("a.txt"), "a\n");
    int input[2];
    int output[2];
    ASSERT_EQ(::pipe2(input, O_CLOEXEC), 0);
    ASSERT_EQ(::pipe2(output, O_CLOEXEC), 0);
    CliSetup setup;
    setup.standardInputDescriptor = input[0];
    setup.standardOutput = output[1];
    CliProcess process({"detect", dir.file("a.txt"), "-"}, setup);
    ::close(input[0]);
    ::close(output[1]);
    const auto readSome = [&] {
        pollfd ready{.fd = output[0], .events = POLLIN, .revents = 0};
        char text[256];
        const ssize_t got = ::poll(&ready, 1, 20'000) == 1 ? ::read(output[0], text, sizeof text) : 0;
        return std::string(text, static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
    };
    EXPECT_EQ(readSome(), dir.file("a.txt") + "\tPureASC\tnone\tLF\n");
    ASSERT_EQ(::write(input[1], "b\r\n", 3), 3);
    ::close(input[1]);
    EXPECT_EQ(readSome(), "-\tPureASC\tnone\tCRLF\n");
    EXPECT_EQ(process.wait().exitCode, 0);
    ::close(output[0]);
}

// A name may hold any byte but '/': its control characters are escaped, so
// that each file keeps its line and its columns.
TEST(CliDetect, EscapesNames) {
    TempDir dir;
    writeFile(dir.file("tab\there\033[0m\n.txt"), "a\n");
    CliSetup setup;
    setup.directory = dir.path().string();
    const CliRun run = runCli({"detect", "tab\there\033[0m\n.txt", "gone\\\n"}, setup);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "tab\\there\\033[0m\\n.txt\tPureASC\tnone\tLF\n");
    EXPECT_EQ(run.err, "quillon-cli: gone\\\\\\n: cannot be read: No such file or directory\n");
}

TEST(CliDetect, Usage) {
    const CliRun none = runCli({"detect"});
    EXPECT_EQ(none.exitCode, 2);
    EXPECT_EQ(none.err, "quillon-cli: missing FILE\n");
    const CliRun option = runCli({"detect", "--from", "gb", "a"});
    EXPECT_EQ(option.exitCode, 2);
    EXPECT_EQ(option.err, "quillon-cli: detect takes no options\n");
    const CliRun help = runCli({"detect", "--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("PATH, ENCODING, FORM and LINE-ENDS"), std::string::npos);
}

// One line a paragraph, without indent, 12 characters a line.
constexpr const char* kNarrow = "--chars-per-line=12";
constexpr const char* kUnindented = "--lead-spaces=0";
constexpr const char* kOneLine = "--paragraph=one-line";

struct UnicodeCase {
    const char* name;
    std::vector<std::string> args;
    std::string source;
    std::string expected;
    std::string err;
};

void PrintTo(const UnicodeCase& c, std::ostream* os) { *os << c.name; }

class CliUnicodeRuns : public ::testing::TestWithParam<UnicodeCase> {};

// Standard input and output carry Unicode text like any other.
TEST_P(CliUnicodeRuns, WritesExactBytes) {
    const UnicodeCase& c = GetParam();
    TempDir dir;
    writeFile(dir.file("in.txt"), c.source);
    CliSetup setup;
    setup.standardInput = dir.file("in.txt");
    std::vector<std::string> args = c.args;
    args.push_back("-");
    args.push_back("-");
    const CliRun run = runCli(args, setup);
    EXPECT_EQ(run.out, c.expected);
    EXPECT_EQ(run.err, c.err);
}

INSTANTIATE_TEST_SUITE_P(
    Cli, CliUnicodeRuns,
    ::testing::Values(
        UnicodeCase{"Utf8SourceGivesUtf8", {"convert"}, "国😀\n", "國😀\n",
                    ""},
        UnicodeCase{"FormatKeepsTheForm", {"format", "--chars-per-line=-1", "--lead-spaces=0"},
                    "国😀。\n", "国😀。\n\n", ""},
        UnicodeCase{"FormAndLineEndsByName",
                    {"convert", "--from", "utf-8", "--form", "simplified", "--line-ends", "crlf"},
                    "國\n", "国\r\n", ""},
        UnicodeCase{"LegacyToUtf8", {"convert", "--from", "gb", "--to", "utf-8"}, "\xB9\xFA\r\n",
                    "國\n", ""},
        UnicodeCase{"LegacyWithLfLineEnds", {"convert", "--from", "gb", "--line-ends=lf"},
                    "\xB9\xFA\r\n", "\xB0\xEA\n", ""},
        UnicodeCase{"Utf16NeedsItsMark", {"convert", "--from", "utf-16"}, "\x56\xFD", "",
                    "quillon-cli: standard input: UTF-16 without a byte-order mark; name its byte order "
                    "with --from utf-16le or utf-16be\n"},
        UnicodeCase{"OpenccNameChoosesTheConversion", {"convert", "--from", "utf-8", "--opencc", "hk2s"},
                    "頭髮，裏面\n", "头发，里面\n", ""},
        UnicodeCase{"StandardAndRegionalWords",
                    {"convert", "--from", "utf-8", "--standard", "taiwan", "--regional-words"},
                    "内存\n", "記憶體\n", ""},
        UnicodeCase{"GenericStandard", {"convert", "--from", "utf-8", "--standard", "generic"},
                    "里面\n", "裏面\n", ""},
        UnicodeCase{"NoPhrasesKeepsTheTables", {"convert", "--from", "utf-8", "--no-phrases"},
                    "头发\n", "頭發\n", ""},
        // Text with Latin words and the line-start rules by run: Unicode
        // source or output takes them, legacy runs keep the legacy rules.
        UnicodeCase{"MixedTextByDefaultInUnicodeRuns", {"format", "--chars-per-line=-1", "--lead-spaces=0"},
                    "版本 2.100 见 www.debian.org。\n", "版本 2.100 见 www.debian.org。\n\n", ""},
        UnicodeCase{"MixedTextTurnedOff",
                    {"format", "--from", "utf-8", "--chars-per-line=-1", "--lead-spaces=0", "--no-mixed-text"},
                    "版本 2.100 见 www.debian.org。\n", "版本2。100见www。debian。org。\n\n", ""},
        UnicodeCase{"LegacyRunsKeepTheLegacyRules",
                    {"format", "--from", "gb", "--chars-per-line=5", "--lead-spaces=0"},
                    gb("版本 2.1 三四五六七，八\n"), gb("版本2。1三\r\n四五六七，\r\n八\r\n\r\n"), ""},
        UnicodeCase{"LegacySourceToUnicodeOutputTakesThem",
                    {"format", "--from", "gb", "--to", "utf-8", "--chars-per-line=5", "--lead-spaces=0"},
                    gb("版本 2.1 三四五六七，八\n"), "版本 2.1\n三四五六\n七，八\n\n", ""},
        UnicodeCase{"LegacyRunsTakeThemWhenAsked",
                    {"format", "--from", "gb", "--chars-per-line=5", "--lead-spaces=0", "--mixed-text",
                     "--line-start-rules"},
                    gb("版本 2.1 三四五六七，八\n"), gb("版本 2.1\r\n三四五六\r\n七，八\r\n\r\n"), ""},
        UnicodeCase{"UnknownOpenccName", {"convert", "--opencc", "jp2t"}, "", "",
                    "quillon-cli: 'jp2t' is not a value of '--opencc' (s2t, s2tw, s2twp, s2hk, "
                    "s2hkp, t2s, tw2s, tw2sp, hk2s, hk2sp, t2tw, tw2t, t2hk, hk2t)\n"},
        // A chapter's line (第三章　茶馆，一) is a heading, centred, in a
        // Unicode run, and paragraph text in a legacy one, unless told otherwise.
        UnicodeCase{"ChapterHeadingsInUnicodeRuns", {"format", "--from", "utf-8", kNarrow, kUnindented, kOneLine},
                    "第三章　茶馆，一\n", "　　第三章　茶馆，一\n\n", ""},
        UnicodeCase{"NoChapterHeadings",
                    {"format", "--from", "utf-8", "--no-chapter-headings", kNarrow, kUnindented, kOneLine},
                    "第三章　茶馆，一\n", "第三章茶馆，一\n\n", ""},
        UnicodeCase{"NoChapterHeadingsInLegacyRuns", {"format", "--from", "gb", kNarrow, kUnindented, kOneLine},
                    "\xB5\xDA\xC8\xFD\xD5\xC2\xA1\xA1\xB2\xE8\xB9\xDD\xA3\xAC\xD2\xBB\n", "\xB5\xDA\xC8\xFD\xD5\xC2\xB2\xE8\xB9\xDD\xA3\xAC\xD2\xBB\r\n\r\n", ""},
        UnicodeCase{"ChapterHeadingsInLegacyRuns",
                    {"format", "--from", "gb", "--chapter-headings", kNarrow, kUnindented, kOneLine},
                    "\xB5\xDA\xC8\xFD\xD5\xC2\xA1\xA1\xB2\xE8\xB9\xDD\xA3\xAC\xD2\xBB\n", "\xA1\xA1\xA1\xA1\xB5\xDA\xC8\xFD\xD5\xC2\xA1\xA1\xB2\xE8\xB9\xDD\xA3\xAC\xD2\xBB\r\n\r\n", ""},
        UnicodeCase{"BadHeadingPattern", {"format", "--heading-pattern", "[卷"}, "", "",
                    "quillon-cli: The heading pattern '[卷' is no regular expression: "
                    "U_REGEX_MISSING_CLOSE_BRACKET at offset 2\n"}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace quillon::testing
