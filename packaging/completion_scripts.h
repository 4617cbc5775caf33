#pragma once

#include <string>

namespace quillon::packaging {

// Completion of quillon-cli's commands, options, option values and file
// names, from its option table: for bash (with the bash-completion package)
// and for zsh.
std::string bashCompletion();
std::string zshCompletion();

}  // namespace quillon::packaging
