#pragma once

#include <quillon/quillon.h>

#include "edge_options.h"

namespace quillon::api {

// The engine's options for a run of `task`, read from `options` by
// quillon-cli's own command line, so that the library takes the same names,
// defaults and refusals. Throws Error (BadOption) with quillon-cli's message.
unicode::EdgeRunOptions edgeOptionsOf(Task task, const Options& options);

}  // namespace quillon::api
