#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <quillon/quillon.h>

#include "edge_options.h"
#include "user_words.h"

namespace quillon::api {

// A run's task and the engine's options for it, with the user's words they
// point to.
struct PreparedOptions::Run {
    Task task = Task::Convert;
    unicode::EdgeRunOptions edge;
    std::unique_ptr<const unicode::UserWords> words;  // edge.userWords, kept alive
    std::function<void(std::string_view line)> trace;
};

// The engine's options for a run of `task`, read from `options` by
// quillon-cli's own command line, so that the library takes the same names,
// defaults and refusals; the dictionaries are read. Throws Error (BadOption)
// with quillon-cli's message.
PreparedOptions::Run prepareRun(Task task, const Options& options);

// The Options that the command line's run options say, each word as
// "--name", "--no-name" or "--name=VALUE"; options that Options lacks
// (--quiet) are passed over.
Options optionsOfWords(const std::vector<std::string>& words);

}  // namespace quillon::api
