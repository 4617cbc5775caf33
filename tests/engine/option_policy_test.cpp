#include <gtest/gtest.h>

#include "option_policy.h"

namespace quillon {
namespace {

TEST(OptionPolicy, RefusesOnlyAZeroWidthAndNegativeCounts) {
    struct Case {
        std::int32_t RunOptions::*option;
        std::int32_t value;
        std::string_view reason;
    };
    const Case cases[] = {
        {&RunOptions::charsPerLine, 0, "cannot be 0"},
        {&RunOptions::charsPerLine, -1, ""},  // no wrapping
        {&RunOptions::charsPerLine, INT32_MIN, ""},
        {&RunOptions::charsPerLine, INT32_MAX, ""},
        {&RunOptions::lineSpacing, -1, "must be 0 or more"},
        {&RunOptions::lineSpacing, 0, ""},
        {&RunOptions::leadingSpaces, INT32_MIN, "must be 0 or more"},
        {&RunOptions::leadingSpaces, 0, ""},
        {&RunOptions::leftMargin, -1, "must be 0 or more"},
        {&RunOptions::leftMargin, 0, ""},
        {&RunOptions::leftMargin, INT32_MAX, ""},
        {&RunOptions::paragraphMode, 0, ""},
        {&RunOptions::sourceEncoding, 0, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(refusalOf(c.option, c.value), c.reason) << c.value;
    }
}

}  // namespace
}  // namespace quillon
