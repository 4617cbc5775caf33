// The user's dictionaries: which lines are refused and why, and how their
// phrases join the built-in ones in both directions.
#include "user_words.h"

#include <gtest/gtest.h>

#include <string>

#include "edge_run.h"
#include "temp_files.h"
#include "text_formatter.h"

namespace quillon::unicode {
namespace {

using quillon::testing::readFile;
using quillon::testing::TempDir;
using quillon::testing::writeFile;

TEST(UserWords, BadLinesAreNamedByFileAndLine) {
    const struct {
        std::string text;
        std::string error;  // after the file's name; empty: read
    } cases[] = {
        {"# a comment\n\n头发\t頭髮\r\n", ""},
        {"头发\t頭髮 頭發\n同\t同\n", ""},  // the first value counts; a key may be its own value
        {"头发\t頭髮\n头发 頭髮\n", ":2: no tab between the phrase and its counterpart"},
        {"\t頭髮\n", ":1: no phrase before the tab"},
        {"头发\t\n", ":1: no counterpart after the tab"},
        {"头发\t 頭髮\n", ":1: no counterpart after the tab"},
        {"ok\tok\n\n\xE5\xA4\t頭\n", ":3: not UTF-8"},
    };
    TempDir dir;
    const std::string path = dir.file("words.txt");
    for (const auto& c : cases) {
        writeFile(path, c.text);
        std::string error;
        const std::optional<UserWords> words = UserWords::read(std::vector{path}, error);
        EXPECT_EQ(words.has_value(), c.error.empty()) << c.text;
        EXPECT_EQ(error, c.error.empty() ? "" : path + c.error) << c.text;
    }
    std::string error;
    EXPECT_FALSE(UserWords::read(std::vector{dir.file("missing.txt")}, error));
    EXPECT_EQ(error, dir.file("missing.txt") + ": No such file or directory");
}

struct ApplicationCase {
    const char* name;
    RunKind kind;
    std::int32_t from;
    std::int32_t to;
    std::int32_t builtInPhrases;
    std::string source;
    std::string expected;
};

// Forward (to traditional) the file's pairs, backward the same pairs
// reversed; a user's phrase wins over a built-in key no longer than it, and
// a longer built-in key over it. Runs between legacy encodings take the
// phrases that keep their length and that both encodings hold.
TEST(UserWords, JoinTheBuiltInPhrasesBothWays) {
    TempDir dir;
    writeFile(dir.file("words.txt"), "头发\t頭發\n内存\t記憶\n发\t髮\n");
    writeFile(dir.file("more.txt"), "内存\t內存\n鼠标\t滑鼠\n软件\t軟體程式\n");
    std::string error;
    const std::vector<std::string> paths{dir.file("words.txt"), dir.file("more.txt")};
    const std::optional<UserWords> words = UserWords::read(paths, error);
    ASSERT_TRUE(words) << error;
    std::string heading;  // a format run centres a short line
    for (int i = 0; i < 18; ++i) heading += "\u3000";
    const ApplicationCase cases[] = {
        {"ForwardOverTheBuiltIn", RunKind::Convert, kSourceUtf8, kOutputUtf8, 0, "头发和内存\n", "頭發和記憶\n"},
        {"TheFirstFileWins", RunKind::Convert, kSourceUtf8, kOutputUtf8, 0, "鼠标\n", "滑鼠\n"},
        {"ALongerBuiltInKeyWins", RunKind::Convert, kSourceUtf8, kOutputUtf8, 0, "发现发\n", "發現髮\n"},
        {"BackwardByTheReversedPairs", RunKind::Convert, kSourceUtf8, kOutputUtf8, 0, "頭發和記憶，滑鼠\n",
         "头发和内存，鼠标\n"},
        {"FromUtf16", RunKind::Convert, kSourceUtf16Le, kOutputUtf8, 0,
         std::string("\x34\x59\xD1\x53\x0A\x00", 6), "頭發\n"},
        {"FromGbIntoUnicode", RunKind::Convert, kSourceGb, kOutputUtf8, 0, "\xCD\xB7\xB7\xA2\r\n", "頭發\n"},
        {"FormatToTraditional", RunKind::Format, kSourceUtf8, kOutputUtf8, 0, "头发\n", heading + "頭發\n\n"},
        {"LegacyForward", RunKind::Convert, kSourceGb, kOutputBig5, 0, "\xB7\xA2\xCF\xD6\r\n",
         "\xBE\x76\xB2\x7B\r\n"},
        {"LegacyLongerBuiltInPhraseWins", RunKind::Convert, kSourceGb, kOutputBig5, 1, "\xB7\xA2\xCF\xD6\r\n",
         "\xB5\x6F\xB2\x7B\r\n"},
        {"LegacyBackward", RunKind::Convert, kSourceBig5, kOutputGb, 0, "\xB0\x4F\xBE\xD0\r\n",
         "\xC4\xDA\xB4\xE6\r\n"},
        {"LegacyLeavesAPhraseOfOtherLength", RunKind::Convert, kSourceGb, kOutputBig5, 0,
         "\xC8\xED\xBC\xFE\r\n", "\xB3\x6E\xA5\xF3\r\n"},
        {"FromUtf8IntoLegacy", RunKind::Convert, kSourceUtf8, kOutputBig5, 0, "发\n", "\xBE\x76\r\n"},
    };
    for (const ApplicationCase& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(dir.file("in"), c.source);
        EdgeRunOptions options;
        options.sourceEncoding = c.from;
        options.outputEncoding = c.to;
        options.phrases = c.builtInPhrases;
        if (c.kind == RunKind::Format) options.form = kFormTraditional;
        options.userWords = &*words;
        TextFormatter formatter;
        const RunResult result =
            runThroughEdge(formatter, c.kind, options, dir.file("in").c_str(), dir.file("out").c_str());
        EXPECT_EQ(result, kSuccess);
        EXPECT_EQ(readFile(dir.file("out")), c.expected);
    }
}

}  // namespace
}  // namespace quillon::unicode
