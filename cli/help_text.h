#pragma once

#include <optional>
#include <string>

#include "command.h"

namespace quillon::cli {

// The text of --help: the overall help, or a command's with its options.
std::string helpText(std::optional<Command> command);

std::string versionText();

}  // namespace quillon::cli
