#include <gtest/gtest.h>

#include <string>

#include "run_options.h"
#include "temp_files.h"
#include "text_formatter.h"

namespace quillon {
namespace {

class Detection : public ::testing::Test {
protected:
    // Runs target selection on `bytes`; returns what it traced.
    std::string select(std::string_view bytes, std::int32_t source, std::int32_t output) {
        testing::writeFile(dir.file("in"), bytes);
        formatter.setSourceEncoding(source);
        formatter.setOutputEncoding(output);
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(formatter.selectProfiles(dir.file("in").c_str()), kSuccess);
        return ::testing::internal::GetCapturedStderr();
    }
    testing::TempDir dir;
    TextFormatter formatter;
};

const char kGbText[] = "\xCE\xD2\xB5\xC4\xCA\xE9\xA1\xA3\n";           // 我的书。
const char kBig5Text[] = "\xA7\xDA\xAA\xBA\xAE\xD1\xA1\x43\n";         // 我的書。
const char kGbkWithGbMarks[] = "\x81\x40\xA3\xAC\xB5\xC4\n";            // 丂，的

TEST_F(Detection, MissingSourceReportsFiveWithoutTrace) {
    std::int32_t result = -7;
    EXPECT_EQ(formatter.detectEncoding(dir.file("missing").c_str(), result), kSourceUnreadable);
    EXPECT_EQ(result, -7);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(formatter.selectProfiles(dir.file("missing").c_str()), kSourceUnreadable);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(formatter.sourceProfile, nullptr);
    EXPECT_EQ(formatter.targetProfile, nullptr);
}

TEST_F(Detection, TraceLinesByteForByte) {
    EXPECT_EQ(select(kGbText, kSourceAuto, kOutputSame), "GB encoding is detected.\n");
    EXPECT_EQ(select(kGbkWithGbMarks, kSourceAuto, kOutputDifferent),
              "GBK encoding is detected.\nConvert to BIG5 encoding.\n");
    EXPECT_EQ(select("abc\n", kSourceAuto, kOutputSame), "PureASC encoding is detected.\n");
    EXPECT_EQ(select(kGbText, kSourceGb, kOutputBig5), "");  // an explicit source is never detected
}

// A byte below A1 far into a file sends detection back to count the marks
// from the start: those read before it count too.
TEST_F(Detection, MarksBeforeTheFirstLowByteCount) {
    std::string gbPart;
    while (gbPart.size() < 600000) gbPart += kGbText;  // one GB mark and 的 a line
    std::string big5Part;
    for (std::size_t i = 0; i < 3 * (gbPart.size() / sizeof kGbText); ++i) big5Part += "\xA1\x41";
    std::int32_t result = 0;
    const auto detect = [&](const std::string& text) {
        testing::writeFile(dir.file("in"), text);
        EXPECT_EQ(formatter.detectEncoding(dir.file("in").c_str(), result), kSuccess);
        return result;
    };
    EXPECT_EQ(detect(gbPart), kGbId);
    EXPECT_EQ(detect(gbPart + "\x81\x40\n"), kGbkId);
    EXPECT_EQ(detect(gbPart + big5Part), kBig5Id);  // three Big5 commas to each line's two GB marks
    EXPECT_EQ(detect(gbPart + "\x1A\x81\x40"), kGbId);  // read up to the 1A only
}

TEST_F(Detection, TargetFollowsTheOutputChoice) {
    struct Row {
        const char* text;
        std::int32_t source, output, sourceId, targetId;
    };
    const Row rows[] = {
        {kBig5Text, kSourceAuto, kOutputSame, kBig5Id, kBig5Id},
        {kGbkWithGbMarks, kSourceAuto, kOutputDifferent, kGbkId, kBig5Id},
        {kBig5Text, kSourceAuto, kOutputDifferent, kBig5Id, kGbId},
        {kGbText, kSourceAuto, kOutputGbk, kGbId, kGbkId},
        {kGbText, kSourceBig5, kOutputGb, kBig5Id, kGbId},  // explicit BIG5 source, whatever the bytes
        {kGbText, 9, kOutputSame, kPureAscId, kPureAscId},  // an unknown source value reads as ASCII
    };
    for (const Row& row : rows) {
        select(row.text, row.source, row.output);
        EXPECT_EQ(formatter.sourceProfile->id, row.sourceId) << row.source << "/" << row.output;
        EXPECT_EQ(formatter.targetProfileId(), row.targetId) << row.source << "/" << row.output;
    }
}

TEST_F(Detection, UndecidableTargetKeepsThePreviousRunsOrTheSource) {
    // Before any run has chosen a target, the source profile stands in.
    EXPECT_EQ(select("abc\n", kSourceAuto, kOutputDifferent), "PureASC encoding is detected.\nConvert to PureASC encoding.\n");
    EXPECT_EQ(formatter.targetProfileId(), kPureAscId);

    select(kGbText, kSourceGb, kOutputBig5);
    EXPECT_EQ(select("abc\n", kSourceAuto, kOutputDifferent), "PureASC encoding is detected.\nConvert to BIG5 encoding.\n");
    EXPECT_EQ(formatter.targetProfileId(), kBig5Id);
    select(kGbText, kSourceGb, -1);
    EXPECT_EQ(formatter.targetProfileId(), kBig5Id);
    select(kGbText, kSourceGb, 5);
    EXPECT_EQ(formatter.targetProfileId(), kBig5Id);

    TextFormatter fresh;
    testing::writeFile(dir.file("gb"), kGbText);
    fresh.setSourceEncoding(kSourceGb);
    fresh.setOutputEncoding(-1);
    ASSERT_EQ(fresh.selectProfiles(dir.file("gb").c_str()), kSuccess);
    EXPECT_EQ(fresh.targetProfileId(), kGbId);
}

}  // namespace
}  // namespace quillon
