// Conversion by phrase: a character table gives 发 one traditional form, but
// 头发 wants 髮 and 发现 wants 發. The longest phrase that starts at a
// character, read left to right within the line, chooses the counterparts of
// the characters it covers; every other character goes through the table.
//
// Most phrases only confirm what the table writes, and most characters are
// never written otherwise by any phrase. So the table converts the line, and
// the phrases are matched only around the characters that some phrase
// converts otherwise: from the nearest character no phrase can run across.
#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "byte_masks.h"
#include "phrase_tables.h"
#include "text_formatter.h"

namespace quillon {
namespace {

// One phrase as a match sees it: where its record lies, and how its effect
// differs from the table conversion of its source characters. Eight bytes, so
// that the index of the largest table stays small.
struct Phrase {
    std::uint32_t record;  // offset of the record in its table
    std::uint16_t third;   // the third source code, when there is one; copied to spare a load
    std::uint16_t length : 13;  // in characters
    // Writes what the table would not: the line must be patched.
    std::uint16_t changesText : 1;
    // The table would flag a source character that the phrase converts
    // cleanly: the characters must not pass through the table.
    std::uint16_t hidesFlags : 1;
    // The last of the phrases that begin with the same two characters.
    std::uint16_t endsGroup : 1;
};
static_assert(sizeof(Phrase) == 8);
constexpr unsigned kLengthLimit = 1u << 13;  // of Phrase::length

// Two double-byte codes side by side, as the four bytes at `text` hold them.
std::uint32_t pairAt(const unsigned char* text) {
    return std::uint32_t(text[0]) << 24 | text[1] << 16 | text[2] << 8 | text[3];
}

std::uint32_t pairOf(std::uint16_t first, std::uint16_t second) {
    return std::uint32_t(first) << 16 | second;
}

// A set of code pairs that may answer yes for a pair it lacks, rarely: three
// bits in one word for each pair, about eight pairs to a word, so that it
// stays small enough for the nearest cache.
class PairFilter {
public:
    explicit PairFilter(std::size_t pairs) {
        int wordsLog2 = 1;
        while ((std::size_t{1} << wordsLog2) * 8 < pairs) ++wordsLog2;
        shift_ = 64 - wordsLog2;
        words_.resize(std::size_t{1} << wordsLog2);
    }
    void add(std::uint32_t pair) {
        const std::uint64_t hash = hashOf(pair);
        words_[hash >> shift_] |= bitsOf(hash);
    }
    bool mayHold(std::uint32_t pair) const {
        const std::uint64_t hash = hashOf(pair);
        const std::uint64_t bits = bitsOf(hash);
        return (words_[hash >> shift_] & bits) == bits;
    }

private:
    static std::uint64_t hashOf(std::uint32_t pair) { return pair * std::uint64_t{0x9E3779B97F4A7C15}; }
    static std::uint64_t bitsOf(std::uint64_t hash) {
        return std::uint64_t{1} << (hash >> 20 & 63) | std::uint64_t{1} << (hash >> 26 & 63) |
               std::uint64_t{1} << (hash >> 32 & 63);
    }

    std::vector<std::uint64_t> words_;
    int shift_;  // of a hash, to leave the index of its word
};

// Finds phrases of one built-in table by their source codes.
class PhraseIndex {
public:
    // Takes those of the `count` records in `size` codes whose every source
    // code lies in `from`'s byte ranges, so that a phrase never passes over a
    // character the table would refuse.
    PhraseIndex(const std::uint16_t* records, std::size_t size, std::size_t count, const EncodingProfile& from,
                const EncodingProfile& to)
        : records_(records) {
        phrases_.reserve(count);
        const std::size_t innerPairs = takePhrases(records, size, from, to);

        // The phrases sharing their first two codes lie together in table order.
        std::size_t pairs = 0;
        for (std::size_t p = 0; p < phrases_.size(); ++p) {
            const bool endsGroup = p + 1 == phrases_.size() || firstPair(p + 1) != firstPair(p);
            phrases_[p].endsGroup = endsGroup;
            pairs += endsGroup;
        }
        // Two thirds full at most: probes stay short, and at least one slot
        // stays empty to end a search for a pair that is not there.
        slots_.resize(pairs + pairs / 2 + 1);
        firstPairs_ = PairFilter(pairs);
        for (std::size_t p = 0; p < phrases_.size();) {
            const std::uint32_t pair = firstPair(p);
            std::size_t end = p + 1;
            while (!phrases_[end - 1].endsGroup) ++end;
            std::size_t slot = slotOf(pair);
            while (slots_[slot].pair != 0) slot = nextSlot(slot);
            const Phrase& shortest = phrases_[p];
            const bool leftToTable =
                end == p + 1 && shortest.length == 2 && !shortest.changesText && !shortest.hidesFlags;
            std::uint32_t thirds = 0;
            for (std::size_t q = p; q < end; ++q) {
                thirds |= phrases_[q].length == 2 ? ~std::uint32_t{0} : thirdBitOf(phrases_[q].third);
            }
            slots_[slot] = {pair, static_cast<std::uint32_t>(p), leftToTable, thirds};
            firstPairs_.add(pair);
            p = end;
        }

        innerPairs_ = PairFilter(innerPairs);
        for (const Phrase& phrase : phrases_) {
            const std::uint16_t* const source = sourceCodes(phrase);
            for (std::size_t i = 1; i < phrase.length; ++i) innerPairs_.add(pairOf(source[i - 1], source[i]));
        }
    }

    // False when no phrase converts the character at `text` otherwise than
    // the table, or hides a flag the table raises for it.
    bool matters(const unsigned char* text) const {
        std::uint16_t bytes;
        std::memcpy(&bytes, text, 2);
        return mattering_[bytes];
    }

    // False when no phrase that converts one of the two characters at
    // `text` otherwise than the table, or hides a flag for it, holds them
    // side by side.
    bool mayMatter(const unsigned char* text) const { return matteringPairs_.mayHold(pairAt(text)); }

    // False when no phrase begins with the four bytes at `text`; true for
    // every phrase's first two characters and, rarely, for other bytes.
    bool mayBegin(const unsigned char* text) const { return firstPairs_.mayHold(pairAt(text)); }

    // False when no phrase holds the two characters at `text` side by side:
    // then no phrase runs across from the first to the second.
    bool mayJoin(const unsigned char* text) const { return innerPairs_.mayHold(pairAt(text)); }

    // The longest phrase that the characters from `text` on begin, reading no
    // further than `end`; null when none does. `text` holds a double-byte
    // character and two bytes more.
    const Phrase* longestMatch(const unsigned char* text, const unsigned char* end) const {
        const std::uint32_t pair = pairAt(text);
        std::size_t slot = slotOf(pair);
        while (slots_[slot].pair != pair) {
            if (slots_[slot].pair == 0) return nullptr;
            slot = nextSlot(slot);
        }
        if (slots_[slot].leftToTable) return &kPairLeftToTable;
        // Every phrase's codes are double-byte, so matching bytes also keeps
        // the match from running into ASCII.
        const auto room = static_cast<std::size_t>(end - text) / 2;
        const std::uint32_t third = room > 2 ? thirdBitOf(text[4] << 8 | text[5]) : 0;
        if ((slots_[slot].thirds & third) == 0 && slots_[slot].thirds != ~std::uint32_t{0}) return nullptr;
        const Phrase* longest = nullptr;
        for (std::size_t p = slots_[slot].first;; ++p) {
            const Phrase& phrase = phrases_[p];
            const std::size_t n = phrase.length;
            if (n <= room && (longest == nullptr || n > longest->length) &&
                (n <= 2 || (text[4] << 8 | text[5]) == phrase.third)) {
                const std::uint16_t* const source = sourceCodes(phrase);
                std::size_t i = 3;
                while (i < n && (text[2 * i] << 8 | text[2 * i + 1]) == source[i]) ++i;
                if (i >= n) longest = &phrase;
            }
            if (phrase.endsGroup) return longest;
        }
    }

    // Writes the phrase's target codes over its characters at `at`.
    void writeTargets(unsigned char* at, const Phrase& phrase) const {
        const std::uint16_t* const target = sourceCodes(phrase) + phrase.length;
        for (std::size_t i = 0; i < phrase.length; ++i) {
            at[2 * i] = static_cast<unsigned char>(target[i] >> 8);
            at[2 * i + 1] = static_cast<unsigned char>(target[i] & 0xFF);
        }
    }

private:
    // Takes the phrases, marks the characters and pairs that matter, and
    // returns the number of neighbours within the phrases. What it needs only
    // meanwhile is gone before the index is built: the run's peak of memory
    // stays low.
    std::size_t takePhrases(const std::uint16_t* records, std::size_t size, const EncodingProfile& from,
                            const EncodingProfile& to) {
        std::size_t innerPairs = 0;
        // What the table alone makes of each code, worked out once per code:
        // the code it writes, plus 1 << 16 when it raises a flag.
        TextFormatter table;
        std::vector<std::uint32_t> byTable(0x8000, UINT32_MAX);
        const auto tableOf = [&](std::uint16_t code) {
            std::uint32_t& known = byTable[code - 0x8000u];
            if (known == UINT32_MAX) {
                unsigned char bytes[2] = {static_cast<unsigned char>(code >> 8),
                                          static_cast<unsigned char>(code & 0xFF)};
                table.sawInvalidCode = table.sawUnmappable = 0;
                table.convertText(reinterpret_cast<char*>(bytes), 2, from, to);
                const bool flagged = table.sawInvalidCode != 0 || table.sawUnmappable != 0;
                known = std::uint32_t(bytes[0] << 8 | bytes[1]) | std::uint32_t{flagged} << 16;
            }
            return known;
        };
        std::vector<std::uint32_t> matteringPairs;
        for (std::size_t at = 0; at < size; at += 1 + 2 * std::size_t(records[at])) {
            const std::uint16_t* const record = records + at;
            if (!takes(record, from)) continue;
            const std::uint16_t n = record[0];
            const std::uint16_t* const source = record + 1;
            const std::uint16_t* const target = source + n;
            bool changesText = false;
            bool hidesFlags = false;
            for (std::size_t i = 0; i < n; ++i) {
                const std::uint32_t converted = tableOf(source[i]);
                const bool changes = (converted & 0xFFFF) != target[i];
                const bool flagged = converted >> 16 != 0;
                changesText |= changes;
                hidesFlags |= flagged;
                if (!changes && !flagged) continue;
                mattering_[matteringIndexOf(source[i])] = true;
                if (i > 0) matteringPairs.push_back(pairOf(source[i - 1], source[i]));
                if (i + 1 < n) matteringPairs.push_back(pairOf(source[i], source[i + 1]));
            }
            phrases_.push_back({static_cast<std::uint32_t>(at), n > 2 ? source[2] : std::uint16_t{0}, n,
                                changesText, hidesFlags, false});
            innerPairs += n - 1;
        }
        // Sized by the pairs that differ: a smaller filter stays in the cache.
        std::sort(matteringPairs.begin(), matteringPairs.end());
        matteringPairs.erase(std::unique(matteringPairs.begin(), matteringPairs.end()), matteringPairs.end());
        matteringPairs_ = PairFilter(matteringPairs.size());
        for (const std::uint32_t pair : matteringPairs) matteringPairs_.add(pair);
        return innerPairs;
    }

    struct Slot {
        std::uint32_t pair;  // first two source codes; 0 for an empty slot
        // The first of the phrases that begin with them, in table order.
        std::uint32_t first : 31;
        // The pair's one phrase is the pair, and the table writes the same.
        std::uint32_t leftToTable : 1;
        // thirdBitOf each phrase's third code, or every bit when the pair is
        // a phrase itself: turns away most texts that begin only longer
        // phrases without reading them.
        std::uint32_t thirds;
    };
    // Stands for every phrase of a slot that is left to the table: a match
    // then needs nothing more from memory.
    static constexpr Phrase kPairLeftToTable{0, 0, 2, false, false, true};

    const std::uint16_t* sourceCodes(const Phrase& phrase) const { return records_ + phrase.record + 1; }
    std::uint32_t firstPair(std::size_t p) const {
        const std::uint16_t* const source = sourceCodes(phrases_[p]);
        return pairOf(source[0], source[1]);
    }
    static std::uint32_t thirdBitOf(unsigned code) { return std::uint32_t{1} << ((code ^ code >> 5) & 31); }
    std::size_t slotOf(std::uint32_t pair) const {
        const std::uint64_t hash = pair * std::uint64_t{0xD6E8FEB86659FD93} >> 32;
        return static_cast<std::size_t>(hash * slots_.size() >> 32);
    }
    std::size_t nextSlot(std::size_t slot) const { return slot + 1 == slots_.size() ? 0 : slot + 1; }

    // Whether the index takes the record: every source code lies in
    // `from`'s byte ranges, and its length fits a Phrase (none comes near).
    static bool takes(const std::uint16_t* phrase, const EncodingProfile& from) {
        if (phrase[0] >= kLengthLimit) return false;
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

    // By the code's two bytes read as one little-endian number, as a scan
    // loads them: the test needs no more than that load and one of a byte.
    // Only the parts for the codes a text holds come into the cache.
    static unsigned matteringIndexOf(std::uint16_t code) { return (code & 0xFF) << 8 | code >> 8; }
    const std::uint16_t* records_;
    std::array<bool, 0x10000> mattering_{};
    std::vector<Phrase> phrases_;  // those taken, in table order
    std::vector<Slot> slots_;      // open addressing on the first pair
    PairFilter firstPairs_{0};     // of every phrase
    PairFilter innerPairs_{0};     // of neighbours within every phrase
    // Of neighbours within a phrase where one of them matters.
    PairFilter matteringPairs_{0};
};

// The phrases between two built-in profiles that a table converts between,
// indexed once per pair of profiles; null for any other pair.
const PhraseIndex* phraseIndex(const EncodingProfile& from, const EncodingProfile& to) {
    static std::once_flag built[4];
    static std::unique_ptr<PhraseIndex> indexes[4];
    const bool gbSide = &from == &profiles::GB || &to == &profiles::GB;
    int slot = -1;
    const std::uint16_t* records = nullptr;
    std::size_t size = 0;
    std::size_t count = 0;
    if (&to == &profiles::BIG5 && (&from == &profiles::GB || &from == &profiles::GBK)) {
        slot = gbSide ? 0 : 1;
        records = GbkToBig5Phrases;
        size = GbkToBig5PhrasesSize;
        count = GbkToBig5PhrasesCount;
    } else if (&from == &profiles::BIG5 && (&to == &profiles::GB || &to == &profiles::GBK)) {
        slot = gbSide ? 2 : 3;
        records = Big5ToGbPhrases;
        size = Big5ToGbPhrasesSize;
        count = Big5ToGbPhrasesCount;
    }
    if (slot < 0) return nullptr;
    std::call_once(built[slot],
                   [&] { indexes[slot] = std::make_unique<PhraseIndex>(records, size, count, from, to); });
    return indexes[slot].get();
}

// The line ends among `length` bytes that the writer makes a byte longer:
// each LF stored alone, not the LF of a CR LF, whose CR it leaves out. Reads
// the byte after them. Counted in byte lanes, a chunk at a time, which
// compilers turn into vector code.
std::size_t lengthenedLineEndsIn(const unsigned char* bytes, std::size_t length) {
    constexpr std::size_t kChunk = 32;
    constexpr std::size_t kChunksPerLane = 255;  // a lane's count stays within its byte
    std::size_t lineFeeds = 0;
    std::size_t crLfs = 0;
    const auto countAt = [bytes](std::size_t i, unsigned char& lineFeed, unsigned char& crLf) {
        lineFeed = static_cast<unsigned char>(lineFeed + (bytes[i] == '\n'));
        crLf = static_cast<unsigned char>(crLf + ((bytes[i] == '\r') & (bytes[i + 1] == '\n')));
    };
    std::size_t i = 0;
    while (length - i >= kChunk) {
        unsigned char lineFeedLanes[kChunk] = {};
        unsigned char crLfLanes[kChunk] = {};
        const std::size_t chunks = std::min((length - i) / kChunk, kChunksPerLane);
        for (std::size_t c = 0; c < chunks; ++c, i += kChunk) {
            for (std::size_t j = 0; j < kChunk; ++j) countAt(i + j, lineFeedLanes[j], crLfLanes[j]);
        }
        for (std::size_t j = 0; j < kChunk; ++j) {
            lineFeeds += lineFeedLanes[j];
            crLfs += crLfLanes[j];
        }
    }
    for (; i < length; ++i) {
        unsigned char lineFeed = 0, crLf = 0;
        countAt(i, lineFeed, crLf);
        lineFeeds += lineFeed;
        crLfs += crLf;
    }
    return lineFeeds - crLfs;
}

constexpr std::size_t kBlock = 64;  // bytes whose lead bytes one mask holds

// Calls `found(pos, phrase)` for each phrase that the longest match, read left
// to right, finds in the `length` bytes at `bytes`, in order. Phrases are
// looked for only around the characters that matter; a phrase never holds an
// ASCII byte, so lines may be read together. `found` may rewrite the text up
// to the end of the phrase it is given, whole characters at a time.
template <typename Found>
void forEachPhrase(const PhraseIndex& phrases, const unsigned char* bytes, std::size_t length, Found found) {
    const unsigned char* const end = bytes + length;
    // Matches phrases left to right from `pos`, a character that no earlier
    // phrase covers or `decided`, through the character at `last`.
    std::size_t decided = 0;   // matching has passed every character before
    std::size_t nextFree = 0;  // where the next phrase may begin
    const auto matchThrough = [&](std::size_t pos, std::size_t last) {
        while (pos <= last) {
            if (bytes[pos] < 0x80) {
                ++pos;
                continue;
            }
            if (pos >= nextFree && pos + 3 < length && phrases.mayBegin(bytes + pos)) {
                if (const Phrase* const phrase = phrases.longestMatch(bytes + pos, end)) {
                    nextFree = pos + 2 * phrase->length;
                    found(pos, *phrase);
                }
            }
            pos += 2;
        }
        decided = pos;
    };

    // The characters are read as the table reads them, ASCII bytes one at a
    // time and the rest in pairs, but a block at a time through masks of
    // their lead bytes. A lead in the last byte has no trail: no character.
    const std::size_t limit = length - 1;
    std::uint64_t leadsBefore = 0;  // of the block before
    for (std::size_t block = 0; block < limit; block += kBlock) {
        std::uint64_t high;
        if (length - block >= kBlock) {
            high = byte_masks::bitsOf64(bytes + block, byte_masks::highBits16);
        } else {
            unsigned char last[kBlock] = {};
            std::memcpy(last, bytes + block, length - block);
            high = byte_masks::bitsOf64(last, byte_masks::highBits16);
        }
        std::uint64_t leads = byte_masks::leadBytes(high, leadsBefore >> (kBlock - 1) != 0);
        if (limit - block < kBlock) leads &= (std::uint64_t{1} << (limit - block)) - 1;
        // Whether the character before `pos` is a double-byte one; unknown
        // (false) further back than the block before.
        const auto afterLead = [&](std::size_t pos) {
            if (pos >= block + 2) return (leads >> (pos - 2 - block) & 1) != 0;
            return pos + kBlock >= block + 2 && (leadsBefore >> (pos + kBlock - 2 - block) & 1) != 0;
        };
        // The block's bits from `decided` on: the characters before it are
        // decided.
        const auto undecided = [&] {
            if (decided <= block) return ~std::uint64_t{0};
            return decided - block >= kBlock ? 0 : ~std::uint64_t{0} << (decided - block);
        };
        // Few characters matter: they are picked out first, without a branch.
        std::uint64_t mattering = 0;
        for (std::uint64_t rest = leads; rest != 0; rest &= rest - 1) {
            const auto bit = static_cast<unsigned>(std::countr_zero(rest));
            mattering |= std::uint64_t{phrases.matters(bytes + block + bit)} << bit;
        }
        for (std::uint64_t rest = mattering & undecided(); rest != 0;) {
            const std::size_t lead = block + static_cast<std::size_t>(std::countr_zero(rest));
            rest &= rest - 1;
            // A phrase that matters here holds this character and one beside it.
            const bool afterDoubleByte = lead >= 2 && afterLead(lead);
            const bool beforeDoubleByte = lead + 3 < length && bytes[lead + 2] >= 0x80;
            if (!(afterDoubleByte && phrases.mayMatter(bytes + lead - 2)) &&
                !(beforeDoubleByte && phrases.mayMatter(bytes + lead))) {
                continue;
            }
            // Back to a character that no phrase can cover from before it:
            // one after a single-byte character, or one that no phrase holds
            // right after the character before. Past the block before,
            // matching starts where it last stopped.
            std::size_t start = lead;
            while (start > decided) {
                if (start + kBlock < block + 2) {
                    start = decided;
                    break;
                }
                if (start < 2 || !afterLead(start) || !phrases.mayJoin(bytes + start - 2)) break;
                start -= 2;
            }
            matchThrough(std::max(start, decided), lead);
            rest &= undecided();
        }
        leadsBefore = leads;
    }
}

}  // namespace

void TextFormatter::convertRunLine(char* text, std::size_t length, const EncodingProfile& from,
                                   const EncodingProfile& to) {
    // Tags keep their text: the user's phrases stay outside HTML runs.
    const LegacyPhraseTable* const user =
        userPhrases_ != nullptr && htmlAware_ == 0 ? userPhrases_->between(from, to) : nullptr;
    if (user == nullptr) {
        convertRunLineByBuiltIns(text, length, from, to);
        return;
    }
    const std::string original(text, length);
    convertRunLineByBuiltIns(text, length, from, to);
    const auto* const source = reinterpret_cast<const unsigned char*>(original.data());
    const PhraseIndex* const builtIn = phrases_ ? phraseIndex(from, to) : nullptr;
    // Read left to right, the longest phrase at a character wins, the user's
    // over a built-in one no longer.
    for (std::size_t pos = 0; pos + 1 < length;) {
        if (source[pos] < 0x80) {
            ++pos;
            continue;
        }
        std::size_t userBytes = 0;
        const std::string_view value = user->longestAt(source + pos, length - pos, userBytes);
        const Phrase* const phrase = builtIn != nullptr && pos + 3 < length && builtIn->mayBegin(source + pos)
                                         ? builtIn->longestMatch(source + pos, source + length)
                                         : nullptr;
        const std::size_t builtInBytes = phrase != nullptr ? 2 * std::size_t{phrase->length} : 0;
        if (userBytes != 0 && userBytes >= builtInBytes) {
            std::memcpy(text + pos, value.data(), userBytes);
            pos += userBytes;
        } else {
            pos += std::max<std::size_t>(builtInBytes, 2);
        }
    }
}

void TextFormatter::convertRunLineByBuiltIns(char* text, std::size_t length, const EncodingProfile& from,
                                             const EncodingProfile& to) {
    const PhraseIndex* const phrases = phrases_ ? phraseIndex(from, to) : nullptr;
    // A phrase is two characters or more: four bytes at least.
    if (phrases == nullptr || length < 4) {
        convertText(text, length, from, to);
        return;
    }
    auto* const bytes = reinterpret_cast<unsigned char*>(text);
    // While tags count, a phrase is written only outside them, so the table
    // must have converted the text before it to know where it stands.
    const bool tagsCount = htmlAware_ != 0 && htmlAborted == 0;

    // The table converts the line in long stretches, and the phrases found in
    // a stretch then overwrite what it wrote. A phrase that writes what the
    // table does is left to the table.
    constexpr std::size_t kPendingMax = 256;
    struct Pending {
        std::size_t pos;
        const Phrase* phrase;
    } pending[kPendingMax];
    std::size_t pendingCount = 0;
    std::size_t converted = 0;
    const auto convertUpTo = [&](std::size_t pos) {
        convertText(text + converted, pos - converted, from, to);
        for (std::size_t i = 0; i < pendingCount; ++i) phrases->writeTargets(bytes + pending[i].pos, *pending[i].phrase);
        pendingCount = 0;
        converted = pos;
    };
    forEachPhrase(*phrases, bytes, length, [&](std::size_t pos, const Phrase& phrase) {
        const std::size_t phraseEnd = pos + 2 * phrase.length;
        if (phrase.hidesFlags || (tagsCount && phrase.changesText)) {
            // The table converts up to the phrase, so that the tag state and
            // the run flags are those of the text before it, and the phrase's
            // characters add no flag. No ASCII byte lies within the phrase,
            // so it is wholly inside a tag or outside.
            convertUpTo(pos);
            if (htmlAware_ == 0 || htmlAborted != 0 || insideTag == 0) phrases->writeTargets(bytes + pos, phrase);
            converted = phraseEnd;
        } else if (phrase.changesText) {
            pending[pendingCount++] = {pos, &phrase};
            if (pendingCount == kPendingMax) convertUpTo(phraseEnd);
        }
    });
    convertUpTo(length);
}

bool TextFormatter::choosePhrasesInLines(std::span<const unsigned char> lines, unsigned char* converted,
                                         const EncodingProfile& from, const EncodingProfile& to) {
    const PhraseIndex* const phrases = phrases_ ? phraseIndex(from, to) : nullptr;
    if (phrases == nullptr || lines.empty()) return true;
    const unsigned char* const bytes = lines.data();
    // Every line end before a phrase is two bytes in the converted text.
    std::size_t counted = 0;
    std::size_t lengthened = 0;
    bool hidesFlags = false;
    forEachPhrase(*phrases, bytes, lines.size(), [&](std::size_t pos, const Phrase& phrase) {
        hidesFlags |= phrase.hidesFlags;
        if (!phrase.changesText) return;
        lengthened += lengthenedLineEndsIn(bytes + counted, pos - counted);
        counted = pos;
        phrases->writeTargets(converted + pos + lengthened, phrase);
    });
    if (!hidesFlags || (sawInvalidCode != 0 && sawUnmappable != 0)) return true;

    // The flags come from each line on its own, as a line read alone raises
    // them; the converted text is already right.
    char* const line = lineBuffer();
    const unsigned char* const end = bytes + lines.size();
    for (const unsigned char* start = bytes; start != end;) {
        const auto length = static_cast<std::size_t>(
            static_cast<const unsigned char*>(std::memchr(start, '\n', static_cast<std::size_t>(end - start))) - start);
        std::memcpy(line, start, length);
        convertRunLine(line, length > 0 && start[length - 1] == '\r' ? length - 1 : length, from, to);
        start += length + 1;
    }
    return false;
}

}  // namespace quillon
