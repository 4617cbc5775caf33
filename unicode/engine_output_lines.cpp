#include "engine_output_lines.h"

#include <algorithm>
#include <cstring>

#include "text_formatter.h"

namespace quillon::unicode {
namespace {

// The most bytes a read of a line takes.
constexpr std::size_t kLimit = TextFormatter::kBufferSize - 1;

bool isLead(char byte) { return (static_cast<unsigned char>(byte) & 0x80) != 0; }

}  // namespace

void EngineOutputLines::take(const char* block, std::size_t length) {
    pending_.insert(pending_.end(), block, block + length);
    pass(false);
}

void EngineOutputLines::passTogether(bool atEnd) {
    if (pending_.empty()) return;
    char* const text = pending_.data();
    const std::size_t size = pending_.size();
    std::size_t written = 0;
    std::size_t read = 0;
    while (const auto* const lineFeed = static_cast<const char*>(std::memchr(text + read, '\n', size - read))) {
        const auto end = static_cast<std::size_t>(lineFeed - text);
        const std::size_t content = end - (end > read && text[end - 1] == '\r');
        std::memmove(text + written, text + read, content - read);
        written += content - read;
        text[written++] = '\n';
        read = end + 1;
    }
    if (atEnd) {
        std::memmove(text + written, text + read, size - read);
        written += size - read;
        read = size;
    }
    if (written > 0) onLine_(text, written);
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(read));
}

void EngineOutputLines::pass(bool atEnd) {
    if (together_) return passTogether(atEnd);
    char* const text = pending_.data();
    const std::size_t size = pending_.size();
    std::size_t start = 0;
    while (start < size) {
        char* const line = text + start;
        const std::size_t rest = size - start;
        if (const auto* const lineFeed = static_cast<const char*>(std::memchr(line, '\n', std::min(rest, kLimit + 1)))) {
            const auto stored = static_cast<std::size_t>(lineFeed - line) + 1;
            const std::size_t content = stored - 1 - (stored >= 2 && line[stored - 2] == '\r');
            if (content < kLimit) {
                line[content] = '\n';
                onLine_(line, content + 1);
                start += stored;
                continue;
            }
        } else if (rest <= kLimit) {
            // The line goes on in the next block, unless the output ends here.
            if (!atEnd) break;
            onLine_(line, rest);
            start = size;
            break;
        }
        // A piece of a longer line, which stops short of a lead byte that would end it.
        std::size_t pos = 0;
        while (pos < kLimit - 1) pos += isLead(line[pos]) ? 2 : 1;
        const std::size_t piece = pos == kLimit - 1 && isLead(line[pos]) ? kLimit - 1 : kLimit;
        onLine_(line, piece);
        start += piece;
    }
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(start));
}

}  // namespace quillon::unicode
