#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

namespace quillon {

// What a run refuses before it starts, each with the text of its "Error" box.

// Chars Per Line 0 (which is also what letters or an empty field read as)
// would lay every character out on a line of its own width and lose the text.
// Negative values mean no wrapping and are accepted.
std::optional<QString> charsPerLineRefusal(qint32 charsPerLine);

// A source that is not a regular file: a pipe or a device may never end, and
// a detecting run would read a pipe twice. A path that does not exist is left
// to the engine, which says it cannot open it.
std::optional<QString> sourceFileRefusal(const QString& path);

}  // namespace quillon
