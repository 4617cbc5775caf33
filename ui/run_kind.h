#pragma once

namespace quillon {

// What a run command does with the text.
enum class RunKind { Format = 0, Convert = 1 };

}  // namespace quillon
