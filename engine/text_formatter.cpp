#include "text_formatter.h"

#include <new>

#include "character_classes.h"
#include "line_reader.h"
#include "text_file.h"

namespace quillon {
namespace {

constexpr std::size_t kSpareBytes = 2;

std::unique_ptr<char[]> allocateBuffer(std::size_t bytes) {
    return std::unique_ptr<char[]>(new (std::nothrow) char[bytes]);
}

}  // namespace

TextFormatter::TextFormatter(BufferAllocator allocate) {
    if (allocate == nullptr) allocate = allocateBuffer;
    lineBuffer_ = allocate(kBufferSize + kSpareBytes);
    if (lineBuffer_) paragraphBuffer_ = allocate(kBufferSize + kSpareBytes);
    if (!paragraphBuffer_) lineBuffer_.reset();
}

bool TextFormatter::endsSentence(CharCode previous, CharCode current) const {
    for (std::int32_t depth : quoteDepth) {
        if (depth != 0) return false;
    }
    return endsSentenceOutsideQuotes(previous, current);
}

bool TextFormatter::endsSentenceOutsideQuotes(CharCode previous, CharCode current) const {
    if (isSentenceEnd(*sourceProfile, current)) return true;
    return isClosingQuote(*sourceProfile, current) && isSentenceEnd(*sourceProfile, previous);
}

void TextFormatter::forgetOpenQuotes() {
    singleQuoteOpen = doubleQuoteOpen = 0;
    latinDoubleQuoteOpen = latinSingleQuoteOpen = latinBracketOpen = 0;
    for (std::int32_t& depth : quoteDepth) depth = 0;
}

void TextFormatter::clearConversionFlags() {
    sawInvalidCode = 0;
    sawUnmappable = 0;
    htmlAborted = 0;
    sawLowBytePair_ = false;
}

void TextFormatter::clearRunReport() {
    systemError = 0;
    endMarkOffset = -1;
    outputUnplaced = false;
}

void TextFormatter::clearRunState() {
    sourceProfile = targetProfile = nullptr;
    doubleQuoteOpen = singleQuoteOpen = insideTag = 0;
    latinDoubleQuoteOpen = latinSingleQuoteOpen = latinBracketOpen = 0;
    for (std::int32_t& depth : quoteDepth) depth = 0;
    clearConversionFlags();
    clearRunReport();
    setKnownDetection("", 0);
}

RunResult TextFormatter::failedSystemCall(RunResult result, int error) {
    systemError = error;
    return result;
}

RunResult TextFormatter::finishRun(LineReader& source, TextWriter& destination) {
    source.close();
    endMarkOffset = source.endMarkOffset();
    // A source that could not be read to its end must not replace the
    // destination, and a destination that did not receive every byte must not
    // pass for a complete run.
    if (source.failed()) {
        destination.discard();
        return failedSystemCall(kSourceUnreadable, source.error());
    }
    // A tag still open at the end kept the rest of the text unconverted.
    if (htmlAware_ != 0 && insideTag != 0) htmlAborted = 1;
    if (!destination.close()) {
        // Every byte was written, only the final replacement failed.
        outputUnplaced = !destination.failed();
        return failedSystemCall(kDestinationUnwritable, destination.error());
    }
    return conversionResult();
}

RunResult TextFormatter::conversionResult() const {
    if (sawInvalidCode) return kInvalidCodeWarning;
    if (sawUnmappable) return kUnmappableWarning;
    if (htmlAborted) return kHtmlAbortedWarning;
    return kSuccess;
}

}  // namespace quillon
