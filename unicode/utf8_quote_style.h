#pragma once

#include <cstddef>

#include "quote_style.h"

namespace quillon::unicode {

// restyleQuotes for UTF-8 text: “”‘’ and 「」『』 trade places by `style`,
// each three bytes long either way; a ’ between two Latin letters is an
// apostrophe and stays.
void restyleQuotesUtf8(QuoteStyle style, char* text, std::size_t length);

}  // namespace quillon::unicode
