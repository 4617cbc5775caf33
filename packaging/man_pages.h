#pragma once

#include <string>
#include <string_view>

namespace quillon::packaging {

// quillon-cli(1) in roff, from the same option table and texts as --help.
std::string cliManPage(std::string_view version);

// quillon(1) in roff; `helpPage` is where the installed help page lies.
std::string dialogManPage(std::string_view version, std::string_view helpPage);

}  // namespace quillon::packaging
