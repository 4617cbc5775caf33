#include "scratch_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "temp_files.h"

namespace quillon::unicode {
namespace {

using quillon::testing::readFile;
using quillon::testing::TempDir;
using quillon::testing::writeFile;

// A scratch file has no name in its folder at any moment, so no way of ending
// the process leaves one behind; its path still opens it.
TEST(ScratchFile, HasNoNameInItsFolder) {
    TempDir dir;
    const std::string previous = scratchFolder();
    ::setenv("TMPDIR", dir.path().c_str(), 1);
    const ScratchFile file;
    ::setenv("TMPDIR", previous.c_str(), 1);
    ASSERT_TRUE(file.created());
    writeFile(file.path(), "text");
    EXPECT_EQ(readFile(file.path()), "text");
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

}  // namespace
}  // namespace quillon::unicode
