// A trie over code points for one group of dictionaries. Prose is mostly
// characters that start a key, so a match must cost little: the first
// character is found through a table indexed by code point, and the mask in
// its node tells, mostly without a lookup, that no longer key goes on; past
// it a step costs one slot of the table of links, which holds the node.
#include "dictionary_matcher.h"

#include <unicode/utf8.h>

#include <algorithm>
#include <bit>
#include <stdexcept>

#include "byte_masks.h"
#include "utf8_input.h"

namespace quillon::unicode {
namespace {

// A character of other than three bytes, or a sequence that is no character.
[[gnu::noinline]] std::int32_t takeOtherCodePoint(const char*& p, const char* end) {
    std::int32_t i = 0;
    UChar32 c;
    U8_NEXT(p, i, end - p, c);
    p += i;
    return c;
}

// Decodes the character at `p`, moving `p` past it; a sequence that is no
// character gives a negative value and moves on by at least one byte. Hanzi
// take three bytes, which are decoded here without a call.
[[gnu::always_inline]] inline std::int32_t takeCodePoint(const char*& p, const char* end) {
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    if ((b[0] & 0xF0) == 0xE0 && end - p >= 3 && (b[1] & 0xC0) == 0x80 && (b[2] & 0xC0) == 0x80) {
        const std::int32_t c = (b[0] & 0x0F) << 12 | (b[1] & 0x3F) << 6 | (b[2] & 0x3F);
        if (c >= 0x800 && (c < 0xD800 || c > 0xDFFF)) {
            p += 3;
            return c;
        }
    }
    return takeOtherCodePoint(p, end);
}

// By the lead of the sequence of three bytes at the start of a word
// (byte_masks::wordAt), whether it may be no character: E0 leads the
// overlong forms, ED the surrogates.
bool mayBeNoCharacter(std::uint64_t word) { return ((1u << 0x0 | 1u << 0xD) >> (word & 0x0F) & 1) != 0; }

template <typename F>
void forEachEntry(std::string_view entries, F&& onEntry) {
    while (!entries.empty()) {
        const std::size_t lineEnd = entries.find('\n');
        const std::string_view line = entries.substr(0, lineEnd);
        const std::size_t tab = line.find('\t');
        onEntry(line.substr(0, tab), line.substr(tab + 1));
        entries.remove_prefix(lineEnd + 1);
    }
}

std::uint64_t maskBit(char32_t c) { return std::uint64_t{1} << (c & 63); }

std::size_t hashOf(std::uint64_t parentAndCodePoint) {
    return static_cast<std::size_t>((parentAndCodePoint * 0x9E3779B97F4A7C15u) >> 20);
}

}  // namespace

DictionaryMatcher::DictionaryMatcher(const OpenccGroup& group) : pages_(kCodePointLimit >> kPageBits, 0) {
    const auto dictionaries = openccDictionaries();
    // Every character of a key after its first makes at most one slot, and
    // none where the key before it in its sorted dictionary has the same
    // characters up to it: that bounds the table, which is kept at most two
    // thirds full. The first characters make the pages of root nodes.
    std::size_t laterCharacters = 0;
    std::size_t longerKeys = 0;
    std::size_t valueBytes = 0;
    std::uint16_t pageCount = 1;  // page 0 stays empty
    for (const auto& tier : group.tiers) {
        for (const std::int8_t index : tier) {
            if (index == kNoDictionary) continue;
            std::string_view previous;
            forEachEntry(dictionaries[static_cast<std::size_t>(index)].entries,
                         [&](std::string_view key, std::string_view value) {
                valueBytes += 1 + value.size();
                const auto shared = static_cast<std::size_t>(
                    std::mismatch(key.begin(), key.end(), previous.begin(), previous.end()).first - key.begin());
                previous = key;
                const char* p = key.data();
                const char* end = p + key.size();
                const auto first = static_cast<char32_t>(takeCodePoint(p, end));
                if (pages_[first >> kPageBits] == 0) pages_[first >> kPageBits] = pageCount++;
                markStart(first);
                longerKeys += p < end;
                while (p < end) {
                    takeCodePoint(p, end);
                    laterCharacters += static_cast<std::size_t>(p - key.data()) > shared;
                }
            });
        }
    }
    slots_.resize(std::bit_ceil(laterCharacters + laterCharacters / 2 + 2));
    // Eight bits or more a key, and fewer pairs than keys: a pair that
    // starts no key passes the filter once in some fifty, and the filter
    // stays small enough to be cached.
    const std::size_t filterWords = std::bit_ceil(longerKeys / 8 + 2);
    pairFilter_.resize(2 * filterWords);
    pairWordMask_ = filterWords - 1;
    roots_.resize(std::size_t{pageCount} << kPageBits);
    if (roots_.size() + slots_.size() > (std::size_t{1} << kLinkBits) || filterWords > (std::size_t{1} << 20)) {
        throw std::length_error("dictionary too large for its trie");
    }
    // Reserved whole, as the peak of a doubling would count against memory.
    valueText_.reserve(valueBytes);

    for (std::size_t tier = 0; tier < kOpenccMaxTiers; ++tier) {
        for (const std::int8_t index : group.tiers[tier]) {
            if (index == kNoDictionary) continue;
            forEachEntry(dictionaries[static_cast<std::size_t>(index)].entries,
                         [&](std::string_view key, std::string_view value) {
                // Within a tier the first dictionary to hold a key gives its value.
                std::uint64_t& values = valuesOf(addKey(key, tier));
                if (valueOf(values, tier) != 0) return;
                const std::size_t index = valueText_.size();
                if (index + 1 > kValueMask) throw std::length_error("too many values for a trie");
                if (value.size() > kLongestValue) throw std::length_error("a value too long for a trie");
                valueText_ += static_cast<char>(value.size());
                valueText_.append(value);
                values |= std::uint64_t{index + 1} << (kValueBits * tier);
            });
        }
    }
    tabulateAsciiStarts();
}

void DictionaryMatcher::tabulateAsciiStarts() {
    asciiStartWords_.fill(byte_masks::kHighBits);
    std::size_t starts = 0;
    anyAsciiStarts_ = false;
    fewAsciiStarts_ = true;
    for (std::uint64_t c = 0; c < 128; ++c) {
        if (!asciiStarts_[c]) continue;
        anyAsciiStarts_ = true;
        if (starts == asciiStartWords_.size()) {
            fewAsciiStarts_ = false;
            continue;
        }
        asciiStartWords_[starts++] = c * byte_masks::kOnes;
    }
}

void DictionaryMatcher::alsoStopAtStartsOf(const DictionaryMatcher& other) {
    for (std::size_t i = 0; i < bmpStarts_.size(); ++i) bmpStarts_[i] |= other.bmpStarts_[i];
    for (std::size_t c = 0; c < 128; ++c) asciiStarts_[c] |= other.asciiStarts_[c];
    tabulateAsciiStarts();
    firstLead_ = std::min(firstLead_, other.firstLead_);
    secondLow_ = std::min(secondLow_, other.secondLow_);
    secondHigh_ = std::max(secondHigh_, other.secondHigh_);
    stopsBeyondBmp_ = &other;
}

std::uint32_t DictionaryMatcher::addKey(std::string_view key, std::size_t tier) {
    const char* p = key.data();
    const char* end = p + key.size();
    const auto first = static_cast<char32_t>(takeCodePoint(p, end));
    std::uint32_t node = rootOf(first);
    if (p < end) {
        const char* q = p;
        const auto second = static_cast<char32_t>(takeCodePoint(q, end));
        const auto third = q < end ? static_cast<char32_t>(takeCodePoint(q, end)) : kHeadEnds;
        const auto [word, bits] = pairBitsOf(first, second, pairWordMask_);
        pairFilter_[word] |= bits;
        pairFilter_[word + 1] |= headBitsOf(first, second, third);
    }
    while (p < end) {
        if (tier > 0) laterTiersTakeOneCharacter_ = false;
        const auto c = static_cast<char32_t>(takeCodePoint(p, end));
        node = madeChild(node, c);
    }
    return node;
}

void DictionaryMatcher::markStart(char32_t c) {
    char lead[U8_MAX_LENGTH];
    std::int32_t length = 0;
    U8_APPEND_UNSAFE(lead, length, c);
    firstLead_ = std::min(firstLead_, static_cast<unsigned char>(lead[0]));
    if (length > 1) {
        secondLow_ = std::min(secondLow_, static_cast<unsigned char>(lead[1]));
        secondHigh_ = std::max(secondHigh_, static_cast<unsigned char>(lead[1]));
    }
    if (c < 128) asciiStarts_[c] = true;
    if (c < kBmpLimit) bmpStarts_[c >> 6] |= maskBit(c);
}

// The slot of that key, or the free slot where it would go.
inline std::size_t DictionaryMatcher::firstSlotOf(std::uint64_t key) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t slot = hashOf(key) & mask;; slot = (slot + 1) & mask) {
        if (slots_[slot].link == 0 || (slots_[slot].link & kKeyMask) == key) return slot;
    }
}

inline const DictionaryMatcher::Slot* DictionaryMatcher::childOf(std::uint32_t parent, char32_t c) const {
    const Slot& slot = slots_[firstSlotOf(keyOf(parent, c))];
    return slot.link != 0 ? &slot : nullptr;
}

std::uint32_t DictionaryMatcher::madeChild(std::uint32_t parent, char32_t c) {
    const std::uint64_t key = keyOf(parent, c);
    const std::size_t index = firstSlotOf(key);
    const auto child = static_cast<std::uint32_t>(roots_.size() + index);
    if (slots_[index].link != 0) return child;
    if (parent < roots_.size()) {
        roots_[parent].childMask |= maskBit(c);
    } else {
        slots_[parent - roots_.size()].link |= hintBit(c);
    }
    slots_[index].link = key;
    return child;
}

const char* DictionaryMatcher::nextCandidate(const char* from, const char* end) const {
    char32_t first;
    const char* after;
    return findCandidate(from, end, first, after);
}

inline const char* DictionaryMatcher::findCandidate(const char* from, const char* end, char32_t& first,
                                             const char*& after) const {
    const char* p = from;
    // Where every key starts with a character of more than one byte, the
    // text goes by in blocks up to a byte that can lead such a character
    // and is followed by one that can come second in it: normalization's
    // few keys, say, are rare in any text, and the lead of its keys leads
    // the common punctuation as well. A byte of C0 and up is never inside a
    // character, so that every such byte is looked at as a lead.
    const unsigned char firstLead = firstLead_ >= 0xC0 ? firstLead_ : 0;
    const unsigned char secondLow = secondLow_;
    const auto secondEnd = static_cast<unsigned char>(secondHigh_ + 1);
    while (p < end) {
        const auto byte = static_cast<unsigned char>(*p);
        if (byte < firstLead) {
            ++p;
            while (end - p > 16) {
                const auto* bytes = reinterpret_cast<const unsigned char*>(p);
                if (const unsigned high = ~byte_masks::belowBits16(bytes, firstLead) & 0xFFFF; high != 0) {
                    const unsigned seconds = byte_masks::belowBits16(bytes + 1, secondEnd) &
                                             ~byte_masks::belowBits16(bytes + 1, secondLow);
                    if (const unsigned leads = high & seconds; leads != 0) {
                        p += std::countr_zero(leads);
                        break;
                    }
                }
                p += 16;
            }
            while (p < end && static_cast<unsigned char>(*p) < firstLead) ++p;
            continue;
        }
        if (byte < 0x80 && anyAsciiStarts_) {
            if (asciiStarts_[byte]) {
                first = byte;
                after = p + 1;
                return p;
            }
            ++p;
#if defined(__SSE2__)
            // Up to the next byte of 80 and up or character a key starts
            // with, sixteen bytes at a time.
            while (fewAsciiStarts_ && end - p >= 16) {
                const __m128i bytes = byte_masks::load16(reinterpret_cast<const unsigned char*>(p));
                auto stops = static_cast<unsigned>(_mm_movemask_epi8(bytes));
                for (const std::uint64_t start : asciiStartWords_) {
                    const __m128i startBytes = _mm_set1_epi64x(static_cast<long long>(start));
                    stops |= static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, startBytes)));
                }
                if (stops != 0) {
                    p += std::countr_zero(stops);
                    break;
                }
                p += 16;
            }
#endif
            continue;
        }
        if (byte < 0x80) {
            // No key starts with ASCII: whole words of it go by at once.
            while (end - p >= 8 && (byte_masks::wordAt(p) & byte_masks::kHighBits) == 0) p += 8;
            while (p < end && static_cast<unsigned char>(*p) < 0x80) ++p;
            continue;
        }
        if (end - p >= 8) {
            // Hanzi mostly come two at a time in a word, and mostly start
            // no key: both are looked at without a call.
            const std::uint64_t word = byte_masks::wordAt(p);
            if (startsWithTwoThreeByteSequences(word) && !mayBeNoCharacter(word) && !mayBeNoCharacter(word >> 24)) {
                if (startsWithSequence(word)) {
                    first = static_cast<char32_t>(threeByteSequence(word));
                    after = p + 3;
                    return p;
                }
                if (startsWithSequence(word >> 24)) {
                    first = static_cast<char32_t>(threeByteSequence(word >> 24));
                    after = p + 6;
                    return p + 3;
                }
                p += 6;
                continue;
            }
        }
        const char* at = p;
        const std::int32_t c = takeCodePoint(p, end);
        if (c >= 0 && mayStart(static_cast<char32_t>(c))) {
            first = static_cast<char32_t>(c);
            after = p;
            return at;
        }
    }
    return end;
}

const char* DictionaryMatcher::nextMatch(const char* from, const char* end, DictionaryMatch& found,
                                         std::size_t tierCount) const {
    char32_t first;
    const char* after;
    const char* at = findCandidate(from, end, first, after);
    if (at == end) {
        found = {};
        return at;
    }
    prefetchWalkAt(after, end);
    found = walk<false>(first, at, after, end, tierCount);
    return at;
}

inline bool DictionaryMatcher::mayHoldLongerKey(char32_t first, char32_t second, const char* p, const char* end) const {
    // The pair passed the filter: the word of its heads is at hand.
    const std::uint64_t heads = pairFilter_[pairBitsOf(first, second, pairWordMask_).word + 1];
    const auto holds = [&](char32_t third) {
        const std::uint64_t bits = headBitsOf(first, second, third);
        return (heads & bits) == bits;
    };
    if (holds(kHeadEnds)) return true;
    if (p >= end) return false;
    const std::int32_t third = takeCodePoint(p, end);
    return third >= 0 && holds(static_cast<char32_t>(third));
}

DictionaryMatch DictionaryMatcher::longerMatchAt(char32_t first, char32_t second, const char* at,
                                                 const char* afterFirst, const char* afterSecond,
                                                 const char* end) const {
    if (!mayHoldLongerKey(first, second, afterSecond, end)) return {};
    const DictionaryMatch found = walk<true>(first, at, afterFirst, end, kOpenccMaxTiers, second, afterSecond);
    return found.keyBytes > static_cast<std::size_t>(afterFirst - at) ? found : DictionaryMatch{};
}

// Most keys chosen are one character long: the walk at the next character
// comes next, and what it reads first is fetched while this one goes on.
inline void DictionaryMatcher::prefetchWalkAt(const char* p, const char* end) const {
    if (end - p < 6) return;
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    if ((b[0] & 0xF0) != 0xE0 || (b[3] & 0xF0) != 0xE0) return;
    const char32_t c = (b[0] & 0x0F) << 12 | (b[1] & 0x3F) << 6 | (b[2] & 0x3F);
    const char32_t next = (b[3] & 0x0F) << 12 | (b[4] & 0x3F) << 6 | (b[5] & 0x3F);
    const std::uint32_t root = rootOf(c);
    __builtin_prefetch(&roots_[root]);
    __builtin_prefetch(&slots_[hashOf(keyOf(root, next)) & (slots_.size() - 1)]);
}

template <bool kSecondKnown>
inline DictionaryMatch DictionaryMatcher::walk(char32_t first, const char* at, const char* next, const char* end,
                                               std::size_t tierCount, char32_t second,
                                               const char* afterSecond) const {
    // The first tier with a key on the path wins, with its longest key there:
    // a node's value of an earlier tier than the best so far takes over, one
    // of the same tier goes further, one of a later tier is of no account.
    std::uint64_t tiersOfAccount = (std::uint64_t{1} << (kValueBits * tierCount)) - 1;
    std::size_t tier = 0;
    std::uint32_t value = 0;
    const char* keyEnd = at;
    const char* p = next;
    const auto take = [&](std::uint64_t values) {
        if (values &= tiersOfAccount; values != 0) {
            tier = static_cast<std::size_t>(std::countr_zero(values)) / kValueBits;
            value = valueOf(values, tier);
            keyEnd = p;
            tiersOfAccount = (std::uint64_t{1} << (kValueBits * (tier + 1))) - 1;
        }
    };
    std::uint32_t node = rootOf(first);
    const Root& root = roots_[node];
    // From the root, the mask and the pair filter mostly answer without a
    // lookup; further on, the hint of the node's slot.
    std::int32_t c = 0;
    bool goesOn;
    if constexpr (kSecondKnown) {
        // Where the later tiers hold single characters, every longer key is
        // of the first tier and wins over the root's own: the root, far
        // away in memory, is not read, the slot telling what its mask would.
        if (!laterTiersTakeOneCharacter_) take(root.values);
        c = static_cast<std::int32_t>(second);
        p = afterSecond;
        goesOn = laterTiersTakeOneCharacter_ || (root.childMask & maskBit(second)) != 0;
    } else {
        take(root.values);
        goesOn = root.childMask != 0 && p < end && (c = takeCodePoint(p, end)) >= 0 &&
                 (root.childMask & maskBit(static_cast<char32_t>(c))) != 0 &&
                 mayGoOn(first, static_cast<char32_t>(c));
    }
    if (goesOn) {
        for (const Slot* slot = childOf(node, static_cast<char32_t>(c)); slot != nullptr;) {
            take(slot->values);
            if ((slot->link & ~kKeyMask) == 0 || p >= end || (c = takeCodePoint(p, end)) < 0 ||
                (slot->link & hintBit(static_cast<char32_t>(c))) == 0) {
                break;
            }
            node = static_cast<std::uint32_t>(roots_.size() + static_cast<std::size_t>(slot - slots_.data()));
            slot = childOf(node, static_cast<char32_t>(c));
        }
    }
    if (value == 0) return {};
    return {static_cast<std::size_t>(keyEnd - at), tier, valueAt(value - 1), value - 1};
}

void DictionaryMatcher::convert(const char* from, const char* end, std::string& out) const {
    // Text is written when a value replaces a key: a character that starts
    // keys, none of which fits, goes with the text around it. A later step
    // converts most of the text again, with a candidate every few
    // characters: each is walked here, not through a call.
    const char* written = from;
    const char* p = from;
    char32_t first;
    const char* after;
    while ((p = findCandidate(p, end, first, after)) != end) {
        prefetchWalkAt(after, end);
        const DictionaryMatch found = walk<false>(first, p, after, end, kOpenccMaxTiers);
        if (found.keyBytes != 0) {
            out.append(std::string_view(written, p));
            out.append(found.value);
            p = written = p + found.keyBytes;
        } else {
            p = after;
        }
    }
    out.append(std::string_view(written, end));
}

}  // namespace quillon::unicode
