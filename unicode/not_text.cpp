#include "not_text.h"

#include <array>
#include <cstdio>
#include <memory>
#include <string_view>

#include <sys/stat.h>

namespace quillon::unicode {
namespace {

// As much as tools that tell text from binary files commonly look at.
constexpr std::size_t kFirstBlock = 8000;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

bool isPlainlyNotText(const char* path) {
    struct stat status {};
    if (::stat(path, &status) != 0 || !S_ISREG(status.st_mode)) return false;
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path, "rb"));
    if (!file) return false;
    std::array<char, kFirstBlock> block;
    const std::string_view read(block.data(), std::fread(block.data(), 1, block.size(), file.get()));
    // UTF-16 text holds NUL bytes in every Latin character.
    if (read.starts_with("\xFF\xFE") || read.starts_with("\xFE\xFF")) return false;
    return read.find('\0') != std::string_view::npos;
}

}  // namespace quillon::unicode
