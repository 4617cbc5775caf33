// quillon-cli's command line for any face: the option table, the help and
// the refusals stay where quillon-cli's own parser keeps them.
#include <quillon/quillon.h>

#include "command_line.h"
#include "encoding_names.h"
#include "help_text.h"
#include "options_check.h"

namespace quillon::api {
namespace {

CommandLine::Action actionOf(cli::CommandLine::Action action) {
    switch (action) {
        case cli::CommandLine::Action::Run: return CommandLine::Action::Run;
        case cli::CommandLine::Action::Help: return CommandLine::Action::Help;
        case cli::CommandLine::Action::Version: return CommandLine::Action::Version;
        case cli::CommandLine::Action::ListEncodings: return CommandLine::Action::ListEncodings;
        case cli::CommandLine::Action::UsageError: break;
    }
    return CommandLine::Action::UsageError;
}

std::string textOf(const cli::CommandLine& line) {
    switch (line.action) {
        case cli::CommandLine::Action::Help: return cli::helpText(line.command);
        case cli::CommandLine::Action::Version: return cli::versionText();
        case cli::CommandLine::Action::ListEncodings: return cli::encodingList();
        case cli::CommandLine::Action::UsageError: return line.error;
        case cli::CommandLine::Action::Run: break;
    }
    return {};
}

}  // namespace

CommandLine readCommandLine(const std::vector<std::string>& words) {
    std::vector<const char*> args;
    for (const std::string& word : words) args.push_back(word.c_str());
    const cli::CommandLine line = cli::parseCommandLine(args);

    CommandLine read;
    read.action = actionOf(line.action);
    read.text = textOf(line);
    if (line.command) read.command = cli::commandName(*line.command);
    read.options = optionsOfWords(line.optionWords);
    read.options.dictionaries = line.dictionaries;
    read.quiet = line.options.quiet != 0;
    read.verbose = line.verbose;
    read.source = line.source;
    read.destination = line.destination;
    read.sources = line.sources;
    read.outputDir = line.batch.outputDir;
    read.recursive = line.batch.recursive;
    read.inPlace = line.batch.inPlace;
    read.backupSuffix = line.batch.backupSuffix;
    read.jobs = line.batch.jobs;
    read.files = line.files;
    if (read.action == CommandLine::Action::Run && !read.options.dictionaries.empty()) {
        // The user's dictionaries are read whole before anything is written:
        // a bad line refuses the run.
        try {
            prepareRun(read.command == "convert" ? Task::Convert : Task::Format, read.options);
        } catch (const Error& refusal) {
            read.action = CommandLine::Action::UsageError;
            read.text = refusal.what();
        }
    }
    return read;
}

}  // namespace quillon::api
