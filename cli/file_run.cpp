#include "file_run.h"

#include "edge_run.h"
#include "error_output.h"
#include "file_failure.h"
#include "messages.h"

namespace quillon::cli {
namespace {

using Kind = FileOutcome::Kind;

// "WHAT: reason", or the engine's own message where nothing names the file.
std::string systemFailure(const std::string& what, int error, RunResult result) {
    if (what.empty()) return std::string(resultMessage(result)->text);
    return unicode::fileFailure(what, error, result);
}

}  // namespace

FileOutcome runFile(TextFormatter& formatter, const FileRun& run) {
    const RunResult result = unicode::runThroughEdge(
        formatter, run.command == Command::Convert ? unicode::RunKind::Convert : unicode::RunKind::Format,
        run.options, run.source.c_str(), run.destination.c_str());
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
        if (run.options.quiet == 0) outcome.messages += messageLine(prefix + text);
    };

    if (result == kPlainAsciiSource) {
        // Refused alike alone and in a batch: nothing is written for it.
        fail(run.sourceName + ": the source is plain ASCII text, there is nothing to format");
    } else if (result == kSourceUnreadable) {
        const int error = formatter.systemError != 0 ? formatter.systemError : unicode::openError(run.source.c_str());
        if (error == 0 && run.options.sourceEncoding == unicode::kSourceUtf16) {
            // It opens and reads: only the mark that would tell its byte order is missing.
            fail(run.sourceName + ": UTF-16 without a byte-order mark; name its byte order with --from utf-16le or "
                                  "utf-16be");
        } else {
            fail(systemFailure(run.sourceFailure, error, result));
        }
    } else if (result == kDestinationUnwritable) {
        fail(systemFailure(run.destinationFailure, formatter.systemError, result));
    } else if (result == kSourceNotText) {
        fail(unicode::fileFailure(run.sourceName, 0, result));
    } else if (isError(result)) {
        fail(prefix + std::string(resultMessage(result)->text));
    } else if (isWarning(result)) {
        warn(std::string(resultMessage(result)->text));
    }
    if (!isError(result) && formatter.endMarkOffset >= 0) {
        // The engine stops at this byte as text files always have; the user
        // must still learn that the output is not all of the input.
        warn((run.batch ? "" : run.sourceName + ": ") + unicode::endMarkWarning(formatter.endMarkOffset));
    }
    return outcome;
}

}  // namespace quillon::cli
