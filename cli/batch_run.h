#pragma once

#include <quillon/quillon.h>

namespace quillon::cli {

// Runs every file the sources name, into --output-dir or in place, on
// --jobs workers. Messages come in the order of the files whatever the
// number of workers, followed by one summary line unless --quiet. Returns the
// worst exit status of the files.
int runBatch(const api::CommandLine& line);

}  // namespace quillon::cli
