#pragma once

#include <QString>

class QPlainTextEdit;

namespace quillon {

// Replaces the pane's whole text with the file's bytes decoded by the given
// converter (see legacy_codec.h). False, with the pane unchanged, when the
// file cannot be opened.
bool loadOutput(QPlainTextEdit& pane, const QString& path, const char* converterName);

}  // namespace quillon
