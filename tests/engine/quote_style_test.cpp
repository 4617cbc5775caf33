#include <gtest/gtest.h>

#include <string>

#include "legacy_text.h"
#include "quote_style.h"

namespace quillon {
namespace {

std::string restyled(const EncodingProfile& profile, QuoteStyle style, std::string text) {
    restyleQuotes(profile, style, text.data(), text.size());
    return text;
}

TEST(QuoteStyle, QuotesAndCornerBracketsTradePlacesInGbAndBig5) {
    const struct {
        const char* name;
        QuoteStyle style;
        const char* text;
        const char* expected;
    } cases[] = {
        {"to corners", kQuotesCorner, "甲：“乙‘丙’。”", "甲：「乙『丙』。」"},
        {"to curly quotes", kQuotesCurly, "甲：「乙『丙』。」", "甲：“乙‘丙’。”"},
        {"kept", kQuotesKeep, "“甲”「乙」", "“甲”「乙」"},
        {"corners stay corners", kQuotesCorner, "「甲」", "「甲」"},
        {"an apostrophe in a word stays", kQuotesCorner, "“don’t”", "「don’t」"},
        {"a quote after a word is no apostrophe", kQuotesCorner, "‘ok’。", "『ok』。"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(restyled(profiles::GB, c.style, testing::gb(c.text)), testing::gb(c.expected)) << c.name << " GB";
        EXPECT_EQ(restyled(profiles::BIG5, c.style, testing::big5(c.text)), testing::big5(c.expected))
            << c.name << " Big5";
    }
    // A trail byte that reads as a letter is no letter: Big5 大 is A4 6A.
    EXPECT_EQ(restyled(profiles::BIG5, kQuotesCorner, testing::big5("大’s")), testing::big5("大』s"));
}

}  // namespace
}  // namespace quillon
