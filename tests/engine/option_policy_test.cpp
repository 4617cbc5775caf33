#include <gtest/gtest.h>

#include "option_policy.h"

namespace quillon {
namespace {

TEST(OptionPolicy, OnlyAZeroLineWidthIsRefused) {
    EXPECT_EQ(refusalOf(&RunOptions::charsPerLine, 0), "cannot be 0");
    for (std::int32_t width : {-1, 1, 38, INT32_MIN, INT32_MAX}) {
        EXPECT_EQ(refusalOf(&RunOptions::charsPerLine, width), "") << width;
    }
    // Every other option takes 0, margins and spacings included.
    for (auto option : {&RunOptions::lineSpacing, &RunOptions::leadingSpaces, &RunOptions::leftMargin,
                        &RunOptions::paragraphMode, &RunOptions::sourceEncoding}) {
        EXPECT_EQ(refusalOf(option, 0), "");
    }
}

}  // namespace
}  // namespace quillon
