#pragma once

#include "edge_options.h"
#include "run_result.h"

namespace quillon {
class TextFormatter;
}

namespace quillon::unicode {

enum class RunKind { Convert, Format };

// The encoding a run wrote: null for GB, GBK or Big5, else the ICU name of
// its Unicode encoding ("UTF-8", "GB18030").
struct EdgeOutput {
    const char* unicodeEncoding = nullptr;
    // Set when the run could not make, write or read a scratch file of its
    // own in the scratch folder (a destination error all the same); the
    // formatter's systemError tells why.
    bool scratchFailed = false;
};

// Runs `kind` from `source` to `destination` through the edge, with the
// options set in `formatter` (source and output encodings may take the
// edge's values too) and the edge's own `choices`. A Unicode source (named,
// or found by auto-detection) is decoded and reaches the engine in the
// family that fits its form; Unicode output is encoded from the engine's;
// line ends are written as chosen. A run between legacy encodings with the
// default line ends is the engine's own, byte for byte.
RunResult runThroughEdge(TextFormatter& formatter, RunKind kind, const EdgeChoices& choices,
                         const char* source, const char* destination,
                         EdgeOutput* output = nullptr);

}  // namespace quillon::unicode
