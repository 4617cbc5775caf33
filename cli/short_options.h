#pragma once

#include <optional>
#include <string_view>

namespace quillon::cli {

// The one-letter forms of the common long options, as iconv and opencc users
// type them: "-f gbk" is "--from gbk", "-fgbk" too.
struct ShortOption {
    char letter;
    std::string_view name;  // the long option's name, without "--"
};

inline constexpr ShortOption kShortOptions[] = {
    {'f', "from"},   {'t', "to"},        {'o', "output"}, {'q', "quiet"},   {'v', "verbose"},
    {'r', "recursive"}, {'j', "jobs"},   {'i', "in-place"}, {'h', "help"},  {'V', "version"},
    {'l', "list-encodings"},
};

// The long name a letter stands for.
std::optional<std::string_view> longNameOf(char letter);

// "-x, " for a long option that has the letter x, else an empty text.
std::string_view shortFormOf(std::string_view name);

}  // namespace quillon::cli
