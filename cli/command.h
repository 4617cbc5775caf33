#pragma once

#include <string_view>

namespace quillon::cli {

enum class Command { Convert, Format, Detect };
inline constexpr Command kCommands[] = {Command::Convert, Command::Format, Command::Detect};

// The word that selects the command on the command line.
constexpr std::string_view commandName(Command command) {
    return command == Command::Convert ? "convert" : command == Command::Format ? "format" : "detect";
}

}  // namespace quillon::cli
