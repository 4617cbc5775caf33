#pragma once

#include <QString>

#include <optional>

#include <quillon/quillon.h>

#include "engine_process.h"
#include "run_kind.h"

namespace quillon {

// One run from `source` to `destination` through libquillon: `report` takes
// the texts read and written, the system error and the end mark. Options
// libquillon refuses leave the refusal in the report's sourceError.
RunEnd runThroughLibrary(RunKind kind, const api::Options& options, const QString& source,
                         const QString& destination, EngineProcess::Report& report);

// The library's box for a run that ended so: its caption and English text.
// None for success, a plain-ASCII source and refused options.
std::optional<api::Message> libraryMessage(const RunEnd& end);

}  // namespace quillon
