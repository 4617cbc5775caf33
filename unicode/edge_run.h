#pragma once

#include "edge_options.h"
#include "run_result.h"

namespace quillon {
class TextFormatter;
}

namespace quillon::unicode {

enum class RunKind { Convert, Format };

// Runs `kind` from `source` to `destination` through the edge. A Unicode
// source (named, or found by auto-detection) is decoded and reaches the
// engine in the family that fits its form; Unicode output is encoded from
// the engine's; line ends are written as chosen. A run between legacy
// encodings with the default line ends is the engine's own, byte for byte.
// Every option of `options` reaches the engine.
RunResult runThroughEdge(TextFormatter& formatter, RunKind kind, const EdgeRunOptions& options,
                         const char* source, const char* destination);

}  // namespace quillon::unicode
