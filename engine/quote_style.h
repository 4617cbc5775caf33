#pragma once

#include <cstddef>
#include <cstdint>

#include "encoding_profile.h"

namespace quillon {

// How quotations are marked in output: as written, with corner brackets
// 「」『』 (the convention of Taiwan and Hong Kong), or with curly quotes “”‘’.
enum QuoteStyle : std::int32_t {
    kQuotesKeep = 0,
    kQuotesCorner = 1,
    kQuotesCurly = 2,
};

// Gives the `length` bytes of `profile`'s text at `text`, which start at a
// character, the quote style: double quotes and corner brackets trade places,
// as do single quotes and white corner brackets. A right single quote between
// two Latin letters is an apostrophe and stays. Every code keeps its length.
void restyleQuotes(const EncodingProfile& profile, QuoteStyle style, char* text, std::size_t length);

}  // namespace quillon
