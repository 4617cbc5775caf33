// What a front end takes from the library beyond runs: the command line
// read as quillon-cli reads it, runs that name their files as the face
// does, in-place runs, and its own scratch files.
#include <quillon/quillon.h>

#include <filesystem>
#include <tuple>

#include <gtest/gtest.h>
#include <unistd.h>

#include "temp_files.h"

namespace {

using namespace quillon::api;
using quillon::testing::readFile;
using quillon::testing::TempDir;
using quillon::testing::writeFile;

const std::string kGb = "\xD6\xD0\xB9\xFA\r\n";    // 中国
const std::string kBig5 = "\xA4\xA4\xB0\xEA\r\n";  // the same in Big5

struct WordsCase {
    const char* name;
    std::vector<std::string> words;
    void (*check)(const CommandLine& line);
};

void PrintTo(const WordsCase& c, std::ostream* out) { *out << c.name; }

class Words : public testing::TestWithParam<WordsCase> {};

TEST_P(Words, ReadAsTheCommandLineReadsThem) { GetParam().check(readCommandLine(GetParam().words)); }

INSTANTIATE_TEST_SUITE_P(
    Library, Words,
    testing::Values(
        // Short forms, "=" and aliases come back in the option's own field;
        // --quiet is the face's, not the run's.
        WordsCase{"RunOptions",
                  {"convert", "-f", "gb2312", "--to=BIG5", "--no-phrases", "--html", "-q", "a", "b"},
                  [](const CommandLine& line) {
                      EXPECT_EQ(line.action, CommandLine::Action::Run);
                      EXPECT_EQ(line.command, "convert");
                      EXPECT_EQ(std::tie(line.options.from, line.options.to), std::tie("gb2312", "BIG5"));
                      EXPECT_EQ(line.options.phrases, false);
                      EXPECT_EQ(line.options.html, true);
                      EXPECT_TRUE(line.quiet);
                      EXPECT_EQ(std::tie(line.source, line.destination), std::tie("a", "b"));
                  }},
        WordsCase{"FormatOptions",
                  {"format", "--chars-per-line", "+30", "--lead-spaces=2", "--heading-pattern=^X$", "--mixed-text",
                   "--chars-per-line=40"},
                  [](const CommandLine& line) {
                      EXPECT_EQ(line.options.charsPerLine, 40);  // the last one given
                      EXPECT_EQ(line.options.leadSpaces, 2);
                      EXPECT_EQ(line.options.headingPattern, "^X$");
                      EXPECT_EQ(line.options.mixedText, true);
                      EXPECT_FALSE(line.options.autoFix.has_value());
                      EXPECT_EQ(std::tie(line.source, line.destination), std::tie("-", "-"));
                  }},
        WordsCase{"InPlaceBatch",
                  {"format", "--in-place", "--backup", "-j", "3", "--verbose", "x", "y"},
                  [](const CommandLine& line) {
                      EXPECT_TRUE(line.inPlace);
                      EXPECT_EQ(line.backupSuffix, "~");
                      EXPECT_EQ(line.jobs, 3);
                      EXPECT_TRUE(line.verbose);
                      EXPECT_EQ(line.sources, (std::vector<std::string>{"x", "y"}));
                  }},
        WordsCase{"Detect", {"detect", "p", "-"},
                  [](const CommandLine& line) {
                      EXPECT_EQ(line.command, "detect");
                      EXPECT_EQ(line.files, (std::vector<std::string>{"p", "-"}));
                  }},
        WordsCase{"Refused", {"convert", "--paragraph=force"},
                  [](const CommandLine& line) {
                      EXPECT_EQ(line.action, CommandLine::Action::UsageError);
                      EXPECT_EQ(line.text, "option '--paragraph' is only for format");
                  }},
        WordsCase{"Help", {"format", "--help"},
                  [](const CommandLine& line) {
                      EXPECT_EQ(line.action, CommandLine::Action::Help);
                      EXPECT_NE(line.text.find("--chars-per-line"), std::string::npos);
                  }}),
    [](const auto& info) { return std::string(info.param.name); });

// The options read from words run as the same options set by hand.
TEST(Words, RunAsGiven) {
    const CommandLine line = readCommandLine({"convert", "--from", "gb", "--to", "big5"});
    EXPECT_EQ(convert(kGb, line.options), kBig5);
}

TEST(Words, BadDictionaryRefusesTheLine) {
    TempDir dir;
    writeFile(dir.file("bad.txt"), "头发 頭發\n");
    const CommandLine line = readCommandLine({"convert", "--dictionary", dir.file("bad.txt")});
    EXPECT_EQ(line.action, CommandLine::Action::UsageError);
    EXPECT_EQ(line.text, dir.file("bad.txt") + ":1: no tab between the phrase and its counterpart");
}

TEST(Words, DictionariesJoinTheRun) {
    TempDir dir;
    writeFile(dir.file("words.txt"), "头发\t頭發\n");
    const CommandLine line = readCommandLine({"convert", "--dictionary", dir.file("words.txt")});
    EXPECT_EQ(convert("头发\n", line.options), "頭發\n");
}

struct NamedFailure {
    const char* name;
    Options options;
    std::string input;              // none: the source is missing
    bool destinationInMissingFolder;
    std::string message;            // "SOURCE" and "DESTINATION" stand for the names
};

void PrintTo(const NamedFailure& c, std::ostream* out) { *out << c.name; }

class Names : public testing::TestWithParam<NamedFailure> {};

TEST_P(Names, AreTheOnesMessagesUse) {
    const NamedFailure& c = GetParam();
    TempDir dir;
    if (!c.input.empty()) writeFile(dir.file("in"), c.input);
    const std::string destination = dir.file(c.destinationInMissingFolder ? "none/out" : "out");
    try {
        runFile(PreparedOptions(Task::Convert, c.options), dir.file("in"), destination, {"the source", "the destination"});
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(error.what(), c.message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Library, Names,
    testing::Values(NamedFailure{"MissingSource", {}, "", false, "the source: No such file or directory"},
                    NamedFailure{"MissingFolder", {}, "头发\n", true, "the destination: No such file or directory"},
                    NamedFailure{"Utf16WithoutMark", [] {
                                     Options options;
                                     options.from = "utf-16";
                                     return options;
                                 }(),
                                 "abc\n", false,
                                 "the source: UTF-16 without a byte-order mark; name its byte order with --from "
                                 "utf-16le or utf-16be"}),
    [](const auto& info) { return std::string(info.param.name); });

struct InPlaceCase {
    const char* name;
    std::optional<std::string> backupSuffix;
};

class InPlace : public testing::TestWithParam<InPlaceCase> {};

// The file ends converted, the original where asked for, and nothing else
// is left in the folder.
TEST_P(InPlace, ReplacesTheFileAndKeepsTheBackup) {
    TempDir dir;
    writeFile(dir.file("a.txt"), kGb);
    ::chmod(dir.file("a.txt").c_str(), 0640);
    Options options;
    options.from = "gb";
    options.to = "big5";
    runInPlace(PreparedOptions(Task::Convert, options), dir.file("a.txt"), GetParam().backupSuffix);
    EXPECT_EQ(readFile(dir.file("a.txt")), kBig5);
    EXPECT_EQ(std::filesystem::status(dir.file("a.txt")).permissions(), std::filesystem::perms(0640));
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) ++entries;
    if (const auto& suffix = GetParam().backupSuffix) {
        EXPECT_EQ(readFile(dir.file("a.txt" + *suffix)), kGb);
        EXPECT_EQ(entries, 2u);
    } else {
        EXPECT_EQ(entries, 1u);
    }
}

INSTANTIATE_TEST_SUITE_P(Library, InPlace,
                         testing::Values(InPlaceCase{"NoBackup", std::nullopt}, InPlaceCase{"Tilde", "~"},
                                         InPlaceCase{"Suffix", ".orig"}),
                         [](const auto& info) { return std::string(info.param.name); });

// A run that fails leaves the file, and no backup or result beside it.
TEST(InPlace, FailedRunLeavesTheFolderAsItWas) {
    TempDir dir;
    writeFile(dir.file("a.txt"), "plain\n");
    EXPECT_THROW(runInPlace(PreparedOptions(Task::Format, {}), dir.file("a.txt"), "~"), Error);
    EXPECT_EQ(readFile(dir.file("a.txt")), "plain\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

// A form shows the defaults a run takes: every option that has one, those
// a run decides by its text left unset.
TEST(DefaultOptions, AreTheOnesARunTakes) {
    const Options defaults = defaultOptions();
    EXPECT_EQ(defaults.from, "auto");
    EXPECT_EQ(defaults.to, "same");
    EXPECT_EQ(defaults.paragraph, "auto");
    EXPECT_EQ(defaults.heading, "middle");
    EXPECT_EQ(defaults.quotes, "keep");
    EXPECT_EQ(defaults.charsPerLine, 38);
    EXPECT_EQ(defaults.fullwidthSpaces, true);
    EXPECT_EQ(defaults.html, false);
    EXPECT_EQ(defaults.phrases, std::nullopt);
    EXPECT_EQ(defaults.mixedText, std::nullopt);
    EXPECT_TRUE(defaults.opencc.empty());
    EXPECT_TRUE(defaults.headingPattern.empty());
    const std::string text = "\xB5\xDA\xD2\xBB\xD5\xC2\r\n" + std::string(90, 'x') + " " + kGb;
    EXPECT_EQ(format(text, defaults), format(text));
    EXPECT_FALSE(refusedOption(Task::Format, defaults));
}

// GB18030 is read through the Unicode edge.
TEST(ReadsSourceTwice, WhereTheSourceIsDetectedOrUnicode) {
    const std::pair<const char*, bool> cases[] = {
        {"", true}, {"auto", true}, {"utf-8", true}, {"UTF-16LE", true}, {"gb18030", true},
        {"gb", false}, {"cp936", false}, {"big5", false},
    };
    for (const auto& [from, twice] : cases) {
        Options options;
        options.from = from;
        EXPECT_EQ(readsSourceTwice(options), twice) << from;
    }
}

TEST(SameFile, HoweverNamed) {
    TempDir dir;
    writeFile(dir.file("a"), "x");
    writeFile(dir.file("b"), "x");
    ::link(dir.file("a").c_str(), dir.file("hard").c_str());
    ::symlink(dir.file("a").c_str(), dir.file("soft").c_str());
    const std::tuple<std::string, std::string, bool> cases[] = {
        {"a", "hard", true}, {"a", "soft", true}, {"a", "../" + dir.path().filename().string() + "/a", true},
        {"a", "b", false},   {"a", "missing", false},
    };
    for (const auto& [first, second, same] : cases) {
        EXPECT_EQ(sameFile(dir.file(first), dir.file(second)), same) << first << " " << second;
    }
}

TEST(ScratchFile, IsReachedByItsPathAndLeavesNoName) {
    TempDir dir;
    ::setenv("TMPDIR", dir.path().c_str(), 1);
    {
        ScratchFile file;
        ASSERT_TRUE(file.created()) << file.error();
        EXPECT_EQ(ScratchFile::folder(), dir.path().string());
        ASSERT_EQ(::write(file.descriptor(), "abc", 3), 3);
        EXPECT_EQ(readFile(file.path()), "abc");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 0);
    }
    ::unsetenv("TMPDIR");
}

}  // namespace

namespace {

// Options are refused when prepared, before any file is touched; prepared
// ones serve many runs.
TEST(PreparedOptions, RefuseOnceAndServeManyRuns) {
    Options bad;
    bad.paragraph = "force";
    EXPECT_THROW(PreparedOptions(Task::Convert, bad), Error);

    TempDir dir;
    const PreparedOptions prepared(Task::Convert, [] {
        Options options;
        options.from = "gb";
        options.to = "big5";
        return options;
    }());
    for (const char* name : {"a", "b"}) {
        writeFile(dir.file(name), kGb);
        runFile(prepared, dir.file(name), dir.file(std::string(name) + ".out"), {name, "out"});
        EXPECT_EQ(readFile(dir.file(std::string(name) + ".out")), kBig5);
    }
}

}  // namespace
