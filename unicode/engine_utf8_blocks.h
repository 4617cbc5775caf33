#pragma once

#include <cstddef>
#include <memory>

#include "carried_lines.h"
#include "code_point_stream.h"
#include "encoding_profile.h"

namespace quillon::unicode {

// Writes an engine run's output, text of one family that the run did not
// convert, as UTF-8 to a sink that takes it as it is, block by block as the
// run hands it on: what EngineOutputLines and a LineWriter do together, in
// one pass and straight into the sink's buffer. Every line end the run wrote
// (CR LF) becomes the chosen one; the characters an encoder carried under
// private codes are written in their place.
class EngineUtf8Blocks {
public:
    EngineUtf8Blocks(const EncodingProfile& family, const LineEncoder& carrier, bool crLf, TextSink& sink);

    void take(const char* block, std::size_t length);
    // The output has ended: what was held back for the next block is written.
    void finish();

    // A byte or pair that stands for no character was written as a box.
    bool sawInvalid = false;

private:
    // Writes what `text` holds up to the end or to a last character whose
    // end the next block tells, which is left; returns the bytes written.
    std::size_t write(const unsigned char* text, std::size_t length, bool atEnd);

    // The family's characters in UTF-8 by the pair's bytes read as one
    // word (byte_masks::pairIndexAt): 0 for a pair that stands for none and
    // for every index that starts with an ASCII byte.
    const std::unique_ptr<Utf8Code[]> byWord_;
    const LineEncoder& carrier_;
    const bool crLf_;
    TextSink& sink_;
    // A lead byte, CR, or both, whose meaning the next block's first bytes tell.
    unsigned char held_[2] = {};
    std::size_t heldLength_ = 0;
};

}  // namespace quillon::unicode
