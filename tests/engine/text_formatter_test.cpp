#include "text_formatter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "temp_files.h"

namespace quillon {
namespace {

TEST(TextFormatter, DefaultsAtConstruction) {
    TextFormatter f;
    EXPECT_EQ(f.leadingSpaces(), 2);
    EXPECT_EQ(f.lineWidth(), 76);
    EXPECT_EQ(f.lineSpacing(), 1);
    EXPECT_EQ(f.leftMargin(), 0);
    EXPECT_EQ(f.translatePunctuation(), 1);
    EXPECT_EQ(f.autoFix(), 1);
    EXPECT_EQ(f.naturalSyntax(), 0);
    EXPECT_EQ(f.htmlAware(), 0);
    EXPECT_EQ(f.quiet(), 0);
    EXPECT_EQ(f.sourceEncoding(), 0);
    EXPECT_EQ(f.outputEncoding(), 0);
    EXPECT_EQ(f.paragraphMode(), 0);
    EXPECT_EQ(f.headingAlignment(), 1);
    EXPECT_TRUE(f.hasBuffers());
    EXPECT_EQ(f.targetProfileId(), 0);  // no run has chosen a target yet
}

TEST(TextFormatter, LineWidthIsTwoBytesACharacterOrNoWrapping) {
    TextFormatter f;
    f.setLineWidth(38);
    EXPECT_EQ(f.lineWidth(), 76);
    f.setLineWidth(0);
    EXPECT_EQ(f.lineWidth(), 0);
    f.setLineWidth(-3);
    EXPECT_EQ(f.lineWidth(), -1);
    f.setLineWidth(-1);
    EXPECT_EQ(f.lineWidth(), -1);
    f.setLineWidth(INT32_MAX);  // must not overflow
    EXPECT_EQ(f.lineWidth(), INT32_MAX);
}

TEST(TextFormatter, SettersStoreValuesUnchecked) {
    TextFormatter f;
    f.setLeadingSpaces(-4);
    f.setParagraphMode(9);
    f.setOutputEncoding(-1);
    f.setHeadingAlignment(77);
    EXPECT_EQ(f.leadingSpaces(), -4);
    EXPECT_EQ(f.paragraphMode(), 9);
    EXPECT_EQ(f.outputEncoding(), -1);
    EXPECT_EQ(f.headingAlignment(), 77);
}

std::unique_ptr<char[]> noMemory(std::size_t) { return nullptr; }

int allocations = 0;
std::unique_ptr<char[]> onlyOneBuffer(std::size_t bytes) {
    return ++allocations == 1 ? std::make_unique<char[]>(bytes) : nullptr;
}

// The formatter leaves the telling to its caller, the face that prints it once.
TEST(OutOfMemory, IsLeftToTheCallerAndEveryRunReturnsAnError) {
    testing::TempDir dir;
    testing::writeFile(dir.file("in"), "\xB0\xA1\n");
    allocations = 0;
    for (auto allocator : {noMemory, onlyOneBuffer}) {
        ::testing::internal::CaptureStderr();
        TextFormatter f(allocator);
        EXPECT_FALSE(f.hasBuffers());
        EXPECT_EQ(f.convertFile(dir.file("in").c_str(), dir.file("out").c_str()), kOutOfMemory);
        EXPECT_EQ(f.targetProfileId(), 0);
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    }
    EXPECT_EQ(allocations, 2);  // the second buffer was asked for only after the first
}

TEST(EndsSentence, NeedsASentenceEndOutsideEveryQuote) {
    TextFormatter f;
    f.sourceProfile = &profiles::GB;
    EXPECT_TRUE(f.endsSentence(0xA1A3, 0xA1B1));   // 。”
    EXPECT_FALSE(f.endsSentence(0xA3AC, 0xA1B1));  // ，”
    EXPECT_TRUE(f.endsSentence(0xA3AC, 0xA1A3));   // anything then 。
    EXPECT_TRUE(f.endsSentence('!', '"'));
    for (int counter = 0; counter < 4; ++counter) {
        f.quoteDepth[counter] = 1;
        EXPECT_FALSE(f.endsSentence(0xA1A3, 0xA1B1));
        EXPECT_FALSE(f.endsSentence(0xA3AC, 0xA1A3));
        f.quoteDepth[counter] = 0;
    }
}

}  // namespace
}  // namespace quillon
