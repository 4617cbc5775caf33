#pragma once

#include <functional>
#include <optional>
#include <string_view>

#include "run_result.h"

namespace quillon {

struct ResultMessage {
    std::string_view caption;  // "Error" below 1000, "Warning" from 1000 up
    std::string_view text;
};

// The message catalogue: the message for a result code, or none (0, 4 and
// codes it does not know).
std::optional<ResultMessage> resultMessage(RunResult code);

// The trace channel: the formatted text and a line feed on standard error,
// written in one piece so that lines of parallel runs never mix.
void trace(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Where the calling thread's trace lines go instead (the line without its line
// feed); an empty function restores standard error.
using TraceSink = std::function<void(std::string_view line)>;
void setTraceSink(TraceSink sink);

}  // namespace quillon
