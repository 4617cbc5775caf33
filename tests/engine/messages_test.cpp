#include "messages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillon {
namespace {

TEST(MessageCatalogue, EveryCodeWithItsTextAndCaption) {
    struct Row {
        RunResult code;
        const char* caption;
        const char* text;
    };
    const Row rows[] = {
        {2, "Error", "Out of memory"},
        {5, "Error", "Unable to open source file"},
        {6, "Error", "Unable to create destination file"},
        {7, "Error", "Not a text file (it holds NUL bytes)"},
        {8, "Error", "The heading pattern is no regular expression"},
        {1000, "Warning", "Warning: Invalid Chinese character found"},
        {1001, "Warning", "Warning: Unable to convert some Chinese characters"},
        {1002, "Warning", "Warning: Invalid HTML syntax encountered. HTML handling aborted"},
    };
    for (const Row& row : rows) {
        const std::optional<ResultMessage> message = resultMessage(row.code);
        ASSERT_TRUE(message) << row.code;
        EXPECT_EQ(message->caption, row.caption);
        EXPECT_EQ(message->text, row.text);
    }
    for (RunResult silent : {0, 1, 3, 4, 9, 999, 1003, -1}) EXPECT_FALSE(resultMessage(silent)) << silent;
}

TEST(Trace, FormatsAndEndsTheLine) {
    ::testing::internal::CaptureStderr();
    trace("%s encoding is detected.", "GB");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "GB encoding is detected.\n");
}

}  // namespace
}  // namespace quillon
