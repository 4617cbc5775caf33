#pragma once

#include <cstdint>
#include <string_view>

namespace quillon {
class TextFormatter;
}

namespace quillon::cli {

enum class Command { Convert, Format };
inline constexpr Command kCommands[] = {Command::Convert, Command::Format};

// The word that selects the command on the command line.
constexpr std::string_view commandName(Command command) {
    return command == Command::Convert ? "convert" : "format";
}

// Every engine option a run can set, in the engine's own numbering. The
// defaults are the dialog's first-start defaults, so the command line and the
// dialog give the same output for the same choices.
struct RunOptions {
    std::int32_t sourceEncoding = 0;   // auto
    std::int32_t outputEncoding = 0;   // same
    std::int32_t htmlAware = 0;
    std::int32_t quiet = 0;
    std::int32_t charsPerLine = 38;
    std::int32_t lineSpacing = 1;
    std::int32_t leadingSpaces = 2;
    std::int32_t leftMargin = 0;
    std::int32_t paragraphMode = 0;    // auto
    std::int32_t headingAlignment = 1; // middle
    std::int32_t fullWidthSpaces = 1;
    std::int32_t autoFix = 1;
    std::int32_t naturalSyntax = 0;
};

void applyOptions(const RunOptions& options, TextFormatter& formatter);

}  // namespace quillon::cli
