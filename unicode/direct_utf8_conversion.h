#pragma once

#include <cstddef>
#include <vector>

#include "code_point_stream.h"
#include "family_maps.h"
#include "run_result.h"
#include "text_formatter.h"

namespace quillon::unicode {

// A convert run from UTF-8 to UTF-8 without phrases or tags. The engine then
// converts each character alone, whatever surrounds it, so it converts every
// character the run carries once, into a table from character to the UTF-8
// written for it, and the text goes through that table in one pass. The
// rest is written as through the engine: a character the run cannot carry
// as it is, a sequence that does not decode as a box, each line end as
// chosen.
class DirectUtf8Conversion {
public:
    DirectUtf8Conversion(TextFormatter& formatter, const EncodingProfile& from,
                         const EncodingProfile& to, bool crLf);

    RunResult run(const SourceText& source, TextSink& sink);

    bool sawInvalid = false;
    std::int64_t endMarkOffset = -1;  // as Utf8Input::endMarkOffset

private:
    struct Output;
    void takeOne(char32_t c, Output& out);
    void putCharacter(char32_t c, Output& out);

    TextFormatter& formatter_;
    const EncodingProfile& from_;
    const EncodingProfile& to_;
    const bool crLf_;
    // By character: of three UTF-8 bytes at its own value, of two past the
    // BMP (where overlong three-byte forms find nothing).
    std::vector<Utf8Code> written_;
};

}  // namespace quillon::unicode
