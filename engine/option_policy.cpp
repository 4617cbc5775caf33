#include "option_policy.h"

namespace quillon {
namespace {

struct Refusal {
    std::int32_t RunOptions::*option;
    bool (*refuses)(std::int32_t value);
    std::string_view reason;
    std::string_view allowed;  // the values taken, said the other way round
};

constexpr bool isZero(std::int32_t value) { return value == 0; }
constexpr bool isNegative(std::int32_t value) { return value < 0; }

constexpr Refusal kRefusals[] = {
    // A line width of no characters would lose all the text.
    {&RunOptions::charsPerLine, isZero, "cannot be 0", "not 0"},
    // Spacing, indent and margin are counts of lines and blank units.
    {&RunOptions::lineSpacing, isNegative, "must be 0 or more", "0 or more"},
    {&RunOptions::leadingSpaces, isNegative, "must be 0 or more", "0 or more"},
    {&RunOptions::leftMargin, isNegative, "must be 0 or more", "0 or more"},
};

}  // namespace

std::string_view refusalOf(std::int32_t RunOptions::*option, std::int32_t value) {
    for (const Refusal& refusal : kRefusals) {
        if (refusal.option == option && refusal.refuses(value)) return refusal.reason;
    }
    return {};
}

std::string_view allowedValuesOf(std::int32_t RunOptions::*option) {
    for (const Refusal& refusal : kRefusals) {
        if (refusal.option == option) return refusal.allowed;
    }
    return {};
}

}  // namespace quillon
