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
    std::vector<std::string> shown;
    setMessageSink([&](std::string_view caption, std::string_view text) {
        shown.push_back(std::string(caption) + "|" + std::string(text));
    });
    for (const Row& row : rows) {
        shown.clear();
        showResultMessage(row.code);
        EXPECT_EQ(shown, std::vector<std::string>{std::string(row.caption) + "|" + row.text});
    }
    shown.clear();
    for (RunResult silent : {0, 1, 3, 4, 9, 999, 1003, -1}) showResultMessage(silent);
    EXPECT_TRUE(shown.empty());
    setMessageSink(nullptr);
}

TEST(MessageCatalogue, DefaultSinkWritesOneLineToStandardError) {
    ::testing::internal::CaptureStderr();
    showResultMessage(5);
    showResultMessage(1001);
    showResultMessage(4);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "Error: Unable to open source file\n"
              "Warning: Unable to convert some Chinese characters\n");
}

TEST(Trace, FormatsAndEndsTheLine) {
    ::testing::internal::CaptureStderr();
    trace("%s encoding is detected.", "GB");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "GB encoding is detected.\n");
}

}  // namespace
}  // namespace quillon
