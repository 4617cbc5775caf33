// OpenCC's conversion chains run on UTF-8: normalization, segmentation and
// the conversion steps, each step over one segment at a time.
#include "chinese_conversion.h"

#include <bit>
#include <cstring>
#include <memory>
#include <mutex>
#include <type_traits>

#include "byte_masks.h"
#include "family_maps.h"

namespace quillon::unicode {
namespace {

std::optional<DictionaryMatcher> matcherOf(const OpenccGroup& group) {
    if (group.empty()) return std::nullopt;
    return std::optional<DictionaryMatcher>(std::in_place, group);
}

// The position after the character at `p`; a byte that starts none is one.
const char* afterCharacter(const char* p, const char* end) {
    ++p;
    while (p < end && (static_cast<unsigned char>(*p) & 0xC0) == 0x80) ++p;
    return p;
}

// The UTF-8 of one character of three bytes at `p`, before `end`; false
// for anything else.
bool takeThreeByteCharacter(const unsigned char* p, const unsigned char* end, char32_t& c) {
    if (end - p < 3 || (p[0] & 0xF0) != 0xE0 || (p[1] & 0xC0) != 0x80 || (p[2] & 0xC0) != 0x80) return false;
    c = (p[0] & 0x0Fu) << 12 | (p[1] & 0x3Fu) << 6 | (p[2] & 0x3Fu);
    return c >= 0x800 && (c < 0xD800 || c > 0xDFFF);
}

// The length of the character at `p`, ASCII or of three bytes, with the
// character in `c`; 0 for anything else.
std::size_t takeShortCharacter(const unsigned char* p, const unsigned char* end, char32_t& c) {
    if (p[0] < 0x80) {
        c = p[0];
        return 1;
    }
    return takeThreeByteCharacter(p, end, c) ? 3 : 0;
}

// The one BMP character of `text`, or 0.
char16_t onlyCharacterOf(std::string_view text) {
    char32_t c = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    if (text.size() == 1 && p[0] < 0x80) return p[0];
    if (text.size() == 3 && takeThreeByteCharacter(p, end, c)) return static_cast<char16_t>(c);
    return 0;
}

bool segmentsLikeFirstTier(const OpenccGroup& segmentation, const OpenccGroup& step) {
    for (std::size_t tier = 1; tier < kOpenccMaxTiers; ++tier) {
        if (segmentation.tiers[tier][0] != kNoDictionary) return false;
    }
    return segmentation.tiers[0] == step.tiers[0];
}

}  // namespace

const ChineseConversionChain* ChineseConversionChain::named(std::string_view name) {
    const auto configurations = openccConfigurations();
    static std::mutex building;
    static std::vector<std::unique_ptr<ChineseConversionChain>> chains(configurations.size());
    for (std::size_t i = 0; i < configurations.size(); ++i) {
        if (configurations[i].name != name) continue;
        const std::lock_guard lock(building);
        if (!chains[i]) chains[i] = std::make_unique<ChineseConversionChain>(configurations[i]);
        return chains[i].get();
    }
    return nullptr;
}

ChineseConversionChain::ChineseConversionChain(const OpenccConfiguration& configuration)
    : configuration_(configuration),
      normalization_(matcherOf(configuration.normalization)) {
    for (std::size_t i = 0; i < configuration.stepCount; ++i) steps_[i] = matcherOf(configuration.steps[i]);
    if (configuration.segmentation.empty()) return;
    segmentsByFirstStep_ = segmentsLikeFirstTier(configuration.segmentation, configuration.steps[0]) &&
                           steps_[0]->laterTiersTakeOneCharacter();
    if (!segmentsByFirstStep_) {
        segmentation_ = matcherOf(configuration.segmentation);
        return;
    }
    // The second step need not look at text the first leaves without one of
    // its keys' first characters: the first step stops at them, and knows
    // which of its values hold one.
    const DictionaryMatcher& first = *steps_[0];
    feedsNext_.assign(first.valueIndexLimit(), false);
    if (configuration.stepCount > 1) {
        steps_[0]->alsoStopAtStartsOf(*steps_[1]);
        first.forEachValue([&](std::size_t index, std::string_view value) {
            feedsNext_[index] = steps_[1]->startsKeyIn(value);
        });
    }
    tabulateAlone();
}

void ChineseConversionChain::tabulateAlone() {
    const DictionaryMatcher& first = *steps_[0];
    const DictionaryMatcher* second = configuration_.stepCount > 1 ? &*steps_[1] : nullptr;
    alone_.assign(FamilyMaps::kBmpSize, 0);
    firstStepAlone_.assign(FamilyMaps::kBmpSize, 0);
    std::string converted;
    for (char32_t c = 0; c < FamilyMaps::kBmpSize; ++c) {
        if (c >= 0x80 && c < 0x800) continue;  // two bytes: the general way
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        const Utf8Code code = utf8Of(static_cast<char16_t>(c));
        const std::string_view text(reinterpret_cast<const char*>(&code), lengthOf(code));
        // The key the first step chooses where no longer one goes on.
        DictionaryMatch found;
        const bool keyed = first.nextMatch(text.data(), text.data() + text.size(), found) == text.data() &&
                           found.keyBytes != 0;
        std::string_view value = keyed ? found.value : text;
        const char16_t valueCharacter = onlyCharacterOf(value);
        if (valueCharacter == 0) continue;
        const std::uint32_t longerKeys = first.keysGoOnFrom(c) ? kLongerKeys : 0;
        // A key of the first tier makes a segment of its own.
        const bool joinsSegment = !keyed || found.tier != 0;
        if (joinsSegment) firstStepAlone_[c] = utf8Of(valueCharacter) | longerKeys;
        std::uint32_t laterKeys = 0;
        if (second) {
            // A longer key of the second step may take what the first writes
            // next, unless the character ends a segment.
            if (second->keysGoOnFrom(valueCharacter)) {
                if (!joinsSegment) continue;
                laterKeys = kLaterLongerKeys;
            }
            if (second->startsKeyIn(value)) {
                converted.clear();
                second->convert(value.data(), value.data() + value.size(), converted);
                value = converted;
            }
        }
        const char16_t written = onlyCharacterOf(value);
        if (written == 0) continue;
        alone_[c] = utf8Of(written) | longerKeys | laterKeys;
    }
    // A few keys start with ASCII ("SQL注入"): their first characters stop
    // the copies of ASCII words, which are worth it while they are few.
    asciiStopWords_.fill(byte_masks::kHighBits);
    std::size_t stops = 0;
    for (char16_t c = 0; c < 0x80; ++c) {
        if (alone_[c] == utf8Of(c) && firstStepAlone_[c] == utf8Of(c)) continue;
        if (stops == asciiStopWords_.size()) {
            asciiWordsKept_ = false;
            break;
        }
        asciiStopWords_[stops++] = c * byte_masks::kOnes;
    }
}

void ChineseConverter::convertByChain(std::string_view text, std::string& out) {
    const char* begin = text.data();
    const char* end = begin + text.size();
    if (const auto& normalization = chain_.normalization_;
        normalization && normalization->nextCandidate(begin, end) != end) {
        normalized_.clear();
        normalization->convert(begin, end, normalized_);
        begin = normalized_.data();
        end = begin + normalized_.size();
    }
    if (chain_.segmentsByFirstStep_) {
        segmentByFirstStep(begin, end, out);
    } else if (chain_.segmentation_) {
        segment(begin, end, out);
    } else {
        convertSegment(begin, end, 0, out);
    }
}

void ChineseConverter::convertSegment(const char* begin, const char* end, std::size_t firstStep,
                                      std::string& out) {
    for (std::size_t i = firstStep; i < chain_.configuration_.stepCount; ++i) {
        const DictionaryMatcher& step = *chain_.steps_[i];
        const char* candidate = step.nextCandidate(begin, end);
        if (candidate == end) continue;
        std::string& converted = steps_[i % 2];
        // Appended by length, which costs less than a copy between iterators.
        converted.clear();
        converted.append(std::string_view(begin, candidate));
        step.convert(candidate, end, converted);
        begin = converted.data();
        end = begin + converted.size();
    }
    out.append(std::string_view(begin, end));
}

void ChineseConverter::segment(const char* begin, const char* end, std::string& out) {
    const DictionaryMatcher& segmentation = *chain_.segmentation_;
    const char* gap = begin;
    const char* p = begin;
    DictionaryMatch found;
    while ((p = segmentation.nextMatch(p, end, found)) != end) {
        if (found.keyBytes == 0) {
            p = afterCharacter(p, end);  // no key fits here: the character stays in the gap
            continue;
        }
        if (gap != p) convertSegment(gap, p, 0, out);
        convertSegment(p, p + found.keyBytes, 0, out);
        gap = p += found.keyBytes;
    }
    if (gap != end) convertSegment(gap, end, 0, out);
}

const char* ChineseConverter::takeAlone(const char* begin, const char* end, const std::vector<std::uint32_t>& table,
                                        DictionaryMatch& found, std::string& out) const {
    // Written through a small buffer: a copy writes sixteen bytes at most.
    unsigned char buffer[256];
    unsigned char* const full = buffer + sizeof buffer - 16;
    unsigned char* o = buffer;
    const auto flush = [&] {
        out.append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(o - buffer));
        o = buffer;
    };
    const auto* p = reinterpret_cast<const unsigned char*>(begin);
    const auto* const last = reinterpret_cast<const unsigned char*>(end);
    // The length of the character at `q`, ASCII or of three bytes, with the
    // character in `c`; 0 for anything else. A surrogate's code is taken,
    // as the tables hold nothing for it. With `roomy`, four bytes from `q`
    // are known to lie before the end.
    const auto take = [last](const unsigned char* q, char32_t& c, auto roomy) -> std::size_t {
        if (q[0] < 0x80) {
            c = q[0];
            return 1;
        }
        if (!roomy && last - q < 4) return takeShortCharacter(q, last, c);
        std::uint32_t bytes;  // little-endian, as wordAt() takes words
        std::memcpy(&bytes, q, sizeof bytes);
        if ((bytes & 0xC0C0F0u) != 0x8080E0u) return 0;
        c = (bytes & 0x0Fu) << 12 | (bytes >> 2 & 0xFC0u) | (bytes >> 16 & 0x3Fu);
        return c >= 0x800 ? 3 : 0;
    };
    // What the loop reads of the chain, read once: a store of text may
    // alias anything, and the compiler would read it all again.
    const std::uint32_t* const alone = table.data();
    const std::uint32_t* const firstStep = chain_.firstStepAlone_.data();
    const DictionaryMatcher& first = *chain_.steps_[0];
    const DictionaryMatcher::PairFilter firstPairs = first.pairFilter();
    const bool asciiWordsKept = chain_.asciiWordsKept_;
    const bool phrasesAlone = &table == &chain_.alone_;
    const auto asciiStopWords = chain_.asciiStopWords_;
    constexpr std::uint32_t kEitherLongerKeys =
        ChineseConversionChain::kLongerKeys | ChineseConversionChain::kLaterLongerKeys;
    char32_t c = 0;
    std::size_t length = p < last ? take(p, c, std::false_type{}) : 0;
    // Takes the character at `p`, or returns false. With `roomy`, sixteen
    // bytes from `p` are known to lie before the end: most of a run is
    // taken without looking for it.
    const auto step = [&](auto roomy) -> bool {
        if (o >= full) flush();
#if defined(__SSE2__)
        if (c < 0x80 && asciiWordsKept && roomy && last - p >= 16 + 4) {
            // The same, sixteen bytes at a time, with room for the
            // character after them.
            const __m128i bytes = byte_masks::load16(p);
            unsigned stops = static_cast<unsigned>(_mm_movemask_epi8(bytes));
            for (const std::uint64_t stop : asciiStopWords) {
                const __m128i stopBytes = _mm_set1_epi64x(static_cast<long long>(stop));
                stops |= static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, stopBytes)));
            }
            if (const auto plain = static_cast<std::size_t>(std::countr_zero(stops | 0x10000u)); plain != 0) {
                _mm_storeu_si128(reinterpret_cast<__m128i*>(o), bytes);
                o += plain;
                p += plain;
                length = take(p, c, std::true_type{});
                return true;
            }
        }
#endif
        if (c < 0x80 && asciiWordsKept && (roomy || last - p >= 8)) {
            // ASCII that no key starts in is copied as it is, a word at a time.
            const std::uint64_t word = byte_masks::wordAt(reinterpret_cast<const char*>(p));
            std::uint64_t stops = word & byte_masks::kHighBits;
            for (const std::uint64_t stop : asciiStopWords) stops |= byte_masks::zeroBytes(word ^ stop);
            if (const auto plain = stops == 0 ? 8 : static_cast<std::size_t>(std::countr_zero(stops) / 8);
                plain != 0) {
                std::memcpy(o, p, 8);
                o += plain;
                p += plain;
                length = roomy || p < last ? take(p, c, roomy) : 0;
                return true;
            }
        }
        std::uint32_t code = alone[c];
        if (code == 0) return false;
        const unsigned char* const next = p + length;
        char32_t after = 0;
        const std::size_t afterLength = roomy || next < last ? take(next, after, roomy) : 0;
        if ((code & kEitherLongerKeys) != 0) {
            // A longer key may take the next character too: of the first
            // step the character itself, of the second what the first
            // writes for it, unless it starts a segment.
            if (roomy || next < last) {
                if (afterLength == 0) return false;
                if ((code & ChineseConversionChain::kLongerKeys) != 0 && firstPairs.mayGoOn(c, after)) {
                    // Mostly the text goes on with none of the keys the
                    // pair starts, and the character is alone after all;
                    // a longer key ends the run, found.
                    found = first.longerMatchAt(c, after, reinterpret_cast<const char*>(p),
                                                reinterpret_cast<const char*>(next),
                                                reinterpret_cast<const char*>(next + afterLength), end);
                    if (found.keyBytes != 0) {
                        // A phrase of the first tier is a segment of its
                        // own: where the segment before and the phrase ask
                        // nothing of the later steps, it is written here
                        // and the run goes on after it.
                        if (!phrasesAlone || found.tier != 0 || chain_.feedsNext_[found.valueIndex]) return false;
                        if (o + found.value.size() > buffer + sizeof buffer) flush();
                        std::memcpy(o, found.value.data(), found.value.size());
                        o += found.value.size();
                        p += found.keyBytes;
                        found.keyBytes = 0;
                        length = p < last ? take(p, c, std::false_type{}) : 0;
                        return true;
                    }
                }
                if ((code & ChineseConversionChain::kLaterLongerKeys) != 0) {
                    const std::uint32_t written = firstStep[c] & ~kEitherLongerKeys;
                    const std::uint32_t writtenAfter = firstStep[after] & ~kEitherLongerKeys;
                    if (written == 0 || writtenAfter == 0 ||
                        chain_.steps_[1]->mayGoOn(characterOf(written), characterOf(writtenAfter))) {
                        return false;
                    }
                }
            }
            code &= ~kEitherLongerKeys;
        }
        std::memcpy(o, &code, sizeof code);
        o += lengthOf(code);
        p = next;
        c = after;
        length = afterLength;
        return true;
    };
    bool going = true;
    while (going && length != 0 && last - p >= 16) going = step(std::true_type{});
    while (going && length != 0) going = step(std::false_type{});
    flush();
    return reinterpret_cast<const char*>(p);
}

bool ChineseConverter::endsSegment(std::string_view written, const char* next, const char* end) const {
    const char16_t character = onlyCharacterOf(written);
    if (character == 0) return false;
    const DictionaryMatcher& second = *chain_.steps_[1];
    if (!second.keysGoOnFrom(character) || next == end) return true;
    // What the first step writes next, unless a key of its first tier,
    // which starts a segment, takes the next character.
    char32_t after = 0;
    if (takeShortCharacter(reinterpret_cast<const unsigned char*>(next), reinterpret_cast<const unsigned char*>(end),
                           after) == 0) {
        return false;
    }
    const std::uint32_t writtenAfter = chain_.firstStepAlone_[after] & ~ChineseConversionChain::kLongerKeys;
    return writtenAfter != 0 && !second.mayGoOn(character, characterOf(writtenAfter));
}

void ChineseConverter::segmentByFirstStep(const char* begin, const char* end, std::string& out) {
    const DictionaryMatcher& first = *chain_.steps_[0];
    const DictionaryMatcher* second = chain_.configuration_.stepCount > 1 ? &*chain_.steps_[1] : nullptr;
    // The text before a phrase is one segment, written to `out` as the first
    // step converts it; the later steps take it back only when they need to.
    std::size_t gapStart = out.size();
    bool gapFeedsNext = false;
    const auto endGap = [&] {
        if (gapFeedsNext) {
            gap_.assign(out, gapStart);
            out.resize(gapStart);
            convertSegment(gap_.data(), gap_.data() + gap_.size(), 1, out);
        }
        gapFeedsNext = false;
    };
    const char* p = begin;
    DictionaryMatch found;
    while (true) {
        // Where the text before is a segment that asks nothing of the later
        // steps, a character no longer key takes is a segment of its own;
        // else it joins the segment, which the later steps convert again.
        // A run that ends at a longer key has found it.
        found.keyBytes = 0;
        if (const char* taken = takeAlone(p, end, gapFeedsNext ? chain_.firstStepAlone_ : chain_.alone_, found, out);
            taken != p) {
            p = taken;
            if (!gapFeedsNext) gapStart = out.size();
        }
        const char* candidate = found.keyBytes != 0 ? p : first.nextMatch(p, end, found);
        if (candidate != p) out.append(std::string_view(p, candidate));
        if (candidate == end) break;
        // What joins the segment and holds a key of the second step is a
        // segment of its own where the segment before asks nothing of the
        // second step and no longer key of it goes on.
        const auto join = [&](std::string_view written, bool feedsNext) {
            if (feedsNext && !gapFeedsNext && endsSegment(written, p, end)) {
                convertSegment(written.data(), written.data() + written.size(), 1, out);
                gapStart = out.size();
                return;
            }
            out.append(written);
            gapFeedsNext = gapFeedsNext || feedsNext;
        };
        if (found.keyBytes == 0) {
            p = afterCharacter(candidate, end);
            const std::string_view character(candidate, static_cast<std::size_t>(p - candidate));
            join(character, second && second->startsKeyIn(character));
            continue;
        }
        p = candidate + found.keyBytes;
        const bool feedsNext = chain_.feedsNext_[found.valueIndex];
        if (found.tier != 0) {
            join(found.value, feedsNext);
            continue;
        }
        endGap();
        if (feedsNext) {
            convertSegment(found.value.data(), found.value.data() + found.value.size(), 1, out);
        } else {
            out.append(found.value);
        }
        gapStart = out.size();
    }
    endGap();
}

}  // namespace quillon::unicode
