#include <cstdlib>
#include "output_file.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "feeding_pipe.h"
#include "temp_files.h"
#include "text_formatter.h"

namespace quillon {
namespace {

namespace fs = std::filesystem;
using testing::FeedingPipe;
using testing::readFile;
using testing::TempDir;
using testing::writeFile;

std::vector<std::string> entries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::ranges::sort(names);
    return names;
}

unsigned modeOf(const std::string& path) {
    struct stat status {};
    ::stat(path.c_str(), &status);
    return status.st_mode & 07777;
}

class OutputFileTest : public ::testing::Test {
protected:
    std::string destination() const { return dir.file("out.txt"); }
    TempDir dir;
};

TEST_F(OutputFileTest, DestinationChangesOnlyAtCommit) {
    writeFile(destination(), "old");
    OutputFile file;
    ASSERT_TRUE(file.open(destination().c_str()));
    ASSERT_TRUE(file.write("new", 3));
    EXPECT_EQ(readFile(destination()), "old");
    EXPECT_EQ(entries(dir.path()).size(), 2u);  // the new file waits beside it
    ASSERT_TRUE(file.commit());
    EXPECT_EQ(readFile(destination()), "new");
    EXPECT_EQ(entries(dir.path()), std::vector<std::string>{"out.txt"});
}

TEST_F(OutputFileTest, WhatIsNotCommittedLeavesNothing) {
    writeFile(destination(), "old");
    {
        OutputFile dropped;
        ASSERT_TRUE(dropped.open(destination().c_str()));
        dropped.write("new", 3);
    }
    OutputFile discarded;
    ASSERT_TRUE(discarded.open(destination().c_str()));
    discarded.discard();
    EXPECT_FALSE(discarded.commit());

    // What a signal handler does for a run still writing, in a process that
    // then ends: afterwards no output file may be made.
    EXPECT_EXIT(
        {
            OutputFile interrupted;
            if (!interrupted.open(destination().c_str())) std::_Exit(2);
            interrupted.write("new", 3);
            removeUnfinishedOutputs();
            OutputFile late;
            std::_Exit(late.open(dir.file("late.txt").c_str()) ? 3 : 0);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(entries(dir.path()), std::vector<std::string>{"out.txt"});
    EXPECT_EQ(readFile(destination()), "old");
}

TEST_F(OutputFileTest, ReplacementKeepsModeAndLinks) {
    writeFile(destination(), "old");
    fs::permissions(destination(), fs::perms(0640));
    fs::create_symlink("out.txt", dir.file("link.txt"));

    OutputFile file;
    ASSERT_TRUE(file.open(dir.file("link.txt").c_str()));
    file.write("new", 3);
    ASSERT_TRUE(file.commit());
    EXPECT_TRUE(fs::is_symlink(dir.file("link.txt")));
    EXPECT_EQ(readFile(destination()), "new");
    EXPECT_EQ(modeOf(destination()), 0640u);

    // A new file gets what the umask leaves of rw-rw-rw-.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    OutputFile fresh;
    ASSERT_TRUE(fresh.open(dir.file("fresh.txt").c_str()));
    ASSERT_TRUE(fresh.commit());
    EXPECT_EQ(modeOf(dir.file("fresh.txt")), 0666u & ~mask);
}

TEST_F(OutputFileTest, FailuresSayWhy) {
    OutputFile missingFolder;
    EXPECT_FALSE(missingFolder.open(dir.file("no/out.txt").c_str()));
    EXPECT_EQ(missingFolder.error(), ENOENT);

    OutputFile full;  // a device is written directly, and may fail there
    ASSERT_TRUE(full.open("/dev/full"));
    EXPECT_FALSE(full.write("x", 1));
    EXPECT_FALSE(full.commit());
    EXPECT_EQ(full.error(), ENOSPC);
}

// A run that cannot read its source to the end leaves the old destination.
TEST_F(OutputFileTest, FailedRunKeepsTheOldDestination) {
    writeFile(destination(), "old");
    TextFormatter formatter;
    formatter.setSourceEncoding(1);
    formatter.setOutputEncoding(3);
    EXPECT_EQ(formatter.convertFile("/proc/self/mem", destination().c_str()), kSourceUnreadable);
    EXPECT_EQ(formatter.systemError, EIO);
    EXPECT_EQ(formatter.formatFile("/proc/self/mem", destination().c_str()), kSourceUnreadable);
    EXPECT_EQ(readFile(destination()), "old");
    EXPECT_EQ(entries(dir.path()), std::vector<std::string>{"out.txt"});
}

// A full disk ends a run at its first failed write, not at the end of its
// source: here 64 MB, of which a stopped run takes in a few blocks.
TEST_F(OutputFileTest, FullDiskEndsTheRunAtOnce) {
    for (const bool format : {false, true}) {
        FeedingPipe source("\xD6\xD0\xCE\xC4\xA1\xA3\n", std::size_t{64} << 20);  // 中文。
        TextFormatter formatter;
        formatter.setSourceEncoding(1);
        formatter.setOutputEncoding(3);
        const RunResult result = format ? formatter.formatFile(source.path().c_str(), "/dev/full")
                                        : formatter.convertFile(source.path().c_str(), "/dev/full");
        EXPECT_EQ(result, kDestinationUnwritable) << format;
        EXPECT_EQ(formatter.systemError, ENOSPC) << format;
        EXPECT_LT(source.fed(), std::size_t{4} << 20) << format;
    }
}

}  // namespace
}  // namespace quillon
