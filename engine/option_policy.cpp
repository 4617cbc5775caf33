#include "option_policy.h"

namespace quillon {
namespace {

struct Refusal {
    std::int32_t RunOptions::*option;
    std::int32_t value;
    std::string_view reason;
};

constexpr Refusal kRefusals[] = {
    // A line width of no characters would lose all the text.
    {&RunOptions::charsPerLine, 0, "cannot be 0"},
};

}  // namespace

std::string_view refusalOf(std::int32_t RunOptions::*option, std::int32_t value) {
    for (const Refusal& refusal : kRefusals) {
        if (refusal.option == option && refusal.value == value) return refusal.reason;
    }
    return {};
}

}  // namespace quillon
