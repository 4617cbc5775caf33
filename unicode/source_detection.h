#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "family_maps.h"
#include "source_text.h"

namespace quillon {
class SourceJudge;
}

namespace quillon::unicode {

enum class UnicodeEncoding { None, Utf8, Utf16Le, Utf16Be, Gb18030 };

// What auto-detection finds before the legacy algorithm: a byte-order mark,
// valid UTF-8 holding at least one non-ASCII character, or valid GB18030
// holding at least one four-byte code; None for everything else. Nothing
// when the file cannot be read. With `legacyProfile`, a None answer comes
// with what TextFormatter::detectEncoding finds for the file, learnt in the
// same pass, or 0 when that pass could not tell.
std::optional<UnicodeEncoding> detectUnicodeEncoding(const SourceText& source,
                                                     std::int32_t* legacyProfile = nullptr);

// A judge for a run that detects its source in its own read (see
// TextFormatter::convertFile): it gives the legacy profile that
// detectUnicodeEncoding and the engine's detection give a source in none of
// the Unicode encodings, and none for any other.
std::unique_ptr<SourceJudge> makeOneReadJudge();

const char* nameOf(UnicodeEncoding encoding);  // "UTF-8", "UTF-16LE", ...

enum class LineEndStyle { None, Lf, CrLf, Mixed };

// A file as the detect command describes it.
struct SourceDescription {
    std::string encoding;  // UTF-8, UTF-16LE, UTF-16BE, GB18030, GB, GBK, BIG5 or PureASC
    Form form = Form::None;
    LineEndStyle lineEnds = LineEndStyle::None;
};

// Nothing when the file cannot be read.
std::optional<SourceDescription> describeSource(const char* path);

const char* nameOf(Form form);            // "simplified", "traditional", "none"
const char* nameOf(LineEndStyle style);   // "LF", "CRLF", "mixed", "none"

}  // namespace quillon::unicode
