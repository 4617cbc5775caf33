#pragma once

#include <string>
#include <vector>

namespace quillon::cli {

// Prints "PATH<TAB>ENCODING<TAB>FORM<TAB>LINE-ENDS" for every file; a file that
// cannot be read is named on standard error and the others still described.
// Returns the exit status: 0, or 2 when a file could not be read.
int runDetect(const std::vector<std::string>& files);

}  // namespace quillon::cli
