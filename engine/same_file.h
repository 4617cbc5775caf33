#pragma once

namespace quillon {

// True when both paths name one existing file, however they are spelled:
// through symbolic links, "." and ".." steps, or another hard link to it.
// A run from a file onto itself would empty its source before reading it.
bool isSameFile(const char* first, const char* second);

}  // namespace quillon
