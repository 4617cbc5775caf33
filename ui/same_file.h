#pragma once

#include <QString>

namespace quillon {

// True when both paths name one existing file, however they are spelled:
// through links, "..", or another hard link to it.
bool isSameFile(const QString& first, const QString& second);

}  // namespace quillon
