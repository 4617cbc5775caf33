#pragma once

#include <QString>

#include <quillon/quillon.h>

#include "engine_process.h"
#include "run_kind.h"

namespace quillon {

// One run from `source` to `destination` through libquillon, told as the
// engine tells a run, in whose terms the dialog words its results: the
// formatter takes the run's profiles, system error and end mark, `report`
// the Unicode encodings read and written. Options libquillon refuses leave
// the refusal in the report's sourceError.
RunResult runThroughLibrary(TextFormatter& formatter, RunKind kind, const api::Options& options,
                            const QString& source, const QString& destination, EngineProcess::Report& report);

}  // namespace quillon
