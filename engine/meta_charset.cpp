// A converted HTML document must not claim the encoding of its source: the
// browser would read it by the wrong one.
#include "meta_charset.h"

#include <algorithm>
#include <cctype>

#include "encoding_profile.h"

namespace quillon {
namespace {

bool sameLetters(std::string_view text, std::string_view lowerCase) {
    return std::ranges::equal(text, lowerCase, [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == b;
    });
}

// Where `word` (lower case) next starts in text[from, to), ignoring case; npos if nowhere.
std::size_t findWord(std::string_view text, std::string_view word, std::size_t from, std::size_t to) {
    for (std::size_t pos = from; pos + word.size() <= to; ++pos) {
        if (sameLetters(text.substr(pos, word.size()), word)) return pos;
    }
    return std::string_view::npos;
}

bool isNameByte(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == '.' || c == ':';
}

}  // namespace

std::string_view htmlCharsetName(std::int32_t profileId) {
    switch (profileId) {
        case kGbId: return "gb2312";
        case kGbkId: return "gbk";
        case kBig5Id: return "big5";
        default: return {};
    }
}

std::optional<std::string> withMetaCharset(std::string_view line, std::string_view charset) {
    std::optional<std::string> rewritten;
    if (charset.empty()) return rewritten;
    std::string_view text = line;
    for (std::size_t tag = findWord(text, "<meta", 0, text.size()); tag != std::string_view::npos;
         tag = findWord(text, "<meta", tag + 5, text.size())) {
        const std::size_t end = std::min(text.find('>', tag), text.size());
        const std::size_t name = findWord(text, "charset", tag, end);
        if (name == std::string_view::npos) continue;
        std::size_t value = name + 7;
        while (value < end && (text[value] == ' ' || text[value] == '=' || text[value] == '"' || text[value] == '\'')) {
            ++value;
        }
        std::size_t valueEnd = value;
        while (valueEnd < end && isNameByte(text[valueEnd])) ++valueEnd;
        if (valueEnd == value || sameLetters(text.substr(value, valueEnd - value), charset)) continue;
        if (!rewritten) rewritten.emplace(line);
        rewritten->replace(value, valueEnd - value, charset);
        text = *rewritten;
    }
    return rewritten;
}

}  // namespace quillon
