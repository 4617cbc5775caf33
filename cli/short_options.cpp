#include "short_options.h"

#include <array>

namespace quillon::cli {
namespace {

// "-x, " for each row, in the table's order, kept for shortFormOf's views.
constexpr auto kForms = [] {
    std::array<std::array<char, 4>, std::size(kShortOptions)> forms{};
    for (std::size_t i = 0; i < forms.size(); ++i) forms[i] = {'-', kShortOptions[i].letter, ',', ' '};
    return forms;
}();

}  // namespace

std::optional<std::string_view> longNameOf(char letter) {
    for (const ShortOption& option : kShortOptions) {
        if (option.letter == letter) return option.name;
    }
    return std::nullopt;
}

std::string_view shortFormOf(std::string_view name) {
    for (std::size_t i = 0; i < std::size(kShortOptions); ++i) {
        if (kShortOptions[i].name == name) return {kForms[i].data(), kForms[i].size()};
    }
    return {};
}

}  // namespace quillon::cli
