#pragma once

#include <cstdint>

#include "run_options.h"

namespace quillon::unicode {

// Source encodings beyond the engine's own: the edge decodes them and hands
// the engine legacy text. They share the engine's option field, so their
// values lie clear of its numbering.
enum UnicodeSourceEncoding : std::int32_t {
    kSourceUtf8 = 16,
    kSourceUtf16 = 17,  // with its byte-order mark, either byte order
    kSourceGb18030 = 18,
};

// Output encodings beyond the engine's own.
enum UnicodeOutputEncoding : std::int32_t {
    kOutputUtf8 = 16,
    kOutputGb18030 = 18,
};

// The written form of Unicode output; auto lets the run decide (a convert run
// switches the form, a format run keeps it).
enum OutputForm : std::int32_t {
    kFormAuto = 0,
    kFormSimplified = 1,
    kFormTraditional = 2,
};

// Line ends written; auto is CR LF for GB, GBK, Big5 and GB18030 output and
// LF for UTF-8 output.
enum LineEnds : std::int32_t {
    kLineEndsAuto = 0,
    kLineEndsCrLf = 1,
    kLineEndsLf = 2,
};

// The edge's own choices for a run.
struct EdgeChoices {
    std::int32_t form = kFormAuto;
    std::int32_t lineEnds = kLineEndsAuto;
};

// Every choice of a run through the edge: the engine's options and the edge's
// own.
struct EdgeRunOptions : RunOptions, EdgeChoices {};

constexpr bool isUnicodeSource(std::int32_t sourceEncoding) {
    return sourceEncoding == kSourceUtf8 || sourceEncoding == kSourceUtf16 ||
           sourceEncoding == kSourceGb18030;
}

constexpr bool isUnicodeOutput(std::int32_t outputEncoding) {
    return outputEncoding == kOutputUtf8 || outputEncoding == kOutputGb18030;
}

}  // namespace quillon::unicode
