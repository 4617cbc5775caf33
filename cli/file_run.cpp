#include "file_run.h"

#include <cstdio>

#include "edge_run.h"
#include "error_output.h"
#include "file_failure.h"
#include "messages.h"
#include "problem_census.h"
#include "scratch_file.h"
#include "unicode_problem_census.h"

namespace quillon::cli {
namespace {

using Kind = FileOutcome::Kind;

// "WHAT: reason", or the engine's own message where nothing names the file.
std::string systemFailure(const std::string& what, int error, RunResult result) {
    if (what.empty()) return std::string(resultMessage(result)->text);
    return unicode::fileFailure(what, error, result);
}

// " (N in all, the first at line L, column C: bytes XX XX)", or "character
// U+XXXX" in a Unicode source, for a warning of boxed characters, read again
// from the source; empty where that tells nothing sure (see warningCensus)
// and for a stream, which cannot be read again.
std::string whereWarned(const FileRun& run, const TextFormatter& formatter, const unicode::EdgeOutput& written,
                        RunResult result) {
    const std::optional<ProblemCensus> census = unicode::warningCensus(
        {run.source.c_str(), {}}, run.command == Command::Convert ? unicode::RunKind::Convert : unicode::RunKind::Format,
        result, formatter, written);
    if (!census || census->count == 0) return {};
    std::string text = " (" + std::to_string(census->count) + " in all, the first at line " +
                       std::to_string(census->line) + ", column " + std::to_string(census->column);
    if (!census->bytes.empty()) text += ": bytes " + spelledBytes(census->bytes);
    if (census->character != 0) {
        char code[32];
        std::snprintf(code, sizeof code, ": character U+%04X", static_cast<unsigned>(census->character));
        text += code;
    }
    return text + ")";
}

}  // namespace

std::string scratchTrouble(std::string_view what) { return std::string(what) + " in " + unicode::scratchFolder(); }

FileOutcome runFile(TextFormatter& formatter, const FileRun& run) {
    unicode::EdgeOutput written;
    const RunResult result = unicode::runThroughEdge(
        formatter, run.command == Command::Convert ? unicode::RunKind::Convert : unicode::RunKind::Format,
        run.options, run.source.c_str(), run.destination.c_str(), &written);
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
    } else if (result == kDestinationUnwritable && written.scratchFailed) {
        fail(prefix + systemFailure(scratchTrouble("Unable to write a temporary file"), formatter.systemError, result));
    } else if (result == kDestinationUnwritable) {
        fail(systemFailure(run.destinationFailure, formatter.systemError, result));
    } else if (result == kSourceNotText) {
        fail(unicode::fileFailure(run.sourceName, 0, result));
    } else if (isError(result)) {
        fail(prefix + std::string(resultMessage(result)->text));
    } else if (isWarning(result)) {
        const bool placed = result == kInvalidCodeWarning || result == kUnmappableWarning;
        warn(std::string(resultMessage(result)->text) +
             (placed && run.options.quiet == 0 ? whereWarned(run, formatter, written, result) : ""));
    }
    if (!isError(result) && formatter.endMarkOffset >= 0) {
        // The engine stops at this byte as text files always have; the user
        // must still learn that the output is not all of the input.
        warn((run.batch ? "" : run.sourceName + ": ") +
             unicode::endMarkWarning(formatter.endMarkOffset, written.unicodeSource));
    }
    return outcome;
}

}  // namespace quillon::cli
