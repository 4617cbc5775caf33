// Quotation marks traded for corner brackets, or back, in legacy text.
#include "quote_style.h"

#include <array>
#include <utility>

#include "char_code.h"
#include "character_classes.h"

namespace quillon {
namespace {

bool isLatinLetter(unsigned char byte) {
    const unsigned lower = byte | 0x20u;
    return lower >= 'a' && lower <= 'z';
}

// Each quote class and the corner bracket class that stands for it.
constexpr std::array<std::pair<CharClass, CharClass>, 4> kCounterparts = {{
    {CharClass::LeftDoubleQuote, CharClass::LeftCornerBracket},
    {CharClass::RightDoubleQuote, CharClass::RightCornerBracket},
    {CharClass::LeftSingleQuote, CharClass::LeftWhiteCornerBracket},
    {CharClass::RightSingleQuote, CharClass::RightWhiteCornerBracket},
}};

}  // namespace

void restyleQuotes(const EncodingProfile& profile, QuoteStyle style, char* text, std::size_t length) {
    if (style != kQuotesCorner && style != kQuotesCurly) return;
    const auto* bytes = reinterpret_cast<unsigned char*>(text);
    bool afterLetter = false;
    for (std::size_t pos = 0; pos < length;) {
        if (bytes[pos] < 0x80 || pos + 1 >= length) {
            afterLetter = isLatinLetter(bytes[pos]);
            ++pos;
            continue;
        }
        const auto code = static_cast<CharCode>(bytes[pos] << 8 | bytes[pos + 1]);
        for (const auto& [quote, corner] : kCounterparts) {
            const CharClass from = style == kQuotesCorner ? quote : corner;
            if (!inList(code, profile.list(from))) continue;
            const bool apostrophe = from == CharClass::RightSingleQuote && afterLetter && pos + 2 < length &&
                                    isLatinLetter(bytes[pos + 2]);
            if (apostrophe) break;
            const CharCode to = profile.primary(style == kQuotesCorner ? corner : quote);
            text[pos] = static_cast<char>(to >> 8);
            text[pos + 1] = static_cast<char>(to & 0xFF);
            break;
        }
        afterLetter = false;
        pos += 2;
    }
}

}  // namespace quillon
