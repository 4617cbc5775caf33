#pragma once

#include <QString>

#include <optional>

#include <quillon/quillon.h>

#include "engine_process.h"
#include "run_kind.h"

namespace quillon {

// One run from `source` to `destination` through libquillon, told as the
// engine tells a run, in whose terms the dialog words its results: `report`
// takes the run's profiles, Unicode encodings, system error and end mark.
// Options libquillon refuses leave the refusal in the report's sourceError.
RunResult runThroughLibrary(RunKind kind, const api::Options& options, const QString& source,
                            const QString& destination, EngineProcess::Report& report);

// The library's box for a result told so: its caption and English text.
// None for success, a plain-ASCII source and results the library never gives.
std::optional<api::Message> libraryMessage(RunResult result);

}  // namespace quillon
