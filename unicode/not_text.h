#pragma once

namespace quillon::unicode {

// Whether the file at `path` is plainly no text: a regular file whose first
// block holds a NUL character: a NUL unit in UTF-16 (named, or marked by its
// byte-order mark), a NUL byte in any other text.
// A file that cannot be read, and a pipe or device, which cannot be read
// twice, are not judged here.
bool isPlainlyNotText(const char* path, bool namedUtf16);

}  // namespace quillon::unicode
