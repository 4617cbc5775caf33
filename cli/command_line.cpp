#include "command_line.h"

#include <algorithm>
#include <charconv>
#include <string_view>
#include <vector>

#include "encoding_names.h"
#include "help_text.h"
#include "heading_regex.h"
#include "option_table.h"
#include "short_options.h"

namespace quillon::cli {
namespace {

std::optional<Command> findCommand(std::string_view name) {
    for (Command command : kCommands) {
        if (commandName(command) == name) return command;
    }
    return std::nullopt;
}

const OptionEntry* findOption(std::string_view name) {
    for (const OptionEntry& entry : optionTable()) {
        if (entry.name == name) return &entry;
    }
    return nullptr;
}

std::string quoted(std::string_view text) {
    std::string result(1, '\'');
    result.append(text) += '\'';
    return result;
}

// The arguments with each one-letter option written in its long form, up to
// "--": "-f" becomes "--from", "-fgbk" "--from=gbk". An unknown letter stays.
class LongForms {
public:
    explicit LongForms(std::span<const char* const> args) {
        bool ended = false;
        for (const std::string_view arg : args) {
            ended = ended || arg == "--";
            const auto name = !ended && arg.size() >= 2 && arg[0] == '-' && arg[1] != '-'
                                  ? longNameOf(arg[1])
                                  : std::nullopt;
            if (!name) {
                texts_.emplace_back(arg);
                continue;
            }
            std::string text = "--" + std::string(*name);
            if (arg.size() > 2) (text += '=') += arg.substr(2);
            texts_.push_back(std::move(text));
        }
        for (const std::string& text : texts_) pointers_.push_back(text.c_str());
    }
    std::span<const char* const> args() const { return pointers_; }

private:
    std::vector<std::string> texts_;
    std::vector<const char*> pointers_;
};

class Parser {
public:
    explicit Parser(std::span<const char* const> args) : longForms_(args), args_(longForms_.args()) {}

    CommandLine parse() {
        parseArguments();
        return result_;
    }

private:
    using Action = CommandLine::Action;

    bool parseArguments() {
        if (args_.empty()) return reject("missing command (see quillon-cli --help)");
        const std::string_view first = args_[0];
        if (first == "--help") return finish(Action::Help);
        if (first == "--version") return finish(Action::Version);
        if (first == "--list-encodings") return finish(Action::ListEncodings);
        result_.command = findCommand(first);
        if (!result_.command) {
            const char* what = first.starts_with("-") ? "unknown option " : "unknown command ";
            return reject(what + quoted(first) + " (see quillon-cli --help)");
        }

        std::vector<std::string_view> operands;
        bool optionsEnded = false;
        for (next_ = 1; next_ < args_.size();) {
            const std::string_view arg = args_[next_++];
            if (optionsEnded || arg == "-" || !arg.starts_with("-")) {
                operands.push_back(arg);
            } else if (arg == "--") {
                optionsEnded = true;
            } else if (arg == "--help") {
                return finish(Action::Help);
            } else if (*result_.command == Command::Detect) {
                return reject("detect takes no options");
            } else if (arg == "--verbose") {
                result_.verbose = true;
            } else if (arg == "--output" || arg.starts_with("--output=")) {
                if (!readFileValue(arg, "--output", output_.emplace())) return false;
            } else if (arg == "--dictionary" || arg.starts_with("--dictionary=")) {
                if (!readFileValue(arg, "--dictionary", result_.dictionaries.emplace_back())) return false;
            } else if (const auto read = readBatchOption(arg, args_, next_, result_.batch, result_.error);
                       read != BatchOptionRead::NotBatchOption) {
                if (read == BatchOptionRead::Refused) return reject(result_.error);
            } else if (!parseOption(arg)) {
                return false;
            }
        }
        if (*result_.command == Command::Detect) {
            if (operands.empty()) return reject("missing FILE");
            result_.files.assign(operands.begin(), operands.end());
            return finish(Action::Run);
        }
        // The user's phrases join the dictionaries' conversion, which tags
        // and --no-phrases leave out.
        if (!result_.dictionaries.empty() && (result_.options.htmlAware != 0 ||
                                              result_.options.phraseChoice == unicode::kChoiceOff)) {
            return reject(std::string("option '--dictionary' does not go with ") +
                          (result_.options.htmlAware != 0 ? "'--html'" : "'--no-phrases'"));
        }
        if (result_.batch.manySources()) return takeSources(operands);
        if (result_.batch.recursive || result_.batch.backupSuffix) {
            return reject(result_.batch.recursive ? "option '--recursive' needs '--output-dir' or '--in-place'"
                                                  : "option '--backup' needs '--in-place'");
        }
        // As with iconv: a source not named is standard input, a destination
        // not named standard output.
        const std::size_t most = output_ ? 1 : 2;
        if (operands.size() > most) {
            return reject("unexpected argument " + quoted(operands[most]) +
                          (output_ ? " (DESTINATION is given by '--output')"
                                   : " (several sources need --output-dir or --in-place)"));
        }
        result_.source = operands.empty() ? "-" : operands[0];
        result_.destination = output_ ? *output_ : operands.size() == 2 ? operands[1] : "-";
        return finish(Action::Run);
    }

    // "--option FILE" or "--option=FILE" into `file`.
    bool readFileValue(std::string_view arg, std::string_view option, std::string& file) {
        const std::size_t equals = arg.find('=');
        if (equals != arg.npos) {
            file = arg.substr(equals + 1);
        } else if (next_ < args_.size()) {
            file = args_[next_++];
        }
        if (file.empty()) return reject("option " + quoted(option) + " needs a file");
        return true;
    }

    bool takeSources(const std::vector<std::string_view>& operands) {
        const BatchOptions& batch = result_.batch;
        if (batch.inPlace && !batch.outputDir.empty()) {
            return reject("options '--in-place' and '--output-dir' exclude each other");
        }
        if (batch.backupSuffix && !batch.inPlace) return reject("option '--backup' needs '--in-place'");
        if (batch.backupSuffix && batch.backupSuffix->find('/') != std::string::npos) {
            return reject("the backup suffix cannot contain '/'");
        }
        if (output_) return reject("option '--output' is for one source; several need --output-dir or --in-place");
        if (operands.empty()) return reject("missing SOURCE");
        for (std::string_view operand : operands) {
            if (operand == "-") return reject("standard input cannot be one of several sources");
            result_.sources.emplace_back(operand);
        }
        return finish(Action::Run);
    }

    // Reads one "--name", "--no-name", "--name=value" or "--name value".
    bool parseOption(std::string_view arg) {
        const std::size_t equals = arg.find('=');
        const std::string option = quoted(arg.substr(0, equals));
        const std::string_view name = arg.substr(0, equals).substr(2);

        const OptionEntry* entry = arg.starts_with("--") ? findOption(name) : nullptr;
        bool negated = false;
        if (entry == nullptr && arg.starts_with("--no-")) {
            entry = findOption(name.substr(3));
            negated = true;
            if (entry != nullptr && entry->kind != OptionEntry::Kind::Switch) entry = nullptr;
        }
        if (entry == nullptr) {
            return reject("unknown option " + option + " (see quillon-cli " +
                          std::string(commandName(*result_.command)) + " --help)");
        }
        if (!appliesTo(*entry, *result_.command)) {
            return reject("option " + option + " is only for format");
        }

        std::optional<std::string_view> value;
        if (equals != arg.npos) value = arg.substr(equals + 1);
        const bool takesValue = entry->kind != OptionEntry::Kind::Switch && entry->kind != OptionEntry::Kind::Flag;
        if (takesValue && !value) {
            if (next_ == args_.size()) return reject("option " + option + " needs a value");
            value = args_[next_++];
        }
        result_.optionWords.push_back(std::string("--").append(negated ? "no-" : "").append(entry->name));
        if (value) result_.optionWords.back().append("=").append(*value);
        if (entry->kind == OptionEntry::Kind::Pattern) {
            // A pattern that does not compile is refused before any file is touched.
            if (const std::string problem = unicode::headingPatternProblem(*value); !problem.empty()) {
                return reject(problem);
            }
            result_.options.*(entry->text) = std::string(*value);
            return true;
        }
        std::int32_t& field = result_.options.*(entry->field);
        switch (entry->kind) {
            case OptionEntry::Kind::Switch:
            case OptionEntry::Kind::Flag:
                if (value) return reject("option " + option + " takes no value");
                field = negated ? 0 : 1;
                return true;
            case OptionEntry::Kind::Number:
            case OptionEntry::Kind::Keyword:
                if (!(entry->kind == OptionEntry::Kind::Number
                          ? readNumber(*value, option, field)
                          : readKeyword(*entry, *value, option, field))) {
                    return false;
                }
                if (const std::string_view reason = refusalOf(*entry, field); !reason.empty()) {
                    return reject(option + " " + std::string(reason));
                }
                return true;
            case OptionEntry::Kind::Pattern: break;
        }
        return false;
    }

    // A signed decimal int32: an optional sign and digits, nothing else.
    bool readNumber(std::string_view text, const std::string& option, std::int32_t& field) {
        const bool plus = text.starts_with('+');
        const std::string_view digits = plus ? text.substr(1) : text;
        std::int32_t number = 0;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
        if (error == std::errc::result_out_of_range) {
            return reject(quoted(text) + " is out of range for " + option);
        }
        if (error != std::errc() || end != digits.data() + digits.size() ||
            (plus && digits.starts_with('-'))) {
            return reject(quoted(text) + " is not a number for " + option);
        }
        field = number;
        return true;
    }

    bool readKeyword(const OptionEntry& entry, std::string_view text, const std::string& option,
                     std::int32_t& field) {
        const std::string_view name = canonicalEncodingName(text);
        for (const Choice& choice : entry.choices) {
            if (equalsIgnoringCase(name, choice.name)) {
                field = choice.value;
                return true;
            }
        }
        return reject(quoted(text) + " is not a value of " + option + " (" +
                      choiceNames(entry, ", ") + ")");
    }

    bool reject(std::string error) {
        result_.action = Action::UsageError;
        result_.error = std::move(error);
        return false;
    }

    bool finish(Action action) {
        result_.action = action;
        return true;
    }

    const LongForms longForms_;
    std::span<const char* const> args_;
    std::size_t next_ = 0;
    std::optional<std::string> output_;
    CommandLine result_;
};

}  // namespace

CommandLine parseCommandLine(std::span<const char* const> args) { return Parser(args).parse(); }

}  // namespace quillon::cli
