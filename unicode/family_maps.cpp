#include "family_maps.h"

#include <unicode/uchar.h>
#include <unicode/ucnv.h>

#include <algorithm>
#include <string>
#include <string_view>

#include "code_point_stream.h"
#include "text_formatter.h"

namespace quillon::unicode {
namespace {

constexpr std::size_t kCodeCount = 0x10000;

bool isPrivateUse(char32_t c) { return c >= 0xE000 && c <= 0xF8FF; }
int familyIndex(const EncodingProfile& profile) { return profile.id == kBig5Id ? 1 : 0; }

const EncodingProfile& profileOfFamily(int index) {
    return index == 1 ? profiles::BIG5 : profiles::GBK;
}

template <typename F>
void forEachDoubleByteCode(F&& f) {
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
        for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail != 0x7F) f(static_cast<CharCode>(lead << 8 | trail));
        }
    }
}

// Calls f(key, piece) for the pieces of `text` between NULs, the first with
// the first key, and so on.
template <typename Text, typename F>
void forEachBetweenNuls(const Text& text, const std::vector<CharCode>& keys, F&& f) {
    std::size_t start = 0;
    for (const CharCode key : keys) {
        const std::size_t end = std::min(text.find(typename Text::value_type{0}, start), text.size());
        f(key, std::basic_string_view<typename Text::value_type>(text).substr(start, end - start));
        start = end + 1;
    }
}

CharCode pairCode(std::string_view pair) {
    return static_cast<CharCode>(static_cast<unsigned char>(pair[0]) << 8 |
                                 static_cast<unsigned char>(pair[1]));
}

// The engine's conversion of one code, or 0 when it would lose the character.
class CodeConverter {
public:
    CharCode convert(const EncodingProfile& from, const EncodingProfile& to, CharCode code) {
        char pair[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
        formatter_.sawInvalidCode = formatter_.sawUnmappable = 0;
        formatter_.convertText(pair, 2, from, to);
        if (formatter_.sawInvalidCode || formatter_.sawUnmappable) return 0;
        const auto converted = static_cast<CharCode>(static_cast<unsigned char>(pair[0]) << 8 |
                                                     static_cast<unsigned char>(pair[1]));
        return converted == to.replacementCode() && code != from.replacementCode() ? 0
                                                                                   : converted;
    }

private:
    // Converting a code in place needs none of its buffers.
    TextFormatter formatter_;
};

}  // namespace

bool isHanzi(char32_t c) { return u_hasBinaryProperty(static_cast<UChar32>(c), UCHAR_IDEOGRAPHIC); }

Form FormCount::form() const {
    if (simplified == 0 && traditional == 0) return Form::None;
    return traditional > simplified ? Form::Traditional : Form::Simplified;
}

const FamilyMaps& FamilyMaps::instance() {
    static const FamilyMaps maps;
    return maps;
}

const EncodingProfile& FamilyMaps::familyFor(Form form) {
    return form == Form::Traditional ? profiles::BIG5 : profiles::GBK;
}

const FamilyMaps::Family& FamilyMaps::familyOf(const EncodingProfile& profile) const {
    return familyIndex(profile) == 1 ? big5_ : gbk_;
}

const Utf8Code* FamilyMaps::utf8Table(const EncodingProfile& profile) const {
    return familyOf(profile).utf8.data();
}

const Utf8Code* FamilyMaps::heldUtf8Table(const EncodingProfile& profile) const {
    std::vector<Utf8Code>& table = held_[profile.id];
    std::call_once(heldBuilt_[profile.id], [&] {
        const Utf8Code* const all = utf8Table(profile);
        table.assign(kCodeCount - kFirstPair, 0);
        for (std::size_t code = kFirstPair; code < kCodeCount; ++code) {
            if (profile.holds(static_cast<CharCode>(code))) table[code - kFirstPair] = all[code - kFirstPair];
        }
    });
    return table.data();
}

const std::vector<CharCode>& FamilyMaps::privateCodes(const EncodingProfile& profile) const {
    return familyOf(profile).privateCodes;
}

// Worked out for the runs that need it only: most runs need one.
const CharCode* FamilyMaps::encodeTable(const EncodingProfile& from,
                                        const EncodingProfile& to) const {
    const int f = familyIndex(from);
    std::vector<CharCode>& table = encode_[f][to.id];
    std::call_once(encodeBuilt_[f][to.id], [&] {
        // What survives the run: a code the engine converts without loss.
        CodeConverter converter;
        const std::vector<CharCode>& canonical = familyOf(from).canonical;
        table.assign(kBmpSize, 0);
        for (char32_t c = 0x80; c < kBmpSize; ++c) {
            const CharCode code = canonical[c];
            if (code != 0 && converter.convert(from, to, code) != 0) table[c] = code;
        }
    });
    return table.data();
}

FamilyMaps::FamilyMaps() : formBits_(kBmpSize, 0) {
    const char* const charts[2] = {"GBK", "Big5"};
    Family* const families[2] = {&gbk_, &big5_};
    std::vector<char16_t> decoded[2];  // by code: the character, all in the BMP
    for (int f = 0; f < 2; ++f) {
        Family& family = *families[f];
        std::vector<char16_t>& decode = decoded[f];
        decode.assign(kCodeCount, 0xFFFD);
        for (unsigned byte = 0; byte < 0x80; ++byte) decode[byte] = static_cast<char16_t>(byte);
        family.canonical.assign(kBmpSize, 0);
        // The family's chart, read from ICU in one conversion each way: each
        // code stands alone between NULs, which no code takes as a trail
        // byte. A code that is not a single character of the chart comes
        // out as anything but one character, or as U+FFFD.
        std::vector<CharCode> codes;
        std::string bytes;
        forEachDoubleByteCode([&](CharCode code) {
            codes.push_back(code);
            bytes += {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF), '\0'};
        });
        UErrorCode error = U_ZERO_ERROR;
        const ConverterPtr converter(ucnv_open(charts[f], &error));
        ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_SUBSTITUTE, nullptr, nullptr,
                            nullptr, &error);
        ucnv_setFromUCallBack(converter.get(), UCNV_FROM_U_CALLBACK_SKIP, nullptr, nullptr,
                              nullptr, &error);
        std::u16string text(bytes.size(), u'\0');
        text.resize(static_cast<std::size_t>(
            ucnv_toUChars(converter.get(), reinterpret_cast<UChar*>(text.data()),
                          static_cast<int32_t>(text.size()), bytes.data(),
                          static_cast<int32_t>(bytes.size()), &error)));
        // Characters read back into codes: the chart's own code for each.
        std::vector<CharCode> readBack;
        std::u16string characters;
        forEachBetweenNuls(text, codes, [&](CharCode code, std::u16string_view out) {
            if (out.size() != 1 || out[0] < 0x80 || out[0] == 0xFFFD) return;
            decode[code] = out[0];
            if (isPrivateUse(out[0])) {
                family.privateCodes.push_back(code);
                return;
            }
            readBack.push_back(code);
            characters += {out[0], u'\0'};
        });
        std::string back(2 * characters.size(), '\0');
        back.resize(static_cast<std::size_t>(ucnv_fromUChars(
            converter.get(), back.data(), static_cast<int32_t>(back.size()),
            reinterpret_cast<const UChar*>(characters.data()),
            static_cast<int32_t>(characters.size()), &error)));
        forEachBetweenNuls(back, readBack, [&](CharCode code, std::string_view out) {
            if (out.size() == 2 && pairCode(out) == code) family.canonical[decode[code]] = code;
        });
    }

    CodeConverter converter;
    // Codes the engine writes for characters the target family lacks read as
    // those characters; and the characters whose form changes tell the form.
    for (int f = 0; f < 2; ++f) {
        const EncodingProfile& from = profileOfFamily(f);
        const EncodingProfile& to = profileOfFamily(1 - f);
        const std::vector<char16_t>& decode = decoded[f];
        std::vector<char16_t>& other = decoded[1 - f];
        forEachDoubleByteCode([&](CharCode code) {
            const char16_t c = decode[code];
            if (c == 0xFFFD || isPrivateUse(c)) return;
            const CharCode converted = converter.convert(from, to, code);
            if (converted == 0) return;
            char16_t& counterpart = other[converted];
            if (counterpart == 0xFFFD || isPrivateUse(counterpart)) counterpart = c;
            if (counterpart != c && isHanzi(c) && isHanzi(counterpart)) {
                formBits_[c] |= f == 0 ? kSimplifiedOnly : kTraditionalOnly;
            }
        });
    }
    // A character the other form also writes unchanged tells nothing.
    for (int f = 0; f < 2; ++f) {
        const EncodingProfile& from = profileOfFamily(f);
        const EncodingProfile& to = profileOfFamily(1 - f);
        const std::uint8_t telling = f == 0 ? kTraditionalOnly : kSimplifiedOnly;
        for (char32_t c = 0x80; c < kBmpSize; ++c) {
            const CharCode code = families[f]->canonical[c];
            if ((formBits_[c] & telling) == 0 || code == 0) continue;
            // GBK's own traditional characters are not simplified writing.
            if (f == 0 && !((code >> 8) >= 0xA1 && (code & 0xFF) >= 0xA1)) continue;
            const CharCode converted = converter.convert(from, to, code);
            if (converted != 0 && decoded[1 - f][converted] == c) formBits_[c] &= ~telling;
        }
    }
    for (int f = 0; f < 2; ++f) {
        std::vector<Utf8Code>& utf8 = families[f]->utf8;
        utf8.reserve(kCodeCount - kFirstPair);
        for (std::size_t code = kFirstPair; code < kCodeCount; ++code) {
            const char16_t c = decoded[f][code];
            utf8.push_back(c == 0xFFFD || isPrivateUse(c) ? 0 : utf8Of(c));
        }
    }
}

}  // namespace quillon::unicode
