#pragma once

#include <string>
#include <vector>

namespace quillon::cli {

// Prints "PATH<TAB>ENCODING<TAB>FORM<TAB>LINE-ENDS" for every file as soon as
// it is known, "-" standing for standard input; a file that cannot be read or
// is not a regular file is named on standard error and the others still
// described. Names are printable (see printable_text.h). Returns the exit
// status: 0, or 2 when a file could not be described.
int runDetect(const std::vector<std::string>& files);

}  // namespace quillon::cli
