#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "carried_lines.h"
#include "code_point_stream.h"
#include "utf8_input.h"

namespace quillon::unicode {

// Reads a Unicode source as text of one legacy family, put there by a
// LineEncoder, in chunks that end where the engine's lines and pieces of long
// lines end (a LF stays in the text; a CR ends a line only before a LF). UTF-8
// is decoded here straight into the family's bytes; other encodings come from
// ICU as code points.
class FamilyTextReader {
public:
    // Pieces of a long line hold this many bytes (or one or two more).
    static constexpr std::size_t kLinePiece = TextFormatter::kBufferSize;

    // A chunk holds lines and pieces until it reaches `chunkBytes` (1: one
    // line or piece each).
    FamilyTextReader(LineEncoder& encoder, std::size_t chunkBytes);
    FamilyTextReader(const FamilyTextReader&) = delete;
    FamilyTextReader& operator=(const FamilyTextReader&) = delete;

    // False when the source cannot be opened or the encoding is unknown.
    bool open(const SourceText& source, const char* encoding);
    // The length of the next chunk, 0 at the end of the text.
    std::size_t next();
    char* text() { return text_.get(); }
    // The carriers of the chunk, placed in it.
    const std::vector<Carrier>& carriers() const { return carriers_; }
    // True when reading stopped on an error rather than the end of the file.
    bool failed() const { return utf8_ ? bytes_.failed() : points_.failed(); }
    // Where U+001A ended the text before the end of the file, else -1.
    std::int64_t endMarkOffset() const { return utf8_ ? bytes_.endMarkOffset() : points_.endMarkOffset(); }

private:
    bool take(char32_t c);
    bool endLine();
    bool endPiece();
    bool readUtf8();
    bool readCodePoints();

    LineEncoder& encoder_;
    const std::size_t chunkBytes_;
    std::unique_ptr<char[]> text_;
    std::size_t length_ = 0;
    std::size_t lineStart_ = 0;  // where the line (or the piece) in progress starts
    std::vector<Carrier> carriers_;
    bool pendingCr_ = false;
    bool done_ = false;

    bool utf8_ = false;  // decoded here
    Utf8Input bytes_;
    // The encoder's lossless codes as the text stores them, lead byte first,
    // by packed sequence (packedSequences).
    std::unique_ptr<std::uint16_t[]> storedCodes_;

    // Any other encoding, through ICU.
    CodePointReader points_;
    std::unique_ptr<char32_t[]> codePoints_;
    std::size_t pointCount_ = 0;
    std::size_t pointNext_ = 0;
};

}  // namespace quillon::unicode
