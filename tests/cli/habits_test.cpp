// The habits users bring from iconv, uconv and opencc: short options,
// encoding names and their aliases, standard streams when no file is named,
// the byte-order mark, and what --quiet and --verbose leave on standard error.
#include <gtest/gtest.h>

#include <unistd.h>

#include <string>
#include <vector>

#include "cli_runner.h"
#include "temp_files.h"

namespace quillon::testing {
namespace {

const std::string kGb = "\xB9\xFA\n";          // 国
const std::string kBig5 = "\xB0\xEA\r\n";      // 國
const std::string kGbInvalid = "\xB0\x41\n";   // a trail byte GB does not allow

// A convert run with `options` from a file holding `source` into out.txt.
CliRun convertFile(const TempDir& dir, const std::string& source, const std::vector<std::string>& options) {
    writeFile(dir.file("in.txt"), source);
    std::vector<std::string> args{"convert"};
    args.insert(args.end(), options.begin(), options.end());
    args.insert(args.end(), {dir.file("in.txt"), dir.file("out.txt")});
    return runCli(args);
}

struct Spelling {
    std::vector<std::string> shortForm;
    std::vector<std::string> longForm;
};

// Each short form does what its long form does, byte for byte and word for word.
TEST(CliHabits, ShortOptionsAreTheirLongForms) {
    const Spelling spellings[] = {
        {{"convert", "-f", "gb", "-t", "big5", "in.txt", "out.txt"},
         {"convert", "--from", "gb", "--to", "big5", "in.txt", "out.txt"}},
        {{"convert", "-fgb", "-tbig5", "in.txt", "out.txt"}, {"convert", "--from=gb", "--to=big5", "in.txt", "out.txt"}},
        {{"convert", "-t", "big5", "-o", "out.txt", "in.txt"}, {"convert", "--to", "big5", "in.txt", "out.txt"}},
        {{"convert", "-q", "-f", "gb", "bad.txt", "out.txt"}, {"convert", "--quiet", "--from", "gb", "bad.txt", "out.txt"}},
        {{"convert", "-v", "in.txt", "out.txt"}, {"convert", "--verbose", "in.txt", "out.txt"}},
        {{"convert", "-i", "-j", "2", "in.txt"}, {"convert", "--in-place", "--jobs", "2", "in.txt"}},
        {{"convert", "-r", "-o", "x", "in.txt"}, {"convert", "--recursive", "--output", "x", "in.txt"}},
        {{"-h"}, {"--help"}},
        {{"format", "-h"}, {"format", "--help"}},
        {{"-V"}, {"--version"}},
        {{"-l"}, {"--list-encodings"}},
    };
    for (const Spelling& s : spellings) {
        std::vector<CliRun> runs;
        std::vector<std::string> outputs;
        for (const auto* args : {&s.shortForm, &s.longForm}) {
            TempDir dir;
            writeFile(dir.file("in.txt"), kGb);
            writeFile(dir.file("bad.txt"), kGbInvalid);
            CliSetup inFolder;
            inFolder.directory = dir.path();
            runs.push_back(runCli(*args, inFolder));
            outputs.push_back(readFile(dir.file("out.txt")) + "|" + readFile(dir.file("in.txt")));
        }
        const std::string shown = ::testing::PrintToString(s.shortForm);
        EXPECT_EQ(runs[0].exitCode, runs[1].exitCode) << shown;
        EXPECT_EQ(runs[0].out, runs[1].out) << shown;
        EXPECT_EQ(runs[0].err, runs[1].err) << shown;
        EXPECT_EQ(outputs[0], outputs[1]) << shown;
    }
}

struct EncodingName {
    std::string option;  // --from or --to
    std::string name;
    std::string other;   // the other side's encoding
    std::string source;
    std::string output;
};

// The names iconv and uconv take, in any case; the other side is named so
// that the run is one the name alone decides.
TEST(CliHabits, EncodingNamesAndTheirAliases) {
    const std::string utf8 = "\xE5\x9B\xBD\n";  // 国
    const EncodingName names[] = {
        {"--from", "GB2312", "big5", kGb, kBig5},
        {"--from", "euc-cn", "big5", kGb, kBig5},
        {"--from", "EUC-CN", "big5", kGb, kBig5},
        {"--from", "CP936", "big5", kGb, kBig5},
        {"--from", "GBK", "big5", kGb, kBig5},
        {"--from", "Big5", "gb", kBig5, "\xB9\xFA\r\n"},
        {"--from", "cp950", "gb", kBig5, "\xB9\xFA\r\n"},
        {"--from", "UTF8", "big5", utf8, kBig5},
        {"--from", "UTF-8", "big5", utf8, kBig5},
        {"--from", "GB18030", "big5", kGb, kBig5},
        {"--from", "UTF-16LE", "big5", std::string("\xFD\x56\x0A\x00", 4), kBig5},
        {"--from", "utf16be", "big5", std::string("\x56\xFD\x00\x0A", 4), kBig5},
        {"--from", "UTF-16", "big5", std::string("\xFE\xFF\x56\xFD\x00\x0A", 6), kBig5},
        {"--to", "BIG5", "gb", kGb, kBig5},
        {"--to", "CP950", "gb", kGb, kBig5},
        {"--to", "Gb2312", "big5", kBig5, "\xB9\xFA\r\n"},
        {"--to", "UTF8", "gb", kGb, "\xE5\x9C\x8B\n"},
        {"--to", "UTF-16", "gb", kGb, std::string("\xFF\xFE\x0B\x57\x0D\x00\x0A\x00", 8)},
        {"--to", "UTF-16LE", "gb", kGb, std::string("\x0B\x57\x0D\x00\x0A\x00", 6)},
        {"--to", "utf-16be", "gb", kGb, std::string("\x57\x0B\x00\x0D\x00\x0A", 6)},
    };
    for (const EncodingName& n : names) {
        TempDir dir;
        const std::string otherOption = n.option == "--from" ? "--to" : "--from";
        const CliRun run = convertFile(dir, n.source, {n.option, n.name, otherOption, n.other});
        EXPECT_EQ(run.exitCode, 0) << n.option << " " << n.name << ": " << run.err;
        EXPECT_EQ(readFile(dir.file("out.txt")), n.output) << n.option << " " << n.name;
    }
}

TEST(CliHabits, ListEncodingsNamesEachWithItsAliases) {
    const CliRun run = runCli({"--list-encodings"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out,
              "gb gb2312 euc-cn\n"
              "gbk cp936\n"
              "big5 cp950\n"
              "utf-8 utf8\n"
              "utf-16 utf16\n"
              "gb18030\n"
              "utf-16le utf16le\n"
              "utf-16be utf16be\n");
}

struct StreamCase {
    std::vector<std::string> operands;
    std::string out;
    bool wroteFile;
};

// As with iconv: no SOURCE is standard input, no DESTINATION standard output.
TEST(CliHabits, FilesNotNamedAreTheStandardStreams) {
    const StreamCase cases[] = {
        {{}, kBig5, false},
        {{"in.txt"}, kBig5, false},
        {{"-o", "out.txt"}, "", true},
        {{"-", "out.txt"}, "", true},
    };
    for (const StreamCase& c : cases) {
        TempDir dir;
        writeFile(dir.file("in.txt"), kGb);
        CliSetup setup;
        setup.directory = dir.path();
        setup.standardInput = dir.file("in.txt");
        std::vector<std::string> args{"convert", "-t", "big5"};
        args.insert(args.end(), c.operands.begin(), c.operands.end());
        const CliRun run = runCli(args, setup);
        const std::string shown = ::testing::PrintToString(c.operands);
        EXPECT_EQ(run.exitCode, 0) << shown;
        EXPECT_EQ(run.err, "") << shown;
        EXPECT_EQ(run.out, c.out) << shown;
        EXPECT_EQ(readFile(dir.file("out.txt")), c.wroteFile ? kBig5 : "") << shown;
    }
}

struct MarkCase {
    std::string source;
    std::vector<std::string> options;
    std::string output;
};

TEST(CliHabits, ByteOrderMarkIsKeptAddedOrDropped) {
    const std::string marked = "\xEF\xBB\xBF\xE5\x9B\xBD\n";
    const std::string plain = "\xE5\x9B\xBD\n";
    const MarkCase cases[] = {
        {marked, {}, "\xEF\xBB\xBF\xE5\x9C\x8B\n"},
        {plain, {}, "\xE5\x9C\x8B\n"},
        {plain, {"--bom", "add"}, "\xEF\xBB\xBF\xE5\x9C\x8B\n"},
        {marked, {"--bom", "drop"}, "\xE5\x9C\x8B\n"},
        {marked, {"--bom=KEEP", "-t", "utf-16be"}, std::string("\xFE\xFF\x57\x0B\x00\x0D\x00\x0A", 8)},
        {plain, {"-t", "utf-16le"}, std::string("\x0B\x57\x0D\x00\x0A\x00", 6)},
        {plain, {"-t", "utf-16"}, std::string("\xFF\xFE\x0B\x57\x0D\x00\x0A\x00", 8)},
        {plain, {"-t", "utf-16", "--bom", "drop"}, std::string("\x0B\x57\x0D\x00\x0A\x00", 6)},
        // Legacy output has no mark to keep or add.
        {marked, {"-t", "big5", "--bom", "add"}, kBig5},
    };
    for (const MarkCase& c : cases) {
        TempDir dir;
        const CliRun run = convertFile(dir, c.source, c.options);
        const std::string shown = ::testing::PrintToString(c.options);
        EXPECT_EQ(run.exitCode, 0) << shown << run.err;
        EXPECT_EQ(readFile(dir.file("out.txt")), c.output) << shown;
    }
}

struct TalkCase {
    std::vector<std::string> args;
    std::string err;
};

// Detection is told only with --verbose; --quiet leaves errors alone.
TEST(CliHabits, QuietAndVerboseDecideWhatIsTold) {
    TempDir dir;
    writeFile(dir.file("in.txt"), kGb);
    writeFile(dir.file("bad.txt"), kGbInvalid);
    const std::string in = dir.file("in.txt");
    const std::string bad = dir.file("bad.txt");
    const std::string out = dir.file("out.txt");
    const TalkCase cases[] = {
        {{"convert", in, out}, ""},
        {{"convert", "-v", in, out}, "GB encoding is detected.\nConvert to BIG5 encoding.\n"},
        {{"convert", "-v", "-q", in, out}, ""},
        {{"convert", "-v", "-f", "gb", bad, out},
         "Convert to BIG5 encoding.\nquillon-cli: Warning: Invalid Chinese character found (1 in all, the first at "
         "line 1, column 1: bytes B0 41)\n"},
        {{"convert", "-q", "-f", "gb", bad, out}, ""},
        {{"convert", "-q", dir.file("missing.txt"), out},
         "quillon-cli: " + dir.file("missing.txt") + ": No such file or directory\n"},
        {{"convert", "-v", "-t", "big5", "--output-dir", dir.file("o"), in},
         "quillon-cli: " + in + ": GB encoding is detected.\nquillon-cli: 1 file: 1 converted (1 without warnings, 0 with warnings), 0 failed, "
         "0 skipped\n"},
        {{"convert", "-q", "-v", "-t", "big5", "--output-dir", dir.file("o"), in}, ""},
    };
    for (const TalkCase& c : cases) {
        const CliRun run = runCli(c.args);
        EXPECT_EQ(run.err, c.err) << ::testing::PrintToString(c.args);
    }
}

struct PlaceCase {
    std::vector<std::string> options;
    std::string source;
    std::string warning;
};

// A warning tells how many characters became boxes and where the first
// stood, from a legacy source or a Unicode one; where a second reading would
// not be sure of it, the warning stands alone.
TEST(CliHabits, WarningsTellTheCountAndTheFirstPlace) {
    const std::string bad = "\xB9\xFA\n\xB9\xFA x\xB0\x41y\xB0\x41\n";
    const PlaceCase cases[] = {
        {{"-f", "gb", "-t", "big5"}, bad,
         "Warning: Invalid Chinese character found (2 in all, the first at line 2, column 4: bytes B0 41)"},
        {{"-f", "big5", "-t", "gb"}, "\xA4\xA4\xF9\xD5\n",
         "Warning: Unable to convert some Chinese characters (1 in all, the first at line 1, column 2: bytes F9 D5)"},
        {{"-f", "gb", "-t", "big5"}, "\xB9\xFA\xB9", "Warning: Invalid Chinese character found (1 in all, the first "
                                                  "at line 1, column 2: bytes B9)"},
        {{"-f", "gb", "-t", "big5", "--html"}, bad, "Warning: Invalid Chinese character found"},
        {{"-f", "gb", "-t", "big5", "--phrases"}, bad, "Warning: Invalid Chinese character found"},
        {{"-f", "gb", "-t", "utf-8"}, bad, "Warning: Invalid Chinese character found"},
        {{"-f", "utf-8", "-t", "gb"}, "国\n一😀二😀\n", "Warning: Unable to convert some Chinese characters (2 in all, "
                                                     "the first at line 2, column 2: character U+1F600)"},
        {{"-f", "utf-8"}, "国\na\xFF\n", "Warning: Invalid Chinese character found (1 in all, the first at line 2, "
                                        "column 2)"},
    };
    for (const PlaceCase& c : cases) {
        TempDir dir;
        const CliRun run = convertFile(dir, c.source, c.options);
        EXPECT_EQ(run.exitCode, 1) << ::testing::PrintToString(c.options);
        EXPECT_EQ(run.err, "quillon-cli: " + c.warning + "\n") << ::testing::PrintToString(c.options);
    }

    // A pipe read once cannot be read again: the warning stands alone.
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    ASSERT_EQ(::write(ends[1], bad.data(), bad.size()), static_cast<ssize_t>(bad.size()));
    ::close(ends[1]);
    CliSetup piped;
    piped.standardInputDescriptor = ends[0];
    const CliRun streamed = runCli({"convert", "-f", "gb", "-t", "big5"}, piped);
    ::close(ends[0]);
    EXPECT_EQ(streamed.exitCode, 1);
    EXPECT_EQ(streamed.err, "quillon-cli: Warning: Invalid Chinese character found\n");
}

// The user's dictionaries are read before anything is written: a bad line
// refuses the run and leaves the destination as it was.
TEST(CliHabits, OwnDictionaries) {
    TempDir dir;
    writeFile(dir.file("words.txt"), "头发\t頭發\n");
    writeFile(dir.file("bad.txt"), "头发\t頭發\n内存 記憶體\n");
    const CliRun run = convertFile(dir, "头发\n", {"--dictionary", dir.file("words.txt")});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(readFile(dir.file("out.txt")), "頭發\n");

    writeFile(dir.file("out.txt"), "kept");
    const CliRun refused =
        convertFile(dir, "头发\n", {"--dictionary", dir.file("words.txt"), "--dictionary=" + dir.file("bad.txt")});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_EQ(refused.err, "quillon-cli: " + dir.file("bad.txt") + ":2: no tab between the phrase and its counterpart\n");
    EXPECT_EQ(readFile(dir.file("out.txt")), "kept");
}

}  // namespace
}  // namespace quillon::testing
