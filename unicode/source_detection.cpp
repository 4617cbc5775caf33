#include "source_detection.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <filesystem>
#include <memory>
#include <system_error>

#include "code_point_stream.h"
#include "encoding_profile.h"
#include "text_formatter.h"

namespace quillon::unicode {
namespace {

// Follows a byte stream through UTF-8's rules (no overlong forms, no
// surrogates, nothing past U+10FFFF).
class Utf8Check {
public:
    void take(unsigned char byte) {
        if (remaining_ > 0) {
            if (byte < low_ || byte > high_) valid_ = false;
            --remaining_;
            low_ = 0x80;
            high_ = 0xBF;
            return;
        }
        if (byte < 0x80 || !valid_) return;
        nonAscii_ = true;
        if (byte >= 0xC2 && byte <= 0xDF) {
            expect(1, 0x80, 0xBF);
        } else if (byte >= 0xE0 && byte <= 0xEF) {
            expect(2, byte == 0xE0 ? 0xA0 : 0x80, byte == 0xED ? 0x9F : 0xBF);
        } else if (byte >= 0xF0 && byte <= 0xF4) {
            expect(3, byte == 0xF0 ? 0x90 : 0x80, byte == 0xF4 ? 0x8F : 0xBF);
        } else {
            valid_ = false;
        }
    }
    bool possible() const { return valid_; }
    bool isUtf8Text() const { return valid_ && remaining_ == 0 && nonAscii_; }

private:
    void expect(int remaining, unsigned char low, unsigned char high) {
        remaining_ = remaining;
        low_ = low;
        high_ = high;
    }
    bool valid_ = true;
    bool nonAscii_ = false;
    int remaining_ = 0;
    unsigned char low_ = 0x80;
    unsigned char high_ = 0xBF;
};

// Follows a byte stream through GB18030's structure: single bytes, two-byte
// codes and four-byte codes whose first byte lies where Unicode is mapped.
class Gb18030Check {
public:
    void take(unsigned char byte) {
        switch (state_) {
            case 0:
                if (byte >= 0x81 && byte <= 0xFE) {
                    first_ = byte;
                    state_ = 1;
                } else if (byte >= 0x80) {
                    state_ = kInvalid;
                }
                break;
            case 1:
                if (byte >= 0x30 && byte <= 0x39) {
                    const bool mapped = first_ <= 0x84 || (first_ >= 0x90 && first_ <= 0xE3);
                    state_ = mapped ? 2 : kInvalid;
                } else {
                    state_ = byte >= 0x40 && byte <= 0xFE && byte != 0x7F ? 0 : kInvalid;
                }
                break;
            case 2: state_ = byte >= 0x81 && byte <= 0xFE ? 3 : kInvalid; break;
            case 3:
                state_ = byte >= 0x30 && byte <= 0x39 ? 0 : kInvalid;
                fourByte_ = true;
                break;
            default: break;
        }
    }
    bool possible() const { return state_ != kInvalid; }
    bool isGb18030Text() const { return state_ == 0 && fourByte_; }

private:
    static constexpr int kInvalid = 4;
    int state_ = 0;
    unsigned char first_ = 0;
    bool fourByte_ = false;
};

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

const char* chartOf(std::int32_t profileId) { return profileId == kBig5Id ? "Big5" : "GBK"; }

const char* icuNameOf(UnicodeEncoding encoding) {
    return encoding == UnicodeEncoding::Utf8      ? "UTF-8"
           : encoding == UnicodeEncoding::Gb18030 ? "GB18030"
                                                  : "UTF-16";
}

}  // namespace

const char* nameOf(UnicodeEncoding encoding) {
    switch (encoding) {
        case UnicodeEncoding::Utf8: return "UTF-8";
        case UnicodeEncoding::Utf16Le: return "UTF-16LE";
        case UnicodeEncoding::Utf16Be: return "UTF-16BE";
        case UnicodeEncoding::Gb18030: return "GB18030";
        case UnicodeEncoding::None: break;
    }
    return "";
}

const char* nameOf(Form form) {
    return form == Form::Simplified ? "simplified" : form == Form::Traditional ? "traditional" : "none";
}

const char* nameOf(LineEndStyle style) {
    switch (style) {
        case LineEndStyle::Lf: return "LF";
        case LineEndStyle::CrLf: return "CRLF";
        case LineEndStyle::Mixed: return "mixed";
        case LineEndStyle::None: break;
    }
    return "none";
}

std::optional<UnicodeEncoding> detectUnicodeEncoding(const char* path) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) return std::nullopt;
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path, "rb"));
    if (!file) return std::nullopt;

    static constexpr std::size_t kBufferSize = 1 << 16;
    auto buffer = std::make_unique<unsigned char[]>(kBufferSize);
    std::size_t got = std::fread(buffer.get(), 1, kBufferSize, file.get());
    const auto startsWith = [&](std::initializer_list<unsigned char> mark) {
        return got >= mark.size() && std::equal(mark.begin(), mark.end(), buffer.get());
    };
    if (startsWith({0xEF, 0xBB, 0xBF})) return UnicodeEncoding::Utf8;
    if (startsWith({0xFF, 0xFE})) return UnicodeEncoding::Utf16Le;
    if (startsWith({0xFE, 0xFF})) return UnicodeEncoding::Utf16Be;

    Utf8Check utf8;
    Gb18030Check gb18030;
    // Reading stops as soon as neither can be the answer.
    for (; got > 0 && (utf8.possible() || gb18030.possible());
         got = std::fread(buffer.get(), 1, kBufferSize, file.get())) {
        if (utf8.possible()) {
            for (std::size_t i = 0; i < got; ++i) utf8.take(buffer[i]);
        }
        if (gb18030.possible()) {
            for (std::size_t i = 0; i < got; ++i) gb18030.take(buffer[i]);
        }
    }
    if (std::ferror(file.get())) return std::nullopt;
    if (utf8.isUtf8Text()) return UnicodeEncoding::Utf8;
    if (gb18030.isGb18030Text()) return UnicodeEncoding::Gb18030;
    return UnicodeEncoding::None;
}

std::optional<SourceDescription> describeSource(const char* path) {
    const std::optional<UnicodeEncoding> unicode = detectUnicodeEncoding(path);
    if (!unicode) return std::nullopt;
    SourceDescription description;
    const char* chart = nullptr;
    if (*unicode != UnicodeEncoding::None) {
        description.encoding = nameOf(*unicode);
        chart = icuNameOf(*unicode);
    } else {
        TextFormatter formatter;
        std::int32_t id = 0;
        if (!formatter.hasBuffers() || formatter.detectEncoding(path, id) != kSuccess) {
            return std::nullopt;
        }
        description.encoding = profileById(id)->name;
        chart = chartOf(id);
    }

    CodePointReader reader;
    if (!reader.open(path, chart)) return std::nullopt;
    const FamilyMaps& maps = FamilyMaps::instance();
    FormCount count;
    std::uint64_t crlf = 0;
    std::uint64_t lf = 0;
    char32_t previous = 0;
    char32_t text[4096];
    while (const std::size_t n = reader.read(text, std::size(text))) {
        for (std::size_t i = 0; i < n; ++i) {
            if (text[i] == '\n') ++(previous == '\r' ? crlf : lf);
            maps.count(text[i], count);
            previous = text[i];
        }
    }
    if (reader.failed()) return std::nullopt;
    description.form = count.form();
    description.lineEnds = crlf == 0 && lf == 0 ? LineEndStyle::None
                           : crlf == 0          ? LineEndStyle::Lf
                           : lf == 0            ? LineEndStyle::CrLf
                                                : LineEndStyle::Mixed;
    return description;
}

}  // namespace quillon::unicode
