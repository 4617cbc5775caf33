#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "huge_page_allocator.h"
#include "opencc_tables.h"

namespace quillon::unicode {

// A key a group of dictionaries chose: the bytes it covers in the text, the
// tier it came from and the value written for it. No key: keyBytes 0.
struct DictionaryMatch {
    std::size_t keyBytes = 0;
    std::size_t tier = 0;
    std::string_view value;
    std::size_t valueIndex = 0;  // for valueAt()
};

// One group of OpenCC dictionaries compiled for matching UTF-8 text: a trie
// over code points whose nodes carry each tier's value. Text that no key
// starts in is passed over quickly: a bit per code point says whether a key
// starts with it, a table indexed by code point holds the first node of every
// key, and each node a mask of its children's code points, so that most walks
// end without looking further. The nodes after the first character live in
// the slots of the hash table that links them to their parents: a step of a
// walk reads one slot, not a link and then a node elsewhere.
class DictionaryMatcher {
public:
    explicit DictionaryMatcher(const OpenccGroup& group);

    // The first position from `from` on where a key of the group may start.
    const char* nextCandidate(const char* from, const char* end) const;

    // The first position from `from` on where a key of the group may start,
    // with the key the group chooses there in `found`: of the first
    // `tierCount` tiers the first with a key there, and of that tier the
    // longest key; a key ends by `end`. `found` is empty where a key starts
    // but none fits, and at `end`.
    const char* nextMatch(const char* from, const char* end, DictionaryMatch& found,
                          std::size_t tierCount = kOpenccMaxTiers) const;

    // The key the group chooses at `at`, as nextMatch() finds it there,
    // where it is longer than the first character; else an empty match.
    // For a caller that has decoded the two characters there, `first` up to
    // `afterFirst` and `second` up to `afterSecond`, and found that a key
    // may start with the pair (mayGoOn).
    DictionaryMatch longerMatchAt(char32_t first, char32_t second, const char* at, const char* afterFirst,
                                  const char* afterSecond, const char* end) const;

    // Appends [from, end) to `out` with every chosen key replaced by its value.
    void convert(const char* from, const char* end, std::string& out) const;

    // Whether a key of the group starts anywhere in `text`.
    bool startsKeyIn(std::string_view text) const {
        return nextCandidate(text.data(), text.data() + text.size()) != text.data() + text.size();
    }

    // The values of all keys, each once, by their index, which is below
    // valueIndexLimit().
    std::size_t valueIndexLimit() const { return valueText_.size(); }
    std::string_view valueAt(std::size_t index) const {
        return {valueText_.data() + index + 1, static_cast<unsigned char>(valueText_[index])};
    }
    // Calls onValue(index, value) for each value.
    template <typename F>
    void forEachValue(F&& onValue) const {
        for (std::size_t index = 0; index < valueText_.size(); index += valueAt(index).size() + 1) {
            onValue(index, valueAt(index));
        }
    }

    // Makes the characters keys of `other` start with candidates here as
    // well, with no key of their own, so that a run between candidates holds
    // none of them.
    void alsoStopAtStartsOf(const DictionaryMatcher& other);

    // Whether a key of more than one character starts with `first`.
    bool keysGoOnFrom(char32_t first) const { return roots_[rootOf(first)].childMask != 0; }

    // Whether a key may start with `first` and then `second`: false for
    // certain, true perhaps. Cheaper than a match: a word of a small table.
    bool mayGoOn(char32_t first, char32_t second) const { return pairFilter().mayGoOn(first, second); }

    // The same test with the table's place read once, for a loop that asks
    // it for most characters: through a matcher, every store of text made
    // the compiler read the place again.
    class PairFilter {
    public:
        PairFilter(const std::uint64_t* words, std::size_t wordMask) : words_(words), wordMask_(wordMask) {}
        bool mayGoOn(char32_t first, char32_t second) const {
            const auto [word, bits] = pairBitsOf(first, second, wordMask_);
            return (words_[word] & bits) == bits;
        }

    private:
        const std::uint64_t* words_;
        std::size_t wordMask_;
    };
    PairFilter pairFilter() const { return {pairFilter_.data(), pairWordMask_}; }

    // Whether every key of the tiers after the first is one character long.
    bool laterTiersTakeOneCharacter() const { return laterTiersTakeOneCharacter_; }

private:
    // Per tier, 21 bits: 1 + the index of the value, or 0.
    static constexpr int kValueBits = 21;
    static constexpr std::uint32_t kValueMask = (1u << kValueBits) - 1;
    static std::uint32_t valueOf(std::uint64_t values, std::size_t tier) {
        return static_cast<std::uint32_t>(values >> (kValueBits * tier)) & kValueMask;
    }
    struct Root {
        std::uint64_t childMask = 0;  // bit (code point % 64) of each child
        std::uint64_t values = 0;
    };
    // A node after the first character of a key, in the slot of its link.
    struct Slot {
        // Free: 0. Else a bit (code point % kHintBits) of each child above
        // the parent's number and the code point, kLinkBits each.
        std::uint64_t link = 0;
        std::uint64_t values = 0;
    };
    static constexpr int kLinkBits = 21;
    static constexpr std::uint64_t kKeyMask = (std::uint64_t{1} << (2 * kLinkBits)) - 1;
    static constexpr int kHintBits = 64 - 2 * kLinkBits;
    static std::uint64_t keyOf(std::uint32_t parent, char32_t c) { return std::uint64_t{parent} << kLinkBits | c; }
    static std::uint64_t hintBit(char32_t c) { return std::uint64_t{1} << (2 * kLinkBits + c % kHintBits); }
    // The node of a key's first character: the nodes of a page of 64 code
    // points lie together, page 0 empty for the pages no key starts in.
    std::uint32_t rootOf(char32_t c) const {
        return c < kCodePointLimit ? std::uint32_t{pages_[c >> kPageBits]} << kPageBits | (c & kPageMask) : 0;
    }
    bool startsKey(char32_t c) const {
        const Root& root = roots_[rootOf(c)];
        return root.values != 0 || root.childMask != 0;
    }
    bool mayStart(char32_t c) const {
        return c < kBmpLimit ? (bmpStarts_[c >> 6] >> (c & 63) & 1) != 0
                             : startsKey(c) || (stopsBeyondBmp_ && stopsBeyondBmp_->mayStart(c));
    }
    // mayStart() for the character of the sequence of three bytes at the
    // start of a word (byte_masks::wordAt), read without decoding it whole.
    bool startsWithSequence(std::uint64_t word) const {
        return (bmpStarts_[(word & 0x0F) << 6 | (word >> 8 & 0x3F)] >> (word >> 16 & 0x3F) & 1) != 0;
    }
    // nextCandidate, with the first character there and the position after it.
    [[gnu::always_inline]] const char* findCandidate(const char* from, const char* end, char32_t& first,
                                                     const char*& after) const;
    // A node's number: a root's index in roots_, or after them a slot's.
    std::uint64_t& valuesOf(std::uint32_t node) {
        return node < roots_.size() ? roots_[node].values : slots_[node - roots_.size()].values;
    }
    std::uint32_t addKey(std::string_view key, std::size_t tier);
    void markStart(char32_t c);
    [[gnu::always_inline]] std::size_t firstSlotOf(std::uint64_t key) const;
    // The slot of that child, or null.
    [[gnu::always_inline]] const Slot* childOf(std::uint32_t parent, char32_t c) const;
    std::uint32_t madeChild(std::uint32_t parent, char32_t c);
    // A pair's word of the filter, from the middle bits of its hash, and its
    // two bits there, from the top twelve: shifts by constants, which cost
    // less on every character a phrase may start with.
    struct PairBits {
        std::size_t word;
        std::uint64_t bits;
    };
    static PairBits bitsOfHash(std::uint64_t hash, std::size_t wordMask) {
        return {static_cast<std::size_t>(hash >> 32) & wordMask,
                std::uint64_t{1} << (hash >> 58) | std::uint64_t{1} << (hash >> 52 & 63)};
    }
    static std::uint64_t pairHash(char32_t first, char32_t second) {
        return (std::uint64_t{first} << 21 | second) * 0x9E3779B97F4A7C15u;
    }
    // The pair's word, of every other word of the filter: the word after it
    // holds the bits of the heads of the keys the pair starts.
    static PairBits pairBitsOf(char32_t first, char32_t second, std::size_t wordMask) {
        const auto [word, bits] = bitsOfHash(pairHash(first, second), wordMask);
        return {2 * word, bits};
    }
    // The two bits of the head of a key: its first three characters, or its
    // two and kHeadEnds.
    static constexpr char32_t kHeadEnds = 0x110000;
    static std::uint64_t headBitsOf(char32_t first, char32_t second, char32_t third) {
        return bitsOfHash((pairHash(first, second) ^ third) * 0xBF58476D1CE4E5B9u, 0).bits;
    }
    // Whether a key of more than one character may start with the pair and
    // go on at `p`: false for certain, true perhaps.
    [[gnu::always_inline]] bool mayHoldLongerKey(char32_t first, char32_t second, const char* p,
                                                 const char* end) const;
    [[gnu::always_inline]] void prefetchWalkAt(const char* p, const char* end) const;
    // With kSecondKnown, the caller has decoded the second character too
    // and passed it through the pair filter, and asks only for a key longer
    // than the first character.
    template <bool kSecondKnown>
    [[gnu::always_inline]] DictionaryMatch walk(char32_t first, const char* at, const char* next, const char* end,
                                                std::size_t tierCount, char32_t second = 0,
                                                const char* afterSecond = nullptr) const;

    static constexpr char32_t kCodePointLimit = 0x110000;
    static constexpr char32_t kBmpLimit = 0x10000;
    static constexpr int kPageBits = 6;
    static constexpr char32_t kPageMask = (1u << kPageBits) - 1;

    std::vector<Root> roots_;  // roots_[0] stands for no node; in pages
    std::vector<Slot, HugePageAllocator<Slot>> slots_;  // open addressing by parent and code point
    // Two bits in one word per hash of the first two characters of every
    // longer key, in a table small enough to stay cached, unlike slots_.
    // Each such word is followed by one of the same for the heads of those
    // keys: most pairs that pass the filter start only keys of three
    // characters or more, which the text mostly does not go on with, and the
    // word next to the pair's tells so without a walk through the trie.
    std::vector<std::uint64_t> pairFilter_;
    std::size_t pairWordMask_ = 0;  // of the pairs' words; at most 20 bits, below the bits of a word
    std::vector<std::uint16_t> pages_;  // code point >> kPageBits -> page of root nodes
    std::array<std::uint64_t, kBmpLimit / 64> bmpStarts_ = {};
    // The values one after another, in the order of their keys, which keeps
    // the values of a phrase's neighbours in the trie close to its own. A
    // byte of its length leads each, and a value's index is its place: a
    // match reads its value from one place, not from a table of starts
    // first, which cost a second wait on memory.
    std::string valueText_;
    static constexpr std::size_t kLongestValue = 0xFF;  // its length in a byte
    const DictionaryMatcher* stopsBeyondBmp_ = nullptr;
    bool asciiStarts_[128] = {};
    bool anyAsciiStarts_ = false;
    // While keys start with few ASCII characters, each of them in every
    // byte of a word, the rest of the words 80 in every byte (which stops
    // a block of ASCII anyway): blocks of ASCII without them go by at once.
    std::array<std::uint64_t, 4> asciiStartWords_ = {};
    bool fewAsciiStarts_ = false;
    void tabulateAsciiStarts();
    unsigned char firstLead_ = 0xFF;  // the least first byte of a key
    // The least and the greatest second byte of a key whose first
    // character takes more than one byte.
    unsigned char secondLow_ = 0xFF;
    unsigned char secondHigh_ = 0;
    bool laterTiersTakeOneCharacter_ = true;
};

}  // namespace quillon::unicode
