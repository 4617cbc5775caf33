#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

#include "engine_process.h"
#include "run_text.h"

namespace quillon {

// How much of the output the pane shows.
struct PaneExtent {
    qint64 shownBytes = 0;
    qint64 fileBytes = 0;
    bool whole() const { return shownBytes >= fileBytes; }
};

// What the status line says about one finished run.
struct RunSummary {
    RunText source;  // none told: no run chose one
    RunText output;
    RunEnd result;
    qint64 outputBytes = 0;
    qint64 elapsedMilliseconds = 0;
    std::optional<PaneExtent> pane;  // none: the pane was left as it was
    qint64 endMarkOffset = -1;       // a byte 1A there ended the text
};

// One line: the text's encodings and forms before and after, the result in
// words, size and time, and whether the pane shows only the start of the
// output. For example "UTF-8 (simplified) → UTF-8 (traditional): done;
// 12.5 KB in 0.04 s". A failed run: the failure alone.
QString describeRun(const RunSummary& run);

// A size as the status line writes it, for example "12.5 KB".
QString dataSize(qint64 bytes);

// The status line when the dialog starts: where the settings are kept, or,
// when the file cannot be written (`writeError`, an errno), that they cannot
// be kept, and why.
QString describeSettingsFile(const QString& path, int writeError);

}  // namespace quillon
