#include "scratch_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "temp_files.h"

namespace quillon::unicode {
namespace {

using quillon::testing::readFile;
using quillon::testing::TempDir;
using quillon::testing::writeFile;

// A scratch file has no name in its folder at any moment, so no way of ending
// the process leaves one behind.
TEST(ScratchFile, HasNoNameInItsFolder) {
    TempDir dir;
    const char* const set = std::getenv("TMPDIR");
    const std::optional<std::string> previous = set ? std::optional<std::string>(set) : std::nullopt;
    ::setenv("TMPDIR", dir.path().c_str(), 1);
    {
        const ScratchFile file;
        ASSERT_TRUE(file.created());
        writeFile(file.path(), "text");
        EXPECT_EQ(readFile(file.path()), "text");
        EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
    }
    ::setenv("TMPDIR", dir.file("absent").c_str(), 1);
    const ScratchFile none;
    EXPECT_FALSE(none.created());
    EXPECT_EQ(none.error(), ENOENT);
    EXPECT_EQ(scratchFolder(), dir.file("absent"));
    if (previous) {
        ::setenv("TMPDIR", previous->c_str(), 1);
    } else {
        ::unsetenv("TMPDIR");
    }
}

}  // namespace
}  // namespace quillon::unicode
