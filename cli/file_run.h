#pragma once

#include <functional>
#include <string>
#include <string_view>

#include <quillon/quillon.h>

namespace quillon::cli {

// One run from one source to one destination: the unit that the one-file
// form, batches and parallel jobs all use.
struct FileRun {
    std::string source;  // the paths handed to the library
    std::string destination;
    std::string sourceName;  // the source as the user named it
    // How a failure to read the source or write the destination names them.
    api::FileNames names;
    // Every message starts with the source's name.
    bool batch = false;
    bool quiet = false;  // no warnings
    const api::PreparedOptions* options = nullptr;
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

// The task of a convert or format command.
inline api::Task taskOf(const api::CommandLine& line) {
    return line.command == "convert" ? api::Task::Convert : api::Task::Format;
}

// What went wrong with a temporary file, and where: "WHAT in FOLDER".
std::string scratchTrouble(std::string_view what);

// The outcome of `attempt`, a run of `run`, told in messages.
FileOutcome outcomeOf(const FileRun& run, const std::function<api::Result()>& attempt);

// The run from `run.source` to `run.destination`.
FileOutcome runFile(const FileRun& run);

}  // namespace quillon::cli
