#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "chinese_conversion.h"
#include "code_point_stream.h"
#include "run_result.h"

namespace quillon::unicode {

// A convert run of a UTF-8 source to Unicode output by a chain of
// dictionaries. The engine has nothing to do in such a run, so the text goes
// from the source to the converter without a trip through a legacy family,
// cut where the engine would cut it: converted many lines at a time (no key
// holds a line end), and a long line in the engine's pieces. A sequence that
// does not decode becomes a box, each line end the chosen one, and the last
// line ends like every other.
class DictionaryUtf8Conversion {
public:
    DictionaryUtf8Conversion(const ChineseConversionChain& chain, bool crLf)
        : converter_(chain), crLf_(crLf) {}

    RunResult run(const SourceText& source, TextSink& sink);

    bool sawInvalid = false;
    std::int64_t endMarkOffset = -1;  // as Utf8Input::endMarkOffset

private:
    void take(char32_t c);
    void put(char32_t c);
    void endLine();
    // Converts and writes text_, or `text`.
    void write(TextSink& sink);
    void write(TextSink& sink, std::string_view text);

    ChineseConverter converter_;
    const bool crLf_;
    std::string text_;       // whole lines, or lines and the start of a long one
    std::string converted_;
    std::size_t pieceBytes_ = 0;  // of the engine's line or piece in progress, in the family's bytes
    bool pendingCr_ = false;
};

}  // namespace quillon::unicode
