#pragma once

#include <cstdint>
#include <string_view>

#include "run_options.h"

namespace quillon {

// Why a front end refuses `value` for `option` before any run, or an empty
// text when it takes the value. The reason follows the front end's own name
// for the option: "'--chars-per-line' cannot be 0", "'--left-margin' must be
// 0 or more".
std::string_view refusalOf(std::int32_t RunOptions::*option, std::int32_t value);

// The values `option` takes, as its help tells them ("0 or more"), or an
// empty text when it takes every value.
std::string_view allowedValuesOf(std::int32_t RunOptions::*option);

}  // namespace quillon
