#include "completion_scripts.h"

#include <string_view>

#include "help_text.h"
#include "option_table.h"
#include "short_options.h"

namespace quillon::packaging {
namespace {

using cli::Command;
using cli::OptionEntry;

std::string commandNames() {
    std::string names;
    for (Command command : cli::kCommands) {
        if (!names.empty()) names += ' ';
        names += cli::commandName(command);
    }
    return names;
}

// The one-letter form of the option `name` ("-f" for "from"), or an empty text.
std::string shortWord(std::string_view name) { return std::string(cli::shortFormOf(name).substr(0, 2)); }

// "--name", its one-letter form if it has one and, for a switch, "--no-name":
// every way the option is written.
std::string optionWords(std::string_view name, bool isSwitch) {
    std::string words = "--" + std::string(name);
    if (const std::string letter = shortWord(name); !letter.empty()) (words += ' ') += letter;
    if (isSwitch) words += " --no-" + std::string(name);
    return words;
}

// A case pattern for the word before a value: "--from|-f".
std::string casePattern(std::string_view name) {
    std::string pattern = "--" + std::string(name);
    if (const std::string letter = shortWord(name); !letter.empty()) (pattern += '|') += letter;
    return pattern;
}

constexpr std::string_view kBashHead = R"(# bash completion for quillon-cli; generated from its option table.
_quillon_cli()
{
    local cur prev words cword split
    _init_completion -s || return

    if ((cword == 1)); then
        COMPREPLY=($(compgen -W '@WORDS@' -- "$cur"))
        return
    fi
    local options
    case ${words[1]} in
)";

constexpr std::string_view kBashMiddle = R"(        *) return ;;
    esac
    case $prev in
)";

// Between the cases of the word before and of the word itself: a one-letter
// option may carry its value in the same word ("-fgbk").
constexpr std::string_view kBashGlued = R"(    esac
    case $cur in
)";

constexpr std::string_view kBashTail = R"(    esac
    $split && return

    # After "--" every word is a file name.
    local i
    for ((i = 2; i < cword; i++)); do
        [[ ${words[i]} == -- ]] && { _filedir; return; }
    done
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return
    fi
    _filedir
} &&
    complete -F _quillon_cli quillon-cli
)";

std::string replaced(std::string_view text, std::string_view placeholder, std::string_view value) {
    std::string result(text);
    if (const std::size_t at = result.find(placeholder); at != result.npos) {
        result.replace(at, placeholder.size(), value);
    }
    return result;
}

// A description inside an _arguments item, where brackets and colons end it.
std::string zshDescription(std::string_view help) {
    std::string text;
    for (char c : help) {
        if (c == '\'') {
            text += "'\\''";  // the item is a single-quoted shell word
            continue;
        }
        if (c == '[' || c == ']' || c == ':' || c == '\\') text += '\\';
        text += c;
    }
    return text;
}

// An _arguments item for the option `name` and its one-letter form if it
// has one, each excluding the other and the options in `excluded`. `mark`
// ends the long form: "=" for a value in the same word or the next, "=-" for
// one in the same word only; `rest` is the description and the value's part.
std::string zshItem(std::string_view name, std::string_view mark, const std::string& rest,
                    const std::string& excluded = {}) {
    const std::string word = "--" + std::string(name) + std::string(mark);
    const std::string letter = shortWord(name);
    if (letter.empty()) {
        return "      '" + (excluded.empty() ? "" : "(" + excluded + ")") + word + rest + "' \\\n";
    }
    const std::string exclusions = (excluded.empty() ? "" : excluded + " ") + letter + " --" + std::string(name);
    // A one-letter form takes its value in the same word or the next: "-fgbk", "-f gbk".
    const std::string letterWord = letter + (mark.empty() ? "" : "+");
    return "      '(" + exclusions + ")'{" + letterWord + "," + word + "}'" + rest + "' \\\n";
}

// A row of the options that are not the engine's: a flag, a value that may
// be left out, a number, a folder or a file.
std::string zshSpec(const cli::BatchOptionRow& row) {
    const std::string help = std::string("[").append(zshDescription(row.help)).append("]");
    if (row.value.empty()) return zshItem(row.name, "", help);
    if (row.valueOptional) return zshItem(row.name, "=-", help + "::suffix: ");
    const std::string action = row.value == "N"     ? ":number: "
                               : row.value == "DIR" ? ":folder:_files -/"
                                                    : ":file:_files";
    return zshItem(row.name, "=", help + action);
}

std::string zshSpecs(Command command) {
    std::string specs;
    for (const OptionEntry& entry : cli::optionTable()) {
        if (!cli::appliesTo(entry, command)) continue;
        const std::string name(entry.name);
        const std::string help = std::string("[").append(zshDescription(entry.help)).append("]");
        switch (entry.kind) {
            case OptionEntry::Kind::Switch: {
                const std::string letter = shortWord(name);
                specs += zshItem(name, "", help, "--no-" + name);
                specs += "      '(--" + name + (letter.empty() ? "" : " " + letter) + ")--no-" + name + "[" +
                         zshDescription(entry.help) + ", turned off]' \\\n";
                break;
            }
            case OptionEntry::Kind::Flag: specs += zshItem(name, "", help); break;
            case OptionEntry::Kind::Number: specs += zshItem(name, "=", help + ":number: "); break;
            case OptionEntry::Kind::Keyword:
                specs += zshItem(name, "=", help + ":value:(" + cli::choiceNames(entry, " ") + ")");
                break;
            case OptionEntry::Kind::Pattern: specs += zshItem(name, "=", help + ":regular expression: "); break;
        }
    }
    if (command != Command::Detect) {
        for (const cli::BatchOptionRow& row : cli::kRunOptionRows) specs += zshSpec(row);
        for (const cli::BatchOptionRow& row : cli::batchOptionRows()) specs += zshSpec(row);
    }
    return specs;
}

}  // namespace

std::string bashCompletion() {
    std::string script =
        replaced(kBashHead, "@WORDS@", commandNames() + " " + cli::programOptionWords(" "));
    for (Command command : cli::kCommands) {
        std::string options;
        for (const OptionEntry& entry : cli::optionTable()) {
            if (!cli::appliesTo(entry, command)) continue;
            if (!options.empty()) options += ' ';
            options += optionWords(entry.name, entry.kind == OptionEntry::Kind::Switch);
        }
        if (command != Command::Detect) {
            for (const cli::BatchOptionRow& row : cli::kRunOptionRows) {
                (options += ' ') += optionWords(row.name, false);
            }
            for (const cli::BatchOptionRow& row : cli::batchOptionRows()) {
                (options += ' ') += optionWords(row.name, false);
            }
        }
        (options += ' ') += cli::formWords(cli::kHelpOption, " ");
        script += "        " + std::string(cli::commandName(command)) + ") options='" + options +
                  "' ;;\n";
    }
    script += kBashMiddle;
    std::string numbers;  // the case patterns of options that take a number or a pattern
    const auto addNumber = [&numbers](std::string_view name) {
        if (!numbers.empty()) numbers += '|';
        numbers += casePattern(name);
    };
    for (const OptionEntry& entry : cli::optionTable()) {
        if (entry.kind == OptionEntry::Kind::Keyword) {
            script += "        " + casePattern(entry.name) + ")\n            COMPREPLY=($(compgen -W '" +
                      cli::choiceNames(entry, " ") + "' -- \"$cur\"))\n            return ;;\n";
        } else if (entry.kind == OptionEntry::Kind::Number || entry.kind == OptionEntry::Kind::Pattern) {
            addNumber(entry.name);
        }
    }
    for (const cli::BatchOptionRow& row : cli::batchOptionRows()) {
        if (row.value == "N") addNumber(row.name);
    }
    // A number or a pattern cannot be guessed: offer nothing rather than file names.
    if (!numbers.empty()) script += "        " + numbers + ")\n            return ;;\n";
    script += kBashGlued;
    for (const OptionEntry& entry : cli::optionTable()) {
        const std::string letter = shortWord(entry.name);
        if (entry.kind != OptionEntry::Kind::Keyword || letter.empty()) continue;
        script += "        " + letter + "?*)\n            COMPREPLY=($(compgen -P " + letter + " -W '" +
                  cli::choiceNames(entry, " ") + "' -- \"${cur#" + letter + "}\"))\n            return ;;\n";
    }
    return script + std::string(kBashTail);
}

std::string zshCompletion() {
    std::string script = "#compdef quillon-cli\n"
                         "# zsh completion for quillon-cli; generated from its option table.\n"
                         "if ((CURRENT == 2)); then\n"
                         "  _alternative 'commands:command:(" + commandNames() + ")' \\\n"
                         "    'options:option:(" + cli::programOptionWords(" ") + ")'\n"
                         "  return\n"
                         "fi\n"
                         "words=(\"${words[@]:1}\")\n"
                         "((CURRENT--))\n"
                         "case $words[1] in\n";
    for (Command command : cli::kCommands) {
        script += "  " + std::string(cli::commandName(command)) + ")\n    _arguments -s \\\n" +
                  zshSpecs(command) +
                  "      '(- *)'{" + cli::formWords(cli::kHelpOption, ",") + "}'[" +
                  zshDescription(cli::kHelpOption.help) + "]' \\\n"
                  "      '1:source:_files' '2:destination:_files'\n    ;;\n";
    }
    return script + "esac\n";
}

}  // namespace quillon::packaging
