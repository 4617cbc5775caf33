#pragma once

#include <string_view>

namespace quillon::cli {

enum class Command { Convert, Format };
inline constexpr Command kCommands[] = {Command::Convert, Command::Format};

// The word that selects the command on the command line.
constexpr std::string_view commandName(Command command) {
    return command == Command::Convert ? "convert" : "format";
}

}  // namespace quillon::cli
