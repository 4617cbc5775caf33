#include "not_text.h"

#include <array>
#include <cstdio>
#include <string_view>

#include <sys/stat.h>

#include "source_text.h"

namespace quillon::unicode {
bool isPlainlyNotText(const char* path, bool namedUtf16) {
    struct stat status {};
    if (::stat(path, &status) != 0 || !S_ISREG(status.st_mode)) return false;
    const FilePtr file(std::fopen(path, "rb"));
    if (!file) return false;
    std::array<char, kFirstBlock> block;
    return isPlainlyNotText(std::string_view(block.data(), std::fread(block.data(), 1, block.size(), file.get())),
                            namedUtf16);
}

bool isPlainlyNotText(std::string_view firstBlock, bool namedUtf16) {
    const std::string_view read = firstBlock.substr(0, kFirstBlock);
    // UTF-16 text holds NUL bytes in every Latin character: there only a
    // whole NUL unit is the NUL character, as a NUL byte is elsewhere.
    const bool marked = read.starts_with("\xFF\xFE") || read.starts_with("\xFE\xFF");
    if (marked || namedUtf16) {
        for (std::size_t unit = marked ? 2 : 0; unit + 1 < read.size(); unit += 2) {
            if (read[unit] == '\0' && read[unit + 1] == '\0') return true;
        }
        return false;
    }
    return read.find('\0') != std::string_view::npos;
}

}  // namespace quillon::unicode
