#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "run_result.h"

namespace quillon::unicode {

// The wording of what a run tells about its files, shared by every face of
// the program. `Translate` puts an English text into the reader's language;
// an empty one keeps the English.
using Translate = std::function<std::string(std::string_view english)>;

// "PATH: reason": the system's reason for `error`, or where it is unknown (0)
// the catalogue's message for `result`.
std::string fileFailure(std::string_view path, int error, RunResult result, const Translate& translate = {});

// Why `path` cannot be opened for reading (errno; EISDIR for a folder); 0
// when it can. For a failure reported without its reason.
int openError(const char* path);

// The end mark ended the text while more bytes followed it, at byte `offset`
// of a source in `unicodeSource` (ICU's name, null for GB, GBK and Big5); "%1"
// in the texts stands for the offset. In UTF-16 the mark is no byte 1A but a
// character of two bytes.
inline constexpr std::string_view kEndMarkWarning =
    "Warning: a byte 1A at offset %1 ends the text; the bytes after it were not read";
inline constexpr std::string_view kEndMarkCharacterWarning =
    "Warning: the character U+001A at offset %1 ends the text; the bytes after it were not read";
std::string endMarkWarning(std::int64_t offset, const char* unicodeSource, const Translate& translate = {});

}  // namespace quillon::unicode
