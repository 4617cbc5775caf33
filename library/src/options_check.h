#pragma once

#include <memory>
#include <string>
#include <vector>

#include <quillon/quillon.h>

#include "edge_options.h"
#include "user_words.h"

namespace quillon::api {

// The engine's options for a run, with the user's words they point to.
struct EdgeOptions {
    unicode::EdgeRunOptions edge;
    std::unique_ptr<const unicode::UserWords> words;  // edge.userWords, kept alive
};

// The engine's options for a run of `task`, read from `options` by
// quillon-cli's own command line, so that the library takes the same names,
// defaults and refusals; the dictionaries are read. Throws Error (BadOption)
// with quillon-cli's message.
EdgeOptions edgeOptionsOf(Task task, const Options& options);

// The Options that the command line's run options say, each word as
// "--name", "--no-name" or "--name=VALUE"; options that Options lacks
// (--quiet) are passed over.
Options optionsOfWords(const std::vector<std::string>& words);

}  // namespace quillon::api
