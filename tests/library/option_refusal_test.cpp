// A form's check of its options before a run: which option a run refuses,
// named so that the form can point at its field, with the run's message.
#include <quillon/quillon.h>

#include <gtest/gtest.h>

#include "temp_files.h"

namespace {

using namespace quillon::api;

struct OptionRefusalCase {
    const char* name;
    Task task;
    void (*set)(Options& options);
    std::optional<OptionRefusal> expected;
};

void PrintTo(const OptionRefusalCase& c, std::ostream* out) { *out << c.name; }

class RefusedOptions : public testing::TestWithParam<OptionRefusalCase> {};

TEST_P(RefusedOptions, NameTheFirstOptionARunRefuses) {
    Options options;
    GetParam().set(options);
    const std::optional<OptionRefusal> refusal = refusedOption(GetParam().task, options);
    ASSERT_EQ(refusal.has_value(), GetParam().expected.has_value()) << (refusal ? refusal->message : "");
    if (!refusal) return;
    EXPECT_EQ(refusal->option, GetParam().expected->option);
    EXPECT_EQ(refusal->message, GetParam().expected->message);
}

INSTANTIATE_TEST_SUITE_P(
    Library, RefusedOptions,
    testing::Values(
        OptionRefusalCase{"AllTaken", Task::Format,
                    [](Options& o) { o.charsPerLine = -1, o.lineSpacing = 0, o.headingPattern = "^X$"; }, std::nullopt},
        OptionRefusalCase{"NoLineWidth", Task::Format, [](Options& o) { o.charsPerLine = 0; },
                    OptionRefusal{"chars-per-line", "'--chars-per-line' cannot be 0"}},
        // Both are refused: the one Options holds first is named.
        OptionRefusalCase{"FirstOfTwo", Task::Format, [](Options& o) { o.leftMargin = -1, o.lineSpacing = -2; },
                    OptionRefusal{"line-spacing", "'--line-spacing' must be 0 or more"}},
        OptionRefusalCase{"FormatOnly", Task::Convert, [](Options& o) { o.leadSpaces = 2; },
                    OptionRefusal{"lead-spaces", "option '--lead-spaces' is only for format"}},
        OptionRefusalCase{"UnknownValue", Task::Convert, [](Options& o) { o.to = "utf-8", o.from = "latin1"; },
                    OptionRefusal{"from", "'latin1' is not a value of '--from' (auto, gb, gbk, big5, utf-8, utf-16, "
                                          "gb18030, utf-16le, utf-16be)"}},
        OptionRefusalCase{"BadPattern", Task::Format, [](Options& o) { o.headingPattern = "(%2"; },
                    OptionRefusal{"heading-pattern",
                                  "The heading pattern '(%2' is no regular expression: U_REGEX_MISMATCHED_PAREN at offset 3"}},
        // Each alone is taken; together the run refuses them, naming neither.
        OptionRefusalCase{"OnlyTogether", Task::Convert,
                    [](Options& o) { o.phrases = false, o.dictionaries = {"/dev/null"}; },
                    OptionRefusal{"", "option '--dictionary' does not go with '--no-phrases'"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RefusedOption, WordAPatternsReasonInTheReadersLanguage) {
    Options options;
    options.headingPattern = "[";
    const auto refusal = refusedOption(Task::Format, options, [](std::string_view english) {
        return english == "The heading pattern '%1' is no regular expression: %2" ? "「%1」：%2" : "?";
    });
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->message, "「[」：U_REGEX_MISSING_CLOSE_BRACKET at offset 1");
}

TEST(RefusedOption, ReadTheDictionariesAsARunDoes) {
    quillon::testing::TempDir dir;
    const std::string good = (dir.path() / "good.txt").string();
    const std::string bad = (dir.path() / "bad.txt").string();
    quillon::testing::writeFile(good, "干\t幹\n");
    quillon::testing::writeFile(bad, "no tab here\n");
    Options options;
    options.dictionaries = {good, bad};
    const auto refusal = refusedOption(Task::Convert, options);
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->option, "dictionary");
    EXPECT_NE(refusal->message.find("bad.txt"), std::string::npos) << refusal->message;
}

}  // namespace
