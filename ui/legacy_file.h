#pragma once

#include <QString>
#include <optional>

#include "legacy_codec.h"

namespace quillon {

// The text of a file in a legacy code page, read in fixed-size blocks so the
// raw bytes are never held whole. None when it is no regular file or cannot
// be opened; a read error later ends the text with what was read so far.
// Reading stops after `byteLimit` bytes when that is not negative.
std::optional<DecodedText> readLegacyFile(const QString& path, const char* converterName,
                                          qint64 byteLimit = -1);

}  // namespace quillon
