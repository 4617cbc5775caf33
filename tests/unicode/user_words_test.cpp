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
    std::int32_t from;
    std::int32_t to;
    std::int32_t form;
    std::string source;
    std::string expected;
};

// Forward (to traditional) the file's pairs, backward the same pairs
// reversed; a user's phrase wins over a built-in key no longer than it, and
// a longer built-in key over it.
TEST(UserWords, JoinTheBuiltInPhrasesBothWays) {
    TempDir dir;
    writeFile(dir.file("words.txt"), "头发\t頭發\n内存\t記憶\n发\t髮\n");
    writeFile(dir.file("more.txt"), "内存\t內存\n鼠标\t滑鼠\n");
    std::string error;
    const std::vector<std::string> paths{dir.file("words.txt"), dir.file("more.txt")};
    const std::optional<UserWords> words = UserWords::read(paths, error);
    ASSERT_TRUE(words) << error;
    const ApplicationCase cases[] = {
        {"ForwardOverTheBuiltIn", kSourceUtf8, kOutputUtf8, kFormAuto, "头发和内存\n", "頭發和記憶\n"},
        {"TheFirstFileWins", kSourceUtf8, kOutputUtf8, kFormAuto, "鼠标\n", "滑鼠\n"},
        {"ALongerBuiltInKeyWins", kSourceUtf8, kOutputUtf8, kFormAuto, "发现发\n", "發現髮\n"},
        {"BackwardByTheReversedPairs", kSourceUtf8, kOutputUtf8, kFormAuto, "頭發和記憶，滑鼠\n",
         "头发和内存，鼠标\n"},
        {"FromUtf16", kSourceUtf16Le, kOutputUtf8, kFormAuto, std::string("\x34\x59\xD1\x53\x0A\x00", 6),
         "頭發\n"},
        {"FromGbIntoUnicode", kSourceGb, kOutputUtf8, kFormAuto, "\xCD\xB7\xB7\xA2\r\n", "頭發\n"},
        {"FormatRunThatChangesTheForm", kSourceUtf8, kOutputUtf8, kFormTraditional, "头发\n", ""},
    };
    for (const ApplicationCase& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(dir.file("in"), c.source);
        EdgeRunOptions options;
        options.sourceEncoding = c.from;
        options.outputEncoding = c.to;
        options.form = c.form;
        options.userWords = &*words;
        TextFormatter formatter;
        const bool format = c.form != kFormAuto;
        const RunResult result = runThroughEdge(formatter, format ? RunKind::Format : RunKind::Convert, options,
                                                dir.file("in").c_str(), dir.file("out").c_str());
        EXPECT_EQ(result, kSuccess);
        const std::string out = readFile(dir.file("out"));
        if (format) {
            EXPECT_NE(out.find("頭發"), std::string::npos) << out;
        } else {
            EXPECT_EQ(out, c.expected);
        }
    }
}

}  // namespace
}  // namespace quillon::unicode
