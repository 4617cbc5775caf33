#pragma once

#include <cstddef>
#include <string_view>

namespace quillon::unicode {

// Whether the file at `path` is plainly no text: a regular file whose first
// block holds a NUL character: a NUL unit in UTF-16 (named, or marked by its
// byte-order mark), a NUL byte in any other text.
// A file that cannot be read, and a pipe or device, which cannot be read
// twice, are not judged here.
bool isPlainlyNotText(const char* path, bool namedUtf16);
// The same judgement of a text's first block, up to kFirstBlock bytes.
bool isPlainlyNotText(std::string_view firstBlock, bool namedUtf16);

// As much as tools that tell text from binary files commonly look at.
constexpr std::size_t kFirstBlock = 8000;

}  // namespace quillon::unicode
