#pragma once

#include <cstdint>
#include <string>

#include "quote_style.h"
#include "run_options.h"

namespace quillon::unicode {

class UserWords;

// Source encodings beyond the engine's own: the edge decodes them and hands
// the engine legacy text. They share the engine's option field, so their
// values lie clear of its numbering.
enum UnicodeSourceEncoding : std::int32_t {
    kSourceUtf8 = 16,
    kSourceUtf16 = 17,  // with its byte-order mark, either byte order
    kSourceGb18030 = 18,
    kSourceUtf16Le = 19,  // named: read in this order, with or without a mark
    kSourceUtf16Be = 20,
};

// Output encodings beyond the engine's own.
enum UnicodeOutputEncoding : std::int32_t {
    kOutputUtf8 = 16,
    kOutputUtf16 = 17,  // little-endian, with the mark that tells it
    kOutputGb18030 = 18,
    kOutputUtf16Le = 19,
    kOutputUtf16Be = 20,
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

// Whose standard forms traditional text takes in a conversion of Unicode
// text; auto is Taiwan's for traditional output and the generic one (OpenCC's
// own) for simplified output.
enum ChineseStandard : std::int32_t {
    kStandardAuto = 0,
    kStandardGeneric = 1,
    kStandardTaiwan = 2,
    kStandardHongKong = 3,
};

// A choice that may be left to the run: runs with Unicode source or output
// take it, legacy byte runs keep their own options (which leave it off). So
// are chosen phrases, chapter headings, mixed text and line-start rules.
enum ByRunChoice : std::int32_t {
    kChoiceByRun = -1,
    kChoiceOff = 0,
    kChoiceOn = 1,
};

// The byte-order mark of UTF-8 and UTF-16 output: as the source had one
// (UTF-16 output named without its byte order always has one), always, or
// never. Other output never has one.
enum ByteOrderMark : std::int32_t {
    kMarkKeep = 0,
    kMarkAdd = 1,
    kMarkDrop = 2,
};

// The edge's own choices for a run.
struct EdgeChoices {
    std::int32_t form = kFormAuto;
    std::int32_t lineEnds = kLineEndsAuto;
    std::int32_t standard = kStandardAuto;
    std::int32_t regionalWords = 0;  // the vocabulary of the standard's region
    std::int32_t phraseChoice = kChoiceByRun;
    // One of OpenCC's configurations by its place in openccConfigurations()
    // plus one, in place of form, standard and regional words; 0: none.
    std::int32_t opencc = 0;
    std::int32_t byteOrderMark = kMarkKeep;
    const UserWords* userWords = nullptr;  // the user's own phrases, beside the built-in ones
    std::int32_t chapterChoice = kChoiceByRun;
    // An ICU regular expression: a line in which it finds a match is a
    // heading. Empty: none. It must compile (headingPatternProblem).
    std::string headingPattern = {};
    // Quotation marks of the output (QuoteStyle).
    std::int32_t quoteStyle = kQuotesKeep;
    std::int32_t mixedTextChoice = kChoiceByRun;
    std::int32_t lineStartChoice = kChoiceByRun;

    bool operator==(const EdgeChoices&) const = default;
};

// Every choice of a run through the edge: the engine's options and the edge's
// own.
struct EdgeRunOptions : RunOptions, EdgeChoices {};

constexpr bool isUtf16Source(std::int32_t sourceEncoding) {
    return sourceEncoding == kSourceUtf16 || sourceEncoding == kSourceUtf16Le ||
           sourceEncoding == kSourceUtf16Be;
}

constexpr bool isUnicodeSource(std::int32_t sourceEncoding) {
    return sourceEncoding == kSourceUtf8 || sourceEncoding == kSourceGb18030 ||
           isUtf16Source(sourceEncoding);
}

constexpr bool isUtf16Output(std::int32_t outputEncoding) {
    return outputEncoding == kOutputUtf16 || outputEncoding == kOutputUtf16Le ||
           outputEncoding == kOutputUtf16Be;
}

constexpr bool isUnicodeOutput(std::int32_t outputEncoding) {
    return outputEncoding == kOutputUtf8 || outputEncoding == kOutputGb18030 ||
           isUtf16Output(outputEncoding);
}

}  // namespace quillon::unicode
