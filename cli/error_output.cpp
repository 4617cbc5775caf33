#include "error_output.h"

#include <cstdio>
#include <cstring>

#include "printable_text.h"

namespace quillon::cli {

std::string messageLine(const std::string& text) { return "quillon-cli: " + printable(text) + "\n"; }

void printError(std::string_view text) { std::fputs(messageLine(std::string(text)).c_str(), stderr); }

void printError(std::string_view what, int error) { printError(std::string(what) + ": " + std::strerror(error)); }

}  // namespace quillon::cli
