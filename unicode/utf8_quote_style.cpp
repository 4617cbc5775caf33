// Quotation marks traded for corner brackets, or back, in UTF-8 text.
#include "utf8_quote_style.h"

#include <array>
#include <cstring>

namespace quillon::unicode {
namespace {

// Each curly quote and its corner bracket, by their UTF-8 bytes: “ 「, ” 」, ‘ 『, ’ 』.
struct Counterpart {
    char quote[3];
    char corner[3];
};
constexpr std::array<Counterpart, 4> kCounterparts = {{
    {{'\xE2', '\x80', '\x9C'}, {'\xE3', '\x80', '\x8C'}},
    {{'\xE2', '\x80', '\x9D'}, {'\xE3', '\x80', '\x8D'}},
    {{'\xE2', '\x80', '\x98'}, {'\xE3', '\x80', '\x8E'}},
    {{'\xE2', '\x80', '\x99'}, {'\xE3', '\x80', '\x8F'}},
}};
constexpr std::size_t kApostrophe = 3;  // ’, of kCounterparts

bool isLatinLetter(char byte) {
    const unsigned lower = static_cast<unsigned char>(byte) | 0x20u;
    return lower >= 'a' && lower <= 'z';
}

}  // namespace

void restyleQuotesUtf8(QuoteStyle style, char* text, std::size_t length) {
    if (style != kQuotesCorner && style != kQuotesCurly) return;
    // Every mark begins with E2 or E3, which begins no other byte of UTF-8
    // than a three-byte character.
    const char lead = style == kQuotesCorner ? '\xE2' : '\xE3';
    for (char* at = text; (at = static_cast<char*>(std::memchr(at, lead, length - std::size_t(at - text))));) {
        if (std::size_t(at - text) + 3 > length) break;
        for (std::size_t i = 0; i < kCounterparts.size(); ++i) {
            const Counterpart& pair = kCounterparts[i];
            const char* from = style == kQuotesCorner ? pair.quote : pair.corner;
            if (std::memcmp(at, from, 3) != 0) continue;
            const bool apostrophe = i == kApostrophe && style == kQuotesCorner && at > text && isLatinLetter(at[-1]) &&
                                    std::size_t(at - text) + 3 < length && isLatinLetter(at[3]);
            if (!apostrophe) std::memcpy(at, style == kQuotesCorner ? pair.corner : pair.quote, 3);
            break;
        }
        at += 3;
    }
}

}  // namespace quillon::unicode
