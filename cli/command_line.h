#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "batch_options.h"
#include "command.h"
#include "edge_options.h"

namespace quillon::cli {

// What the arguments ask for.
struct CommandLine {
    enum class Action { Run, Help, Version, ListEncodings, UsageError };
    Action action = Action::UsageError;
    std::optional<Command> command;  // none with Help: the overall help
    unicode::EdgeRunOptions options;
    std::string source;       // the one-file form: SOURCE DESTINATION, "-" when not named
    std::string destination;
    bool verbose = false;  // tell what detection finds
    BatchOptions batch;
    std::vector<std::string> sources;  // the batch forms: SOURCE...
    std::vector<std::string> files;  // the operands of detect
    std::vector<std::string> dictionaries;  // the user's own, in the order named
    // Each run option read, as "--name", "--no-name" or "--name=VALUE".
    std::vector<std::string> optionWords;
    std::string error;  // one line naming the problem, with UsageError
};

// `args` are the arguments after the program name. Options and operands may
// be mixed; "--" ends the options; "-" is an operand. A one-letter option
// ("-f gbk", "-fgbk") stands for its long form.
CommandLine parseCommandLine(std::span<const char* const> args);

}  // namespace quillon::cli
