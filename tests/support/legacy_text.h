#pragma once

#include <iconv.h>

#include <stdexcept>
#include <string>
#include <string_view>

namespace quillon::testing {

// Test text is written in UTF-8 and turned into legacy bytes here, through the
// C library's own charts, so that expectations stay readable.
inline std::string recode(std::string_view text, const char* to, const char* from) {
    iconv_t cd = ::iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("no iconv chart");
    std::string out(text.size() * 4 + 16, '\0');
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    const std::size_t done = ::iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    ::iconv_close(cd);
    if (done == static_cast<std::size_t>(-1)) {
        throw std::runtime_error("text has no form in " + std::string(to));
    }
    out.resize(out.size() - outLeft);
    return out;
}

inline std::string gb(std::string_view utf8) { return recode(utf8, "GBK", "UTF-8"); }
inline std::string big5(std::string_view utf8) { return recode(utf8, "BIG5", "UTF-8"); }

}  // namespace quillon::testing
