// quillon-cli: parses the command line, hands standard streams and pipes to
// the engine (spooled through temporary files where the engine must read its
// source twice), runs the engine and maps its result to messages and exit
// status (0 success, 1 warning with complete output, 2 error or bad usage).
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "batch_run.h"
#include "command_line.h"
#include "detect_command.h"
#include "edge_run.h"
#include "encoding_names.h"
#include "error_output.h"
#include "file_run.h"
#include "help_text.h"
#include "interrupt_cleanup.h"
#include "messages.h"
#include "run_options.h"
#include "same_file.h"
#include "standard_streams.h"
#include "temp_file.h"
#include "user_words.h"
#include "text_formatter.h"

namespace quillon::cli {
namespace {

constexpr const char* kStandardInputPath = "/proc/self/fd/0";
constexpr const char* kStandardOutputPath = "/proc/self/fd/1";

using unicode::ScratchFile;

int printToStandardOutput(const std::string& text) {
    std::fputs(text.c_str(), stdout);
    return std::fflush(stdout) == 0 ? kExitSuccess : kExitFailure;
}

bool isPipe(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISFIFO(status.st_mode);
}

// A pipe, a terminal or a device: the engine can open it again through the
// descriptor's path and read or write it as it flows. (A socket cannot be
// opened that way, and a regular file opened anew would be emptied or read
// from its start.)
bool isStream(int descriptor) {
    struct stat status {};
    return ::fstat(descriptor, &status) == 0 && (S_ISFIFO(status.st_mode) || S_ISCHR(status.st_mode));
}

bool isWritable(int descriptor) {
    const int flags = ::fcntl(descriptor, F_GETFL);
    return flags >= 0 && (flags & O_ACCMODE) != O_RDONLY;
}

// Standard output the engine may write directly. Any other gets the output
// once the run is complete: a run that fails must leave a file as it was.
bool isStreamableOutput() { return isWritable(1) && isStream(1); }

// An empty file at its start, as "> FILE" leaves it, that standard error does
// not share: the engine may write it directly too (through a description of
// its own, whose bytes nothing else then overwrites), and a run that fails
// empties it again.
bool isEmptyFileOutput() {
    struct stat output {}, error {};
    return isWritable(1) && ::fstat(1, &output) == 0 && S_ISREG(output.st_mode) && output.st_size == 0 &&
           ::lseek(1, 0, SEEK_CUR) == 0 &&
           !(::fstat(2, &error) == 0 && error.st_dev == output.st_dev && error.st_ino == output.st_ino);
}

// The source or destination "-" stands for its standard stream; "same" is
// judged on regular files only, where writing one would destroy the other.
bool sourceIsDestination(const CommandLine& line) {
    const std::string source = line.source == "-" ? kStandardInputPath : line.source;
    const std::string destination = line.destination == "-" ? kStandardOutputPath : line.destination;
    if (!isSameFile(source.c_str(), destination.c_str())) return false;
    struct stat status {};
    const bool streams = line.source == "-" || line.destination == "-";
    return !streams || (::stat(source.c_str(), &status) == 0 && S_ISREG(status.st_mode));
}

int runOneFile(const CommandLine& line) {
    if (sourceIsDestination(line)) {
        printError("SOURCE and DESTINATION are the same file; nothing was written");
        return kExitFailure;
    }
    const std::string sourceName = line.source == "-" ? "standard input" : line.source;
    FileRun run{.command = *line.command,
                .source = line.source,
                .destination = line.destination,
                .sourceName = sourceName,
                .sourceFailure = sourceName,
                .destinationFailure = line.destination,
                .batch = false,
                .options = line.options};

    // A run that detects the encoding may read its source twice, when the
    // run's own read cannot settle it, and a Unicode source is read once for
    // its form and once more to run: a stream that gives its bytes once must
    // be kept for the second reading.
    const bool readsTwice = line.options.sourceEncoding == kSourceAuto ||
                            unicode::isUnicodeSource(line.options.sourceEncoding);
    std::unique_ptr<ScratchFile> input;
    if (line.source == "-") {
        if (!isRereadable(0) && (readsTwice || !isStream(0))) {
            if (!(input = spool(0, "standard input"))) return kExitFailure;
        }
        run.source = input ? input->path() : kStandardInputPath;
    } else if (readsTwice && isPipe(line.source)) {
        const int descriptor = ::open(line.source.c_str(), O_RDONLY | O_CLOEXEC);
        if (descriptor < 0) {
            printError(line.source, errno);
            return kExitFailure;
        }
        input = spool(descriptor, line.source);
        ::close(descriptor);
        if (!input) return kExitFailure;
        run.source = input->path();
    }

    std::unique_ptr<ScratchFile> output;
    bool fillsEmptyFile = false;
    if (line.destination == "-") {
        const bool streams = isStreamableOutput();
        fillsEmptyFile = !streams && isEmptyFileOutput();
        if (streams || fillsEmptyFile) {
            run.destination = kStandardOutputPath;
            run.destinationFailure = "Unable to write standard output";
            if (fillsEmptyFile) emptyOnSignals(1);
        } else {
            if (!(output = createSpoolFile())) return kExitFailure;
            run.destination = output->path();
            run.destinationFailure = scratchTrouble("Unable to write a temporary file");
        }
    }

    TextFormatter formatter;
    if (!formatter.hasBuffers()) return kExitFailure;  // the engine has said so
    const FileOutcome outcome = runFile(formatter, run);

    if (fillsEmptyFile) {
        stopEmptyingOnSignals();
        if (outcome.kind == FileOutcome::Kind::Failed) {
            // Incomplete: the file is left as empty as it came.
            [[maybe_unused]] const int ignored = ::ftruncate(1, 0);
        } else {
            // Whoever writes standard output next, as in a shell's group of
            // commands, writes after this run's bytes.
            ::lseek(1, 0, SEEK_END);
        }
    }
    // Output of a failed run is incomplete: standard output gets none of it.
    if (output && outcome.kind != FileOutcome::Kind::Failed) {
        ::lseek(output->descriptor(), 0, SEEK_SET);
        if (const auto failure = copyStream(output->descriptor(), 1)) {
            printError(failure->whileReading ? "Unable to read a temporary file" : "Unable to write standard output",
                       failure->error);
            return kExitFailure;
        }
    }
    std::fputs(outcome.messages.c_str(), stderr);
    return outcome.exitStatus;
}

}  // namespace
}  // namespace quillon::cli

int main(int argc, char** argv) {
    using namespace quillon::cli;
    reserveStandardDescriptors();
    quillon::setMessageSink([](std::string_view, std::string_view text) { printError(text); });

    // argc may be 0 when the program is started without even its own name.
    const std::span<const char* const> args(argv + (argc > 0 ? 1 : 0),
                                            static_cast<std::size_t>(argc > 1 ? argc - 1 : 0));
    CommandLine line = parseCommandLine(args);
    switch (line.action) {
        case CommandLine::Action::Help: return printToStandardOutput(helpText(line.command));
        case CommandLine::Action::Version: return printToStandardOutput(versionText());
        case CommandLine::Action::ListEncodings: return printToStandardOutput(encodingList());
        case CommandLine::Action::UsageError: printError(line.error); return kExitFailure;
        case CommandLine::Action::Run: break;
    }
    if (*line.command == Command::Detect) return runDetect(line.files);
    // The user's dictionaries are read whole before anything is written: a
    // bad line refuses the run.
    std::optional<quillon::unicode::UserWords> words;
    if (!line.dictionaries.empty()) {
        std::string error;
        words = quillon::unicode::UserWords::read(line.dictionaries, error);
        if (!words) {
            printError(error);
            return kExitFailure;
        }
        line.options.userWords = &*words;
    }
    // What detection finds is told only when asked for.
    if (!line.verbose || line.options.quiet != 0) quillon::setTraceSink([](std::string_view) {});
    removeUnfinishedFilesOnSignals();
    return line.batch.manySources() ? runBatch(line) : runOneFile(line);
}
