// Conversion by phrase: a character table gives 发 one traditional form, but
// 头发 wants 髮 and 发现 wants 發. The longest phrase that starts at a
// character, read left to right within the line, chooses the counterparts of
// the characters it covers; every other character goes through the table.
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "phrase_tables.h"
#include "text_formatter.h"

namespace quillon {
namespace {

// Finds phrases of one built-in table by their source codes.
class PhraseIndex {
public:
    // Takes the records whose every source code lies in `from`'s byte ranges,
    // so that a phrase never passes over a character the table would refuse.
    PhraseIndex(const std::uint16_t* records, std::size_t size, const EncodingProfile& from)
        : records_(records), firstOf_(kCodes + 1, 0) {
        for (std::size_t at = 0; at < size; at += 1 + 2 * std::size_t(records[at])) {
            if (sourceIsValid(records + at, from)) offsets_.push_back(static_cast<std::uint32_t>(at));
        }
        // firstOf_[c] is the first phrase whose first code is c + 8000 or more.
        std::size_t phrase = 0;
        for (std::size_t code = 0; code <= kCodes; ++code) {
            while (phrase < offsets_.size() && std::size_t(record(phrase)[1]) - 0x8000 < code) ++phrase;
            firstOf_[code] = static_cast<std::uint32_t>(phrase);
        }
        for (std::size_t p = 0; p < offsets_.size(); ++p) {
            const unsigned first = record(p)[1];
            const unsigned second = record(p)[2];
            seconds_.push_back(static_cast<std::uint16_t>(second));
            const std::uint64_t hash = pairHash(first >> 8 | (first & 0xFF) << 8 |
                                                (second >> 8) << 16 | (second & 0xFF) << 24);
            pairWords_[wordOf(hash)] |= bitsOf(hash);
        }
    }

    // False when no phrase begins with the four bytes at `text`; true for
    // every phrase's first two characters and, rarely, for other bytes. Most
    // characters begin no phrase with the character after them: a filter of
    // hashed first pairs, three bits in one word each, turns them away for
    // one load from a table that stays in cache.
    bool mayBegin(const unsigned char* text) const {
        const std::uint64_t hash =
            pairHash(text[0] | text[1] << 8 | text[2] << 16 | std::uint32_t(text[3]) << 24);
        const std::uint64_t bits = bitsOf(hash);
        return (pairWords_[wordOf(hash)] & bits) == bits;
    }

    // The longest phrase that the characters from `text` on begin, reading no
    // further than `end`; null when none does. `text` holds a double-byte
    // character and two bytes more.
    const std::uint16_t* longestMatch(const unsigned char* text, const unsigned char* end) const {
        const std::size_t first = std::size_t(text[0] << 8 | text[1]) - 0x8000;
        std::size_t lo = firstOf_[first];
        std::size_t hi = firstOf_[first + 1];
        // Most searches end at the second character: it has a compact column.
        const unsigned second = text[2] << 8 | text[3];
        lo = partitionPoint(lo, hi, [&](std::size_t p) { return seconds_[p] < second; });
        hi = partitionPoint(lo, hi, [&](std::size_t p) { return seconds_[p] == second; });
        const std::uint16_t* longest = nullptr;
        // The phrases in [lo, hi) share their first `matched` characters with
        // the text; a phrase of exactly that length sorts first among them.
        for (std::size_t matched = 2; lo < hi; ++matched) {
            if (record(lo)[0] == matched) longest = record(lo++);
            const unsigned char* next = text + 2 * matched;
            if (end - next < 2 || next[0] < 0x80) break;
            const unsigned code = next[0] << 8 | next[1];
            lo = partitionPoint(lo, hi, [&](std::size_t p) { return record(p)[1 + matched] < code; });
            hi = partitionPoint(lo, hi, [&](std::size_t p) { return record(p)[1 + matched] == code; });
        }
        return longest;
    }

private:
    static constexpr std::size_t kCodes = 0x8000;  // double-byte codes 8000..FFFF

    static constexpr unsigned kPairWordsLog2 = 13;  // 64 KB of filter

    static std::uint64_t pairHash(std::uint32_t fourBytes) {
        return fourBytes * std::uint64_t{0x9E3779B97F4A7C15};
    }
    static std::size_t wordOf(std::uint64_t hash) { return hash >> (64 - kPairWordsLog2); }
    static std::uint64_t bitsOf(std::uint64_t hash) {
        return std::uint64_t{1} << (hash >> 20 & 63) | std::uint64_t{1} << (hash >> 26 & 63) |
               std::uint64_t{1} << (hash >> 32 & 63);
    }

    static bool sourceIsValid(const std::uint16_t* phrase, const EncodingProfile& from) {
        for (std::size_t i = 1; i <= phrase[0]; ++i) {
            const unsigned lead = phrase[i] >> 8;
            const unsigned trail = phrase[i] & 0xFF;
            if (lead < from.leadMin || lead > from.leadMax || trail < from.trailMin ||
                trail > from.trailMax) {
                return false;
            }
        }
        return true;
    }

    const std::uint16_t* record(std::size_t phrase) const { return records_ + offsets_[phrase]; }

    // The first phrase in [lo, hi) for which `before` is false; `before` holds
    // for a leading stretch of the range.
    template <typename Before>
    static std::size_t partitionPoint(std::size_t lo, std::size_t hi, Before before) {
        while (lo < hi) {
            const std::size_t mid = lo + (hi - lo) / 2;
            if (before(mid)) {
                lo = mid + 1;
            } else {
                hi = mid;
            }
        }
        return lo;
    }

    const std::uint16_t* records_;
    std::vector<std::uint32_t> offsets_;  // of each phrase taken, in table order
    std::vector<std::uint32_t> firstOf_;
    std::vector<std::uint16_t> seconds_;  // each phrase's second code, in table order
    std::vector<std::uint64_t> pairWords_ = std::vector<std::uint64_t>(std::size_t{1} << kPairWordsLog2);
};

// The phrases between two built-in profiles that a table converts between,
// indexed once per source profile; null for any other pair.
const PhraseIndex* phraseIndex(const EncodingProfile& from, const EncodingProfile& to) {
    static std::once_flag built[3];
    static std::unique_ptr<PhraseIndex> indexes[3];
    int slot = -1;
    const std::uint16_t* records = nullptr;
    std::size_t size = 0;
    if (&to == &profiles::BIG5 && (&from == &profiles::GB || &from == &profiles::GBK)) {
        slot = &from == &profiles::GB ? 0 : 1;
        records = GbkToBig5Phrases;
        size = GbkToBig5PhrasesSize;
    } else if (&from == &profiles::BIG5 && (&to == &profiles::GB || &to == &profiles::GBK)) {
        slot = 2;
        records = Big5ToGbPhrases;
        size = Big5ToGbPhrasesSize;
    }
    if (slot < 0) return nullptr;
    std::call_once(built[slot],
                   [&] { indexes[slot] = std::make_unique<PhraseIndex>(records, size, from); });
    return indexes[slot].get();
}

}  // namespace

void TextFormatter::convertRunLine(char* text, std::size_t length, const EncodingProfile& from,
                                   const EncodingProfile& to) {
    const PhraseIndex* const phrases = phrases_ ? phraseIndex(from, to) : nullptr;
    if (phrases == nullptr) {
        convertText(text, length, from, to);
        return;
    }
    auto* const bytes = reinterpret_cast<unsigned char*>(text);
    const unsigned char* const end = bytes + length;
    // The table converts up to each phrase, so that the tag state and the run
    // flags are those of the text before it; the phrase's own characters are
    // all valid and all have a counterpart, so they add no flag.
    std::size_t converted = 0;
    std::size_t pos = 0;
    // A phrase is two characters or more: four bytes at least.
    while (pos + 3 < length) {
        if (bytes[pos] < 0x80) {
            ++pos;
            continue;
        }
        const std::uint16_t* const phrase =
            phrases->mayBegin(bytes + pos) ? phrases->longestMatch(bytes + pos, end) : nullptr;
        if (phrase == nullptr) {
            pos += 2;
            continue;
        }
        convertText(text + converted, pos - converted, from, to);
        const std::size_t count = phrase[0];
        // No ASCII byte lies within the phrase, so it is wholly inside a tag or outside.
        if (htmlAware_ == 0 || htmlAborted != 0 || insideTag == 0) {
            for (std::size_t i = 0; i < count; ++i) {
                const std::uint16_t code = phrase[1 + count + i];
                bytes[pos + 2 * i] = static_cast<unsigned char>(code >> 8);
                bytes[pos + 2 * i + 1] = static_cast<unsigned char>(code & 0xFF);
            }
        }
        pos += 2 * count;
        converted = pos;
    }
    convertText(text + converted, length - converted, from, to);
}

}  // namespace quillon
