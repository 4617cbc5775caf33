#pragma once

#include <string>
#include <string_view>

namespace quillon::cli {

// `text` with its control characters and backslashes escaped as in C (\n, \t,
// \033, \\). A file name may hold any byte but '/' and NUL: shown this way it
// keeps a message on its line and a tab-separated line in its columns, and it
// cannot drive the terminal.
std::string printable(std::string_view text);

}  // namespace quillon::cli
