#pragma once

namespace quillon::fuzz {

// Stops the process when an invariant of a fuzz target does not hold:
// libFuzzer keeps the input as a crash, the replay test fails. The message
// goes to the standard error the process started with, which libFuzzer's
// -close_fd_mask=2 leaves open for it.
void require(bool holds, const char* what);

}  // namespace quillon::fuzz
