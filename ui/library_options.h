#pragma once

#include <quillon/quillon.h>

#include "edge_options.h"
#include "run_kind.h"

namespace quillon {

// The dialog's choices for a run in the words of libquillon's options. A
// convert run names no format option, which the library refuses there; a
// choice left to the run stays unset.
api::Options libraryOptions(RunKind kind, const unicode::EdgeRunOptions& options);

}  // namespace quillon
