#pragma once

#include <optional>
#include <string>

#include "run_options.h"

namespace quillon::cli {

// The text of --help: the overall help, or a command's with its options.
std::string helpText(std::optional<Command> command);

// The program's version and those of the code tables and ICU it runs with.
std::string versionText();

}  // namespace quillon::cli
