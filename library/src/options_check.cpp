#include "options_check.h"

#include <charconv>
#include <cstdio>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "command_line.h"
#include "heading_regex.h"

namespace quillon::api {
namespace {

// Each field of Options by the name of its command-line option.
using Field = std::variant<std::string Options::*, std::optional<bool> Options::*, std::optional<std::int32_t> Options::*,
                           std::vector<std::string> Options::*>;
struct NamedField {
    std::string_view name;
    Field field;
};
const NamedField kFields[] = {
    {"from", &Options::from},
    {"to", &Options::to},
    {"form", &Options::form},
    {"line-ends", &Options::lineEnds},
    {"standard", &Options::standard},
    {"regional-words", &Options::regionalWords},
    {"opencc", &Options::opencc},
    {"phrases", &Options::phrases},
    {"html", &Options::html},
    {"quotes", &Options::quotes},
    {"bom", &Options::bom},
    {"dictionary", &Options::dictionaries},
    {"chars-per-line", &Options::charsPerLine},
    {"line-spacing", &Options::lineSpacing},
    {"lead-spaces", &Options::leadSpaces},
    {"left-margin", &Options::leftMargin},
    {"paragraph", &Options::paragraph},
    {"heading", &Options::heading},
    {"fullwidth-spaces", &Options::fullwidthSpaces},
    {"auto-fix", &Options::autoFix},
    {"natural-syntax", &Options::naturalSyntax},
    {"mixed-text", &Options::mixedText},
    {"line-start-rules", &Options::lineStartRules},
    {"chapter-headings", &Options::chapterHeadings},
    {"space-between-scripts", &Options::spaceBetweenScripts},
    {"heading-pattern", &Options::headingPattern},
};

std::string word(std::string_view name, std::string_view value) {
    return std::string("--").append(name).append("=").append(value);
}

// "--name=value" for each option set, in the command line's own words.
std::vector<std::string> wordsOf(const Options& options) {
    std::vector<std::string> words;
    for (const NamedField& named : kFields) {
        const std::string_view name = named.name;
        std::visit(
            [&](auto member) {
                const auto& value = options.*member;
                using Value = std::decay_t<decltype(value)>;
                if constexpr (std::is_same_v<Value, std::string>) {
                    if (!value.empty()) words.push_back(word(name, value));
                } else if constexpr (std::is_same_v<Value, std::optional<bool>>) {
                    if (value) words.push_back(std::string(*value ? "--" : "--no-").append(name));
                } else if constexpr (std::is_same_v<Value, std::optional<std::int32_t>>) {
                    // snprintf rather than std::to_string: the latter's digit
                    // table would be exported from the library as a unique symbol.
                    if (value) {
                        char digits[16];
                        std::snprintf(digits, sizeof digits, "%d", int(*value));
                        words.push_back(word(name, digits));
                    }
                } else {
                    // Each given, even an empty name: the command line refuses it as it would.
                    for (const std::string& each : value) words.push_back(word(name, each));
                }
            },
            named.field);
    }
    return words;
}

// Options with only the field of `named` taken from `options`; none when
// `options` leaves it unset.
std::optional<Options> aloneOf(const NamedField& named, const Options& options) {
    Options alone;
    bool set = false;
    std::visit(
        [&](auto member) {
            alone.*member = options.*member;
            using Value = std::decay_t<decltype(alone.*member)>;
            if constexpr (std::is_same_v<Value, std::string> || std::is_same_v<Value, std::vector<std::string>>) {
                set = !(alone.*member).empty();
            } else {
                set = (alone.*member).has_value();
            }
        },
        named.field);
    if (!set) return std::nullopt;
    return alone;
}

// The message with which a run of `task` refuses `options`; none when it takes them.
std::optional<std::string> refusalOf(Task task, const Options& options) {
    try {
        prepareRun(task, options);
    } catch (const Error& error) {
        if (error.kind() != Error::Kind::BadOption) throw;
        return error.what();
    }
    return std::nullopt;
}

}  // namespace

PreparedOptions::Run prepareRun(Task task, const Options& options) {
    std::vector<std::string> words = wordsOf(options);
    words.insert(words.begin(), task == Task::Convert ? "convert" : "format");
    // Standard input to standard output: the operands only complete the line.
    words.insert(words.end(), {"--", "-", "-"});
    std::vector<const char*> args;
    for (const std::string& each : words) args.push_back(each.c_str());
    const cli::CommandLine line = cli::parseCommandLine(args);
    if (line.action != cli::CommandLine::Action::Run) throw Error(Error::Kind::BadOption, line.error);

    PreparedOptions::Run prepared{task, line.options, nullptr, options.trace};
    if (!line.dictionaries.empty()) {
        // Read whole before anything is written: a bad line refuses the run.
        std::string error;
        std::optional<unicode::UserWords> read = unicode::UserWords::read(line.dictionaries, error);
        if (!read) throw Error(Error::Kind::BadOption, error);
        prepared.words = std::make_unique<const unicode::UserWords>(std::move(*read));
        prepared.edge.userWords = prepared.words.get();
    }
    return prepared;
}

PreparedOptions::PreparedOptions(Task task, const Options& options) : run_(new Run(prepareRun(task, options))) {}

PreparedOptions::~PreparedOptions() { delete run_; }

Options optionsOfWords(const std::vector<std::string>& words) {
    Options options;
    for (const std::string_view each : words) {
        const std::size_t equals = each.find('=');
        std::string_view name = each.substr(2, equals == each.npos ? each.npos : equals - 2);
        const bool negated = equals == each.npos && name.starts_with("no-");
        if (negated) name.remove_prefix(3);
        const std::string_view value = equals == each.npos ? std::string_view() : each.substr(equals + 1);
        for (const NamedField& named : kFields) {
            if (named.name != name) continue;
            std::visit(
                [&](auto member) {
                    auto& field = options.*member;
                    using Value = std::decay_t<decltype(field)>;
                    if constexpr (std::is_same_v<Value, std::string>) {
                        field = value;
                    } else if constexpr (std::is_same_v<Value, std::optional<bool>>) {
                        field = !negated;
                    } else if constexpr (std::is_same_v<Value, std::optional<std::int32_t>>) {
                        // The command line has read the number: an optional '+' and digits.
                        std::int32_t number = 0;
                        const std::string_view digits = value.starts_with('+') ? value.substr(1) : value;
                        std::from_chars(digits.data(), digits.data() + digits.size(), number);
                        field = number;
                    } else {
                        field.emplace_back(value);
                    }
                },
                named.field);
        }
    }
    return options;
}

std::optional<OptionRefusal> refusedOption(Task task, const Options& options, const Translate& translate) {
    for (const NamedField& named : kFields) {
        const std::optional<Options> alone = aloneOf(named, options);
        if (!alone) continue;
        if (std::optional<std::string> message = refusalOf(task, *alone)) {
            if (named.name == "heading-pattern") {
                *message = unicode::headingPatternProblem(options.headingPattern, translate);
            }
            return OptionRefusal{std::string(named.name), std::move(*message)};
        }
    }
    if (std::optional<std::string> message = refusalOf(task, options)) return OptionRefusal{{}, std::move(*message)};
    return std::nullopt;
}

}  // namespace quillon::api
