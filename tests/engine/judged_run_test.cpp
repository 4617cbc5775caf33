// Runs that detect their source in their own read, with a judge.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "run_options.h"
#include "source_judge.h"
#include "temp_files.h"
#include "text_formatter.h"

namespace quillon {
namespace {

using testing::readFile;
using testing::TempDir;
using testing::writeFile;

// Gives `first` after the first block and `last` after the others, and keeps
// every block it sees.
class ScriptedJudge final : public SourceJudge {
public:
    ScriptedJudge(std::int32_t first, std::int32_t last) : first_(first), last_(last) {}
    bool add(std::span<const unsigned char> block) override {
        blocks.emplace_back(block.begin(), block.end());
        return true;
    }
    std::int32_t verdict() const override { return blocks.size() <= 1 ? first_ : last_; }
    std::vector<std::string> blocks;

private:
    std::int32_t first_;
    std::int32_t last_;
};

constexpr std::size_t kBlock = 1 << 18;  // what the reader reads at once

class JudgedRun : public ::testing::Test {
protected:
    void SetUp() override {
        formatter.setSourceEncoding(kSourceAuto);
        formatter.setOutputEncoding(kOutputDifferent);
        // Two blocks of GB 国 lines, CR LF and all.
        while (text.size() < kBlock + 10) text += "\xB9\xFA\r\n";
        writeFile(dir.file("in"), text);
    }
    std::optional<RunResult> convert(SourceJudge& judge, const std::string& destination) {
        ::testing::internal::CaptureStderr();
        const std::optional<RunResult> result = formatter.convertFile(dir.file("in").c_str(), destination.c_str(), judge);
        traced = ::testing::internal::GetCapturedStderr();
        return result;
    }
    TempDir dir;
    TextFormatter formatter;
    std::string text;
    std::string traced;
};

TEST_F(JudgedRun, SeesTheBlocksAsStoredAndRunsOnTheFirstBlocksVerdict) {
    ScriptedJudge judge(kGbId, kGbId);
    EXPECT_EQ(convert(judge, dir.file("out")), std::optional<RunResult>(kSuccess));
    EXPECT_EQ(traced, "GB encoding is detected.\nConvert to BIG5 encoding.\n");
    ASSERT_EQ(judge.blocks.size(), 2u);
    EXPECT_EQ(judge.blocks[0] + judge.blocks[1], text);

    TextFormatter explicitRun;
    explicitRun.setSourceEncoding(kSourceGb);
    explicitRun.setOutputEncoding(kOutputBig5);
    ASSERT_EQ(explicitRun.convertFile(dir.file("in").c_str(), dir.file("expected").c_str()), kSuccess);
    EXPECT_EQ(readFile(dir.file("out")), readFile(dir.file("expected")));
}

// Whenever the run cannot stand, it leaves no trace: the destination as it
// was, nothing on standard error, the profiles of the run before.
TEST_F(JudgedRun, DeclinesWithoutATrace) {
    writeFile(dir.file("out"), "old");
    const auto declines = [&](std::int32_t first, std::int32_t last, const std::string& destination) {
        ScriptedJudge judge(first, last);
        EXPECT_EQ(convert(judge, destination), std::nullopt) << first << " " << last << " " << destination;
        EXPECT_EQ(traced, "");
        EXPECT_EQ(readFile(dir.file("out")), "old");
        EXPECT_EQ(formatter.sourceProfile, nullptr);
        EXPECT_EQ(formatter.targetProfile, nullptr);
    };
    declines(kGbId, kGbkId, dir.file("out"));        // the whole text judged otherwise
    declines(kGbId, 0, dir.file("out"));             // or not judged at all
    declines(0, 0, dir.file("out"));                 // a first block judged no legacy text
    declines(kPureAscId, kPureAscId, dir.file("out"));  // nor one of Chinese text
    declines(kGbId, kGbId, "/dev/null");             // written directly: not to be taken back
    declines(kGbId, kGbId, dir.file("missing/out"));
    TextFormatter starved([](std::size_t) { return std::unique_ptr<char[]>(); });
    ScriptedJudge judge(kGbId, kGbId);
    EXPECT_EQ(starved.formatFile(dir.file("in").c_str(), dir.file("out").c_str(), judge),
              std::optional<RunResult>(kOutOfMemory));
}

// A judge that gives up stops the reading there.
TEST_F(JudgedRun, AJudgeThatGivesUpEndsTheReading) {
    class FirstBlockOnly final : public SourceJudge {
    public:
        bool add(std::span<const unsigned char>) override { return ++blocks == 1; }
        std::int32_t verdict() const override { return blocks == 1 ? kGbId : 0; }
        int blocks = 0;
    } judge;
    EXPECT_EQ(convert(judge, dir.file("out")), std::nullopt);
    EXPECT_EQ(judge.blocks, 2);
}

// A judge of GB text that leaves the pairs with a byte below A1 to the run.
class LeavingJudge final : public SourceJudge {
public:
    bool add(std::span<const unsigned char>) override { return ++blocks > 0; }
    std::int32_t verdict() const override { return kGbId; }
    bool leaveLowBytesToRun() override {
        ++asked;
        return true;
    }
    int blocks = 0;
    int asked = 0;
};

// A conversion from GB meets the pairs that rule GB out itself: a run that
// meets one stands down, and reads no further than the block after it.
TEST_F(JudgedRun, AConversionFromGbMeetsThePairsThatRuleItOut) {
    std::string fiveBlocks;
    while (fiveBlocks.size() < 4 * kBlock + 10) fiveBlocks += "\xB9\xFA\r\n";
    const std::size_t inSecondBlock = kBlock + 100;
    for (const std::string ruling : {"\xB9\x40", "\xB9\r\n", "\x81\xFA"}) {
        writeFile(dir.file("in"), fiveBlocks.substr(0, inSecondBlock) + ruling + fiveBlocks.substr(inSecondBlock));
        LeavingJudge judge;
        EXPECT_EQ(convert(judge, dir.file("out")), std::nullopt);
        EXPECT_EQ(judge.blocks, 3);
        EXPECT_EQ(traced, "");
    }
    writeFile(dir.file("in"), fiveBlocks);
    LeavingJudge judge;
    EXPECT_EQ(convert(judge, dir.file("out")), std::optional<RunResult>(kSuccess));
    EXPECT_EQ(judge.asked, 1);
    EXPECT_EQ(judge.blocks, 5);

    // Runs that leave pairs unconverted, or convert none, do not ask.
    const auto asks = [&](auto configure) {
        TextFormatter other;
        other.setSourceEncoding(kSourceAuto);
        other.setOutputEncoding(kOutputDifferent);
        configure(other);
        LeavingJudge leaving;
        ::testing::internal::CaptureStderr();
        other.convertFile(dir.file("in").c_str(), dir.file("out").c_str(), leaving);
        ::testing::internal::GetCapturedStderr();
        return leaving.asked;
    };
    EXPECT_EQ(asks([](TextFormatter& f) { f.setHtmlAware(1); }), 0);
    EXPECT_EQ(asks([](TextFormatter& f) { f.setPhrases(1); }), 0);
    EXPECT_EQ(asks([](TextFormatter& f) { f.setOutputEncoding(kOutputGbk); }), 0);
    EXPECT_EQ(asks([](TextFormatter&) {}), 1);
}

}  // namespace
}  // namespace quillon
