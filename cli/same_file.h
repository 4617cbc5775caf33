#pragma once

namespace quillon::cli {

// True when both paths lead to one existing file (same device and inode),
// however they are spelled: symbolic links, "./" spellings, hard links.
bool isSameFile(const char* first, const char* second);

}  // namespace quillon::cli
