#pragma once

#include <string>
#include <string_view>

#include "command.h"
#include "edge_options.h"
#include "text_formatter.h"

namespace quillon::cli {

// One run of the engine from one source to one destination: the unit that the
// one-file form, batches and parallel jobs all use.
struct FileRun {
    Command command = Command::Convert;
    std::string source;       // the paths handed to the engine
    std::string destination;
    std::string sourceName;   // the source as the user named it
    // How a failure to read the source or write the destination is told,
    // before the system's reason; empty for the engine's own message.
    std::string sourceFailure;
    std::string destinationFailure;
    // Every message starts with the source's name.
    bool batch = false;
    unicode::EdgeRunOptions options;  // every choice of the run
};

struct FileOutcome {
    enum class Kind { Done, Warned, Failed, Skipped };
    Kind kind = Kind::Done;
    int exitStatus = 0;    // 0 done, 1 warning with complete output, 2 error
    std::string messages;  // whole lines for standard error
};

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitWarning = 1;
inline constexpr int kExitFailure = 2;

// What went wrong with a temporary file, and where: "WHAT in FOLDER".
std::string scratchTrouble(std::string_view what);

FileOutcome runFile(TextFormatter& formatter, const FileRun& run);

}  // namespace quillon::cli
