#pragma once

#include <quillon/quillon.h>

#include <memory>

#include "edge_options.h"
#include "user_words.h"

namespace quillon::api {

// The engine's options of a run, and the user's word lists they point at.
struct EdgeChoices {
    unicode::EdgeRunOptions edge;
    std::unique_ptr<const unicode::UserWords> words;  // not shared_ptr: its typeinfo would leave the library
};

// The engine's options for a run of `task`, read from `options` by
// quillon-cli's own command line, so that the library takes the same names,
// defaults and refusals; word lists are read whole. Throws Error (BadOption)
// with quillon-cli's message.
EdgeChoices edgeOptionsOf(Task task, const Options& options);

}  // namespace quillon::api
