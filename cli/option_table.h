#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "command.h"
#include "edge_options.h"

namespace quillon::cli {

struct Choice {
    std::string_view name;
    std::int32_t value;
};

// One option of a subcommand: how its value is read and which field it sets.
struct OptionEntry {
    enum class Kind {
        Switch,  // --name sets 1; --no-name sets 0
        Flag,    // --name sets 1
        Number,  // --name N, a signed decimal int32
        Keyword,  // --name WORD, one of `choices`
        Pattern,  // --name REGEX, an ICU regular expression, into `text` (`field` is null)
    };
    std::string_view name;  // without the leading "--"
    Kind kind;
    std::int32_t unicode::EdgeRunOptions::*field;
    std::span<const Choice> choices;
    bool formatOnly;
    std::string_view help;
    std::string unicode::EdgeRunOptions::*text = nullptr;
};

std::span<const OptionEntry> optionTable();

bool appliesTo(const OptionEntry& entry, Command command);

// Why `value` is refused for the entry's option, or an empty text: the
// engine's options follow the engine's policy, the edge's own refuse nothing.
std::string_view refusalOf(const OptionEntry& entry, std::int32_t value);

// The values a number option takes, as its help says them ("0 or more"), or
// an empty text where it takes any.
std::string_view allowedValuesOf(const OptionEntry& entry);

// The names of a keyword option's values, in table order, between `separator`s.
std::string choiceNames(const OptionEntry& entry, std::string_view separator);

}  // namespace quillon::cli
