#pragma once

#include <string>
#include <string_view>

namespace quillon::cli {

// A message line as the program prints it, the file names in it printable.
std::string messageLine(const std::string& text);

// Prints a message line on standard error.
void printError(std::string_view text);
// Prints "WHAT: reason" for the errno value `error`.
void printError(std::string_view what, int error);

}  // namespace quillon::cli
