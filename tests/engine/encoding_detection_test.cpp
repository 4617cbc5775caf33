#include <gtest/gtest.h>

#include <string>

#include "temp_files.h"
#include "text_formatter.h"

namespace quillon {
namespace {

class Detection : public ::testing::Test {
protected:
    // The profile id detected for a file holding `bytes`.
    std::int32_t detect(std::string_view bytes) {
        testing::writeFile(dir.file("in"), bytes);
        std::int32_t result = -7;
        EXPECT_EQ(formatter.detectEncoding(dir.file("in").c_str(), result), kSuccess);
        return result;
    }
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
const char kGbkOnlyWords[] = "\x81\x40\x81\x41\n";                     // 丂丄, no marks
const char kGbkWithGbMarks[] = "\x81\x40\xA3\xAC\xB5\xC4\n";            // 丂，的

TEST_F(Detection, DecidesByByteRangesThenByCommonMarks) {
    EXPECT_EQ(detect(kGbText), kGbId);
    EXPECT_EQ(detect(kBig5Text), kBig5Id);
    EXPECT_EQ(detect("\xA4\xA4\n"), kGbId);          // Big5 中, but both bytes >= A1
    EXPECT_EQ(detect(kGbkOnlyWords), kBig5Id);        // 0 against 0 goes to Big5
    EXPECT_EQ(detect(kGbkWithGbMarks), kGbkId);
    // One byte below A1 rules out GB; the GB marks then make it GBK.
    EXPECT_EQ(detect(std::string(kGbText) + "\xA4\x40"), kGbkId);
    EXPECT_EQ(detect("plain ASCII\n"), kPureAscId);
    EXPECT_EQ(detect(""), kPureAscId);
    EXPECT_EQ(detect("abc\xB0"), kPureAscId);         // a lone lead byte is no character
}

TEST_F(Detection, LeadByteBeforeTheNewlinePairsWithIt) {
    // B0 0A is a pair whose trail byte rules out GB.
    EXPECT_EQ(detect("\xB0\xA1\xB0\n\xB0\xA1\n"), kBig5Id);
    EXPECT_EQ(detect("\xB0\xA1\xB0\xA1\n"), kGbId);
}

TEST_F(Detection, StopsAtOneAAndPairsALeadWithTheCrOfCrLf) {
    EXPECT_EQ(detect("\xB0\xA1\x1A\xA4\x40"), kGbId);   // the Big5 pair lies past the end
    EXPECT_EQ(detect("\xB0\xA1\xB0\x1A\xA1"), kGbId);   // a lead before 1A is no character
    EXPECT_EQ(detect("\xB0\xA1\xB0\r\n"), kBig5Id);     // B0 0D, as B0 0A would
    EXPECT_EQ(detect("\xA1\xA3\r\n\xA1\xA1\x81\x40"), kGbkId);
}

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
    EXPECT_EQ(select(kGbText, 0, 0), "GB encoding is detected.\n");
    EXPECT_EQ(select(kGbkWithGbMarks, 0, 4),
              "GBK encoding is detected.\nConvert to BIG5 encoding.\n");
    EXPECT_EQ(select("abc\n", 0, 0), "PureASC encoding is detected.\n");
    EXPECT_EQ(select(kGbText, 1, 3), "");  // an explicit source is never detected
}

TEST_F(Detection, TargetFollowsTheOutputChoice) {
    struct Row {
        const char* text;
        std::int32_t source, output, sourceId, targetId;
    };
    const Row rows[] = {
        {kBig5Text, 0, 0, kBig5Id, kBig5Id},  // SAME
        {kGbkWithGbMarks, 0, 4, kGbkId, kBig5Id},
        {kBig5Text, 0, 4, kBig5Id, kGbId},
        {kGbText, 0, 2, kGbId, kGbkId},
        {kGbText, 3, 1, kBig5Id, kGbId},       // explicit BIG5 source, whatever the bytes
        {kGbText, 9, 0, kPureAscId, kPureAscId},  // an unknown source value reads as ASCII
    };
    for (const Row& row : rows) {
        select(row.text, row.source, row.output);
        EXPECT_EQ(formatter.sourceProfile->id, row.sourceId) << row.source << "/" << row.output;
        EXPECT_EQ(formatter.targetProfileId(), row.targetId) << row.source << "/" << row.output;
    }
}

TEST_F(Detection, UndecidableTargetKeepsThePreviousRunsOrTheSource) {
    // Before any run has chosen a target, the source profile stands in.
    EXPECT_EQ(select("abc\n", 0, 4), "PureASC encoding is detected.\nConvert to PureASC encoding.\n");
    EXPECT_EQ(formatter.targetProfileId(), kPureAscId);

    select(kGbText, 1, 3);
    EXPECT_EQ(select("abc\n", 0, 4), "PureASC encoding is detected.\nConvert to BIG5 encoding.\n");
    EXPECT_EQ(formatter.targetProfileId(), kBig5Id);
    select(kGbText, 1, -1);
    EXPECT_EQ(formatter.targetProfileId(), kBig5Id);
    select(kGbText, 1, 5);
    EXPECT_EQ(formatter.targetProfileId(), kBig5Id);

    TextFormatter fresh;
    testing::writeFile(dir.file("gb"), kGbText);
    fresh.setSourceEncoding(1);
    fresh.setOutputEncoding(-1);
    ASSERT_EQ(fresh.selectProfiles(dir.file("gb").c_str()), kSuccess);
    EXPECT_EQ(fresh.targetProfileId(), kGbId);
}

}  // namespace
}  // namespace quillon
