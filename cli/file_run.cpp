#include "file_run.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

#include "edge_run.h"
#include "messages.h"
#include "scratch_file.h"

namespace quillon::cli {
namespace {

using Kind = FileOutcome::Kind;

// "WHAT: reason", or the engine's own message where one of them is unknown.
std::string systemFailure(const std::string& what, int error, RunResult result) {
    const std::string_view engineText = resultMessage(result)->text;
    if (what.empty()) return std::string(engineText);
    return what + ": " + std::string(error != 0 ? std::string_view(std::strerror(error)) : engineText);
}

// Why `path` cannot be opened, for a failure reported without its reason (the
// Unicode edge's detection opens the source itself); 0 when it can be.
int openError(const std::string& path) {
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) return errno;
    ::close(descriptor);
    return 0;
}

}  // namespace

std::string messageLine(const std::string& text) { return "quillon-cli: " + text + "\n"; }

std::string scratchTrouble(std::string_view what) { return std::string(what) + " in " + unicode::scratchFolder(); }

FileOutcome runFile(TextFormatter& formatter, const FileRun& run) {
    unicode::EdgeOutput written;
    const RunResult result = unicode::runThroughEdge(
        formatter, run.command == Command::Convert ? unicode::RunKind::Convert : unicode::RunKind::Format,
        run.choices, run.source.c_str(), run.destination.c_str(), &written);
    const std::string prefix = run.batch ? run.sourceName + ": " : "";
    FileOutcome outcome;
    const auto fail = [&](const std::string& text) {
        outcome.kind = Kind::Failed;
        outcome.exitStatus = kExitFailure;
        outcome.messages += messageLine(text);
    };
    const auto warn = [&](const std::string& text) {
        outcome.kind = Kind::Warned;
        outcome.exitStatus = kExitWarning;
        if (!run.quiet) outcome.messages += messageLine(prefix + text);
    };

    if (result == kPlainAsciiSource) {
        if (run.batch) {
            outcome.kind = Kind::Skipped;
        } else {
            fail("the source is plain ASCII text, there is nothing to format");
        }
    } else if (result == kSourceUnreadable) {
        fail(systemFailure(run.sourceFailure, formatter.systemError != 0 ? formatter.systemError : openError(run.source),
                           result));
    } else if (result == kDestinationUnwritable && written.scratchFailed) {
        fail(prefix + systemFailure(scratchTrouble("Unable to write a temporary file"), formatter.systemError, result));
    } else if (result == kDestinationUnwritable) {
        fail(systemFailure(run.destinationFailure, formatter.systemError, result));
    } else if (isError(result)) {
        fail(prefix + std::string(resultMessage(result)->text));
    } else if (isWarning(result)) {
        warn(std::string(resultMessage(result)->text));
    }
    if (!isError(result) && formatter.endMarkOffset >= 0) {
        // The engine stops at this byte as text files always have; the user
        // must still learn that the output is not all of the input.
        warn((run.batch ? "" : run.sourceName + ": ") + "Warning: a byte 1A at offset " +
             std::to_string(formatter.endMarkOffset) + " ends the text; the bytes after it were not read");
    }
    return outcome;
}

}  // namespace quillon::cli
