#pragma once

#include <QString>

#include <optional>

#include "run_summary.h"

class QPlainTextEdit;

namespace quillon {

// The pane holds at most this much of an output: enough to read and check,
// while an output of gigabytes costs no more memory than this.
inline constexpr qint64 kPreviewBytes = 4 * 1024 * 1024;

// Replaces the pane's whole text with the file's bytes decoded by the given
// converter (see legacy_codec.h), up to `byteLimit` bytes; an output cut
// there ends at its last whole line. None, with the pane unchanged, when the
// file cannot be opened.
std::optional<PaneExtent> loadOutput(QPlainTextEdit& pane, const QString& path, const char* converterName,
                                     qint64 byteLimit = kPreviewBytes);

}  // namespace quillon
