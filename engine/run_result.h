#pragma once

#include <cstdint>

namespace quillon {

// Result of a run: 1..999 are errors (nothing usable written), 1000 and up are
// warnings (the destination is complete).
using RunResult = std::int32_t;

inline constexpr RunResult kSuccess = 0;
inline constexpr RunResult kOutOfMemory = 2;
inline constexpr RunResult kPlainAsciiSource = 4;
inline constexpr RunResult kSourceUnreadable = 5;
inline constexpr RunResult kDestinationUnwritable = 6;
// The source is plainly no text: NUL bytes in its first block.
inline constexpr RunResult kSourceNotText = 7;
// The heading pattern given is no regular expression.
inline constexpr RunResult kHeadingPatternInvalid = 8;
inline constexpr RunResult kInvalidCodeWarning = 1000;
inline constexpr RunResult kUnmappableWarning = 1001;
inline constexpr RunResult kHtmlAbortedWarning = 1002;

constexpr bool isError(RunResult r) { return r >= 1 && r <= 999; }
constexpr bool isWarning(RunResult r) { return r >= 1000; }

}  // namespace quillon
