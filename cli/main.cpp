// quillon-cli: parses the command line, spools standard streams and pipes through
// temporary files, runs the engine and maps its result to messages and exit
// status (0 success, 1 warning with complete output, 2 error or bad usage).
#include <cstdio>
#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "command_line.h"
#include "detect_command.h"
#include "edge_run.h"
#include "help_text.h"
#include "messages.h"
#include "run_options.h"
#include "same_file.h"
#include "standard_streams.h"
#include "temp_file.h"
#include "text_formatter.h"

namespace quillon::cli {
namespace {

constexpr int kExitSuccess = 0;
constexpr int kExitWarning = 1;
constexpr int kExitFailure = 2;

void printError(std::string_view text) {
    std::fprintf(stderr, "quillon-cli: %.*s\n", static_cast<int>(text.size()), text.data());
}

void printError(std::string_view what, int error) {
    printError(std::string(what) + ": " + std::strerror(error));
}

int printToStandardOutput(const std::string& text) {
    std::fputs(text.c_str(), stdout);
    return std::fflush(stdout) == 0 ? kExitSuccess : kExitFailure;
}

std::unique_ptr<TempFile> createSpoolFile() {
    auto file = TempFile::create();
    if (!file) printError("Unable to create a temporary file in " + tempFolder(), errno);
    return file;
}

std::unique_ptr<TempFile> spool(int descriptor, const std::string& what) {
    auto file = createSpoolFile();
    if (!file) return nullptr;
    if (const auto failure = copyStream(descriptor, file->descriptor())) {
        printError(failure->whileReading ? "Unable to read " + what : "Unable to write a temporary file",
                   failure->error);
        return nullptr;
    }
    return file;
}

// A pipe gives its bytes only once, but a run that detects the encoding reads
// its source twice: the second reading would find it empty.
bool isPipe(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISFIFO(status.st_mode);
}

std::unique_ptr<TempFile> spoolPipe(const std::string& path) {
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        showResultMessage(kSourceUnreadable);
        return nullptr;
    }
    auto file = spool(descriptor, path);
    ::close(descriptor);
    return file;
}

int reportResult(RunResult result, bool quiet) {
    if (result == kSuccess) return kExitSuccess;
    if (result == kPlainAsciiSource) {
        printError("the source is plain ASCII text, there is nothing to format");
        return kExitFailure;
    }
    if (isWarning(result)) {
        if (!quiet) showResultMessage(result);
        return kExitWarning;
    }
    showResultMessage(result);
    return kExitFailure;
}

int run(const CommandLine& line) {
    removeTempFilesOnSignals();
    const bool fromStandardInput = line.source == "-";
    const bool toStandardOutput = line.destination == "-";
    // Writing the destination would destroy the source before it is read.
    if (!fromStandardInput && !toStandardOutput &&
        isSameFile(line.source.c_str(), line.destination.c_str())) {
        printError("SOURCE and DESTINATION are the same file; nothing was written");
        return kExitFailure;
    }

    std::unique_ptr<TempFile> input;
    std::unique_ptr<TempFile> output;
    if (fromStandardInput || isPipe(line.source)) {
        input = fromStandardInput ? spool(0, "standard input") : spoolPipe(line.source);
        if (!input) return kExitFailure;
    }
    if (toStandardOutput && !(output = createSpoolFile())) return kExitFailure;
    const char* source = input ? input->path() : line.source.c_str();
    const char* destination = output ? output->path() : line.destination.c_str();

    TextFormatter formatter;
    if (!formatter.hasBuffers()) return kExitFailure;  // the engine has said so
    applyOptions(line.options, formatter);
    const RunResult result = unicode::runThroughEdge(
        formatter, *line.command == Command::Convert ? unicode::RunKind::Convert : unicode::RunKind::Format,
        line.options, source, destination);

    // Output of a failed run is incomplete: standard output gets none of it.
    if (output && !isError(result)) {
        if (const auto failure = copyStream(output->descriptor(), 1)) {
            printError(failure->whileReading ? "Unable to read a temporary file"
                                             : "Unable to write standard output",
                       failure->error);
            return kExitFailure;
        }
    }
    return reportResult(result, line.options.quiet != 0);
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
    const CommandLine line = parseCommandLine(args);
    switch (line.action) {
        case CommandLine::Action::Help: return printToStandardOutput(helpText(line.command));
        case CommandLine::Action::Version: return printToStandardOutput(versionText());
        case CommandLine::Action::UsageError: printError(line.error); return kExitFailure;
        case CommandLine::Action::Run: break;
    }
    return *line.command == Command::Detect ? runDetect(line.files) : run(line);
}
