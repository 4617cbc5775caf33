#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quillon::testing {

// `piece` written `count` times over: long lines and runs for the tests that
// need text past a buffer's or a piece's end.
inline std::string repeated(std::string_view piece, std::size_t count) {
    std::string text;
    text.reserve(piece.size() * count);
    for (std::size_t i = 0; i < count; ++i) text += piece;
    return text;
}

}  // namespace quillon::testing
