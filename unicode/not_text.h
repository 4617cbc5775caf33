#pragma once

namespace quillon::unicode {

// Whether the file at `path` is plainly no text: a regular file whose first
// block holds a NUL byte and does not start with a UTF-16 byte-order mark.
// A file that cannot be read, and a pipe or device, which cannot be read
// twice, are not judged here.
bool isPlainlyNotText(const char* path);

}  // namespace quillon::unicode
