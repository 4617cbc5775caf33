#include "utf8_input.h"

#include <unicode/utf8.h>

#include <algorithm>
#include <cstring>

#include "code_point_stream.h"

namespace quillon::unicode {

Utf8Input::~Utf8Input() {
    if (file_ != nullptr) std::fclose(file_);
}

bool Utf8Input::open(const SourceText& source) {
    file_ = source.open().release();
    if (file_ == nullptr) return false;
    bytes_ = std::make_unique<unsigned char[]>(kBufferSize);
    next = end = bytes_.get();
    while (end - next < 4 && refill()) {
    }
    if (end - next >= 3 && std::memcmp(next, "\xEF\xBB\xBF", 3) == 0) next += 3;
    return true;
}

// Moves what is left of the buffer to its start and fills the rest; false at
// the end of the file.
bool Utf8Input::refill() {
    if (ended_) return false;
    const auto left = static_cast<std::size_t>(end - next);
    std::memmove(bytes_.get(), next, left);
    const std::size_t got = std::fread(bytes_.get() + left, 1, kBufferSize - left, file_);
    if (got == 0) failed_ = std::ferror(file_) != 0;
    const std::size_t kept = endMark_.cut(reinterpret_cast<const char*>(bytes_.get()) + left, got, file_);
    next = bytes_.get();
    end = next + left + kept;
    ended_ = got == 0 || endMark_.reached();
    return kept > 0;
}

bool Utf8Input::takeCodePoint(char32_t& c) {
    while (end - next < 4 && refill()) {
    }
    if (next == end) return false;
    const auto available = static_cast<std::int32_t>(std::min<std::ptrdiff_t>(end - next, 4));
    std::int32_t i = 0;
    UChar32 decoded;
    U8_NEXT(next, i, available, decoded);
    next += i;
    c = decoded < 0 ? kInvalidMarker : static_cast<char32_t>(decoded);
    return true;
}

}  // namespace quillon::unicode
