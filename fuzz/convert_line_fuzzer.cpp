// convertText and convertLine over every pair of profiles, with HTML handling
// off, on outside a tag and on inside one. Whatever the bytes, a conversion
// keeps the text's length, never changes an ASCII byte that is not the trail
// byte of a pair nor a lead byte left without a trail, keeps every pair a pair
// (but towards PureASC, which has none), changes nothing when the target is
// the source or GB is read as GBK, and gives the same result through both
// entry points. Conversion by phrase keeps the same shape, and raises no flag
// that the table conversion does not.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "invariant.h"
#include "text_formatter.h"

namespace {

using namespace quillon;
using fuzz::require;

const EncodingProfile* const kProfiles[] = {&profiles::GB, &profiles::GBK, &profiles::BIG5,
                                            &profiles::PureASC};

struct HtmlMode {
    std::int32_t aware;
    std::int32_t insideTag;
};
constexpr HtmlMode kPlain = {0, 0};
constexpr HtmlMode kOutsideTag = {1, 0};
constexpr HtmlMode kInsideTag = {1, 1};

enum class EntryPoint { ConvertText, ConvertLine, ByPhrase };

struct Conversion {
    std::string text;
    std::int32_t invalid;
    std::int32_t unmappable;
    std::int32_t htmlAborted;
    bool operator==(const Conversion&) const = default;
};

Conversion convert(TextFormatter& formatter, EntryPoint entry, std::string_view text,
                   const EncodingProfile& from, const EncodingProfile& to, HtmlMode mode) {
    formatter.setHtmlAware(mode.aware);
    formatter.insideTag = mode.insideTag;
    formatter.sawInvalidCode = formatter.sawUnmappable = formatter.htmlAborted = 0;
    // Exactly as long as the text (and its NUL for convertLine): a write past
    // the end is a heap overflow that AddressSanitizer reports.
    std::vector<char> bytes(text.begin(), text.end());
    formatter.setPhrases(entry == EntryPoint::ByPhrase);
    if (entry == EntryPoint::ByPhrase) {
        formatter.convertRunLine(bytes.data(), bytes.size(), from, to);
    } else if (entry == EntryPoint::ConvertLine) {
        bytes.push_back('\0');
        formatter.convertLine(bytes.data(), from, to);
        require(bytes.back() == '\0', "convertLine leaves the terminating NUL");
        bytes.pop_back();
    } else {
        formatter.convertText(bytes.data(), bytes.size(), from, to);
    }
    return {std::string(bytes.begin(), bytes.end()), formatter.sawInvalidCode,
            formatter.sawUnmappable, formatter.htmlAborted};
}

// Walks the text as the engine reads it: an ASCII byte alone, a high byte
// together with the byte after it, a high byte in the last place alone.
void requireCharactersKept(std::string_view before, std::string_view after,
                           const EncodingProfile& to) {
    require(after.size() == before.size(), "a conversion keeps the byte length");
    for (std::size_t pos = 0; pos < before.size();) {
        const auto byte = static_cast<unsigned char>(before[pos]);
        if (byte < 0x80 || pos + 1 == before.size()) {
            require(after[pos] == before[pos],
                    "an ASCII byte, or a lead byte with no trail, is never changed");
            pos += 1;
        } else {
            require(to.id == kPureAscId || static_cast<unsigned char>(after[pos]) >= 0x80,
                    "a pair is written as a pair");
            pos += 2;
        }
    }
}

bool hasTagMark(std::string_view text) { return text.find_first_of("<>") != std::string_view::npos; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Every conversion sets the options and state it reads, so one formatter
    // serves every input.
    static TextFormatter formatter;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string_view line = text.substr(0, text.find('\0'));  // what convertLine sees

    for (const EncodingProfile* from : kProfiles) {
        for (const EncodingProfile* to : kProfiles) {
            const bool untouched = from == to || (from->id == kGbId && to->id == kGbkId);
            const Conversion plain = convert(formatter, EntryPoint::ConvertText, text, *from, *to, kPlain);
            for (const HtmlMode mode : {kPlain, kOutsideTag, kInsideTag}) {
                const Conversion bounded =
                    mode.aware ? convert(formatter, EntryPoint::ConvertText, text, *from, *to, mode) : plain;
                requireCharactersKept(text, bounded.text, *to);
                if (untouched) {
                    require(bounded == Conversion{std::string(text), 0, 0, 0},
                            "the same profile, or GB read as GBK, leaves the bytes untouched");
                }
                // FF FF, no character of any family, is the format run's mark
                // of a lone lead byte: boxed even inside a tag.
                if (!hasTagMark(text) && text.find("\xFF\xFF") == std::string_view::npos) {
                    if (mode.insideTag) {
                        require(bounded.text == text, "text inside a tag is never converted");
                    } else {
                        require(bounded == plain, "without tags, HTML handling changes nothing");
                    }
                }

                const Conversion phrased = convert(formatter, EntryPoint::ByPhrase, text, *from, *to, mode);
                requireCharactersKept(text, phrased.text, *to);
                require(phrased.invalid == bounded.invalid && phrased.htmlAborted == bounded.htmlAborted &&
                            phrased.unmappable <= bounded.unmappable,
                        "a phrase raises no flag of its own");
                if (untouched || (mode.insideTag && !hasTagMark(text))) {
                    require(phrased.text == bounded.text, "phrases change only what the table converts");
                }

                const Conversion terminated = convert(formatter, EntryPoint::ConvertLine, line, *from, *to, mode);
                const Conversion boundedLine =
                    line.size() == text.size()
                        ? bounded
                        : convert(formatter, EntryPoint::ConvertText, line, *from, *to, mode);
                require(terminated == boundedLine, "convertLine and convertText agree");
            }
        }
    }
    return 0;
}
