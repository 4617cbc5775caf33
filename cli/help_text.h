#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "batch_options.h"
#include "command.h"
#include "option_table.h"

namespace quillon::cli {

// The text of --help: the overall help, or a command's with its options.
std::string helpText(std::optional<Command> command);

// An option of the program itself rather than of a command's run.
struct ProgramOption {
    std::string_view forms;
    std::string_view help;
};
inline constexpr ProgramOption kHelpOption{"-h, --help", "show this help and exit"};
inline constexpr ProgramOption kVersionOption{
    "-V, --version",
    "show the versions of quillon-cli, its code tables, its dictionaries and ICU, and exit"};
inline constexpr ProgramOption kListEncodingsOption{
    "-l, --list-encodings", "list the encodings --from and --to take, each with its aliases, and exit"};

// Options of a run that neither the engine nor a batch takes, in the batch
// options' shape.
inline constexpr BatchOptionRow kRunOptionRows[] = {
    {"output", "FILE", false,
     "write the result into FILE, as DESTINATION does; with neither, standard output"},
    {"verbose", "", false, "tell on standard error which encodings detection finds"},
    {"dictionary", "FILE", false,
     "add the phrases of FILE, an OpenCC text dictionary (a line: simplified KEY, a "
     "tab, traditional VALUE), to the built-in ones, where they win: traditional "
     "output gets VALUE for KEY, simplified output KEY for VALUE. Between GB, GBK and "
     "Big5 only phrases as long on both sides that both encodings hold count. Not with "
     "--html or --no-phrases; may be given again"},
};

// The ways of writing `option` ("-h" and "--help"), joined by `separator`.
std::string formWords(const ProgramOption& option, std::string_view separator);

// Every way of writing the program's own options, "-h" "--help" "-V"
// "--version" "-l" "--list-encodings", joined by `separator`.
std::string programOptionWords(std::string_view separator);

inline constexpr std::string_view kEqualsNote =
    "An option's value may also be given as --option=VALUE, or right after a\n"
    "one-letter option: -fgbk.";

// What a command does, in a paragraph of lines ending in a line feed.
std::string_view commandSummary(Command command);

// Standard streams, line ends, replacement and exit status, in paragraphs
// that a blank line starts.
std::string_view commonNotes();

// How an option is written: "--name, --no-name", "--name N" or "--name a|b|c",
// after its one-letter form where it has one ("-f, --from a|b|c").
std::string optionForms(const OptionEntry& entry);

// How a batch option is written: "-j, --jobs N", "--backup[=SUFFIX]".
std::string batchOptionForms(const BatchOptionRow& row);

// The default that an option's help names; empty for a flag.
std::string defaultText(const OptionEntry& entry);

// What an option's help says of its value, in the parentheses after it:
// the values a number takes and the default ("0 or more, default 1"); empty
// where there is neither.
std::string valueNote(const OptionEntry& entry);

// The program's version, the origins of its code tables and of the
// dictionaries that phrases and Unicode text are converted with, and the
// version of ICU it runs with.
std::string versionText();

}  // namespace quillon::cli
