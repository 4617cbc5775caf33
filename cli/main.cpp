// quillon-cli: reads the command line, hands standard streams and pipes to
// libquillon (spooled through temporary files where a run must read its
// source twice), runs it and maps its result to messages and exit status (0
// success, 1 warning with complete output, 2 error or bad usage).
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <quillon/quillon.h>

#include "batch_run.h"
#include "detect_command.h"
#include "error_output.h"
#include "file_run.h"
#include "interrupt_cleanup.h"
#include "standard_streams.h"
#include "temp_file.h"

namespace quillon::cli {
namespace {

constexpr const char* kStandardInputPath = "/proc/self/fd/0";
constexpr const char* kStandardOutputPath = "/proc/self/fd/1";

using api::ScratchFile;

int printToStandardOutput(const std::string& text) {
    std::fputs(text.c_str(), stdout);
    return std::fflush(stdout) == 0 ? kExitSuccess : kExitFailure;
}

bool isPipe(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISFIFO(status.st_mode);
}

// A pipe, a terminal or a device: a run can open it again through the
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

// Standard output a run may write directly. Any other gets the output
// once the run is complete: a run that fails must leave a file as it was.
bool isStreamableOutput() { return isWritable(1) && isStream(1); }

// An empty file at its start, as "> FILE" leaves it, that standard error does
// not share: a run may write it directly too (through a description of
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
bool sourceIsDestination(const api::CommandLine& line) {
    const std::string source = line.source == "-" ? kStandardInputPath : line.source;
    const std::string destination = line.destination == "-" ? kStandardOutputPath : line.destination;
    if (!api::sameFile(source, destination)) return false;
    struct stat status {};
    const bool streams = line.source == "-" || line.destination == "-";
    return !streams || (::stat(source.c_str(), &status) == 0 && S_ISREG(status.st_mode));
}

int runOneFile(const api::CommandLine& line) {
    if (sourceIsDestination(line)) {
        printError("SOURCE and DESTINATION are the same file; nothing was written");
        return kExitFailure;
    }
    const std::string sourceName = line.source == "-" ? "standard input" : line.source;
    // What detection finds is told only when asked for.
    api::Options options = line.options;
    if (line.verbose && !line.quiet) {
        options.trace = [](std::string_view text) { std::fputs(std::string(text).append("\n").c_str(), stderr); };
    }
    const api::PreparedOptions prepared(taskOf(line), options);
    FileRun run{.source = line.source,
                .destination = line.destination,
                .sourceName = sourceName,
                .names = {sourceName, line.destination},
                .batch = false,
                .quiet = line.quiet,
                .options = &prepared};

    // A run that detects the encoding may read its source twice, when the
    // run's own read cannot settle it, and a Unicode source is read once for
    // its form and once more to run: a stream that gives its bytes once must
    // be kept for the second reading.
    const bool readsTwice = api::readsSourceTwice(line.options);
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
            run.names.destination = "Unable to write standard output";
            if (fillsEmptyFile) emptyOnSignals(1);
        } else {
            if (!(output = createSpoolFile())) return kExitFailure;
            run.destination = output->path();
            run.names.destination = scratchTrouble("Unable to write a temporary file");
        }
    }

    const FileOutcome outcome = runFile(run);

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
    std::optional<CopyFailure> failure;
    if (output && outcome.kind != FileOutcome::Kind::Failed) {
        ::lseek(output->descriptor(), 0, SEEK_SET);
        failure = copyStream(output->descriptor(), 1);
    }
    // The warnings hold for the whole output, delivered or not.
    std::fputs(outcome.messages.c_str(), stderr);
    if (failure) {
        printError(failure->whileReading ? "Unable to read a temporary file" : "Unable to write standard output",
                   failure->error);
        return kExitFailure;
    }
    return outcome.exitStatus;
}

}  // namespace
}  // namespace quillon::cli

int main(int argc, char** argv) {
    using namespace quillon::cli;
    using quillon::api::CommandLine;
    reserveStandardDescriptors();

    // argc may be 0 when the program is started without even its own name.
    const std::vector<std::string> words(argv + (argc > 0 ? 1 : 0), argv + std::max(argc, 1));
    const CommandLine line = quillon::api::readCommandLine(words);
    switch (line.action) {
        case CommandLine::Action::Help:
        case CommandLine::Action::Version:
        case CommandLine::Action::ListEncodings: return printToStandardOutput(line.text);
        case CommandLine::Action::UsageError: printError(line.text); return kExitFailure;
        case CommandLine::Action::Run: break;
    }
    if (line.command == "detect") return runDetect(line.files);
    removeUnfinishedFilesOnSignals();
    try {
        return line.inPlace || !line.outputDir.empty() ? runBatch(line) : runOneFile(line);
    } catch (const quillon::api::Error& refusal) {
        // A dictionary the command line read, unreadable when read again.
        printError(refusal.what());
        return kExitFailure;
    }
}
