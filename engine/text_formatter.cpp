#include "text_formatter.h"

#include <new>

#include "character_classes.h"
#include "messages.h"

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
    if (!paragraphBuffer_) {
        lineBuffer_.reset();
        showResultMessage(kOutOfMemory);
    }
}

bool TextFormatter::endsSentence(CharCode previous, CharCode current) const {
    for (std::int32_t depth : quoteDepth) {
        if (depth != 0) return false;
    }
    if (isSentenceEnd(*sourceProfile, current)) return true;
    return isClosingQuote(*sourceProfile, current) && isSentenceEnd(*sourceProfile, previous);
}

void TextFormatter::clearConversionFlags() {
    sawInvalidCode = 0;
    sawUnmappable = 0;
    htmlAborted = 0;
}

RunResult TextFormatter::conversionResult() const {
    if (sawInvalidCode) return kInvalidCodeWarning;
    if (sawUnmappable) return kUnmappableWarning;
    if (htmlAborted) return kHtmlAbortedWarning;
    return kSuccess;
}

}  // namespace quillon
