#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dictionary_matcher.h"
#include "opencc_tables.h"
#include "user_words.h"

namespace quillon::unicode {

// One of OpenCC's conversions compiled for use: the matchers of its
// normalization, segmentation and conversion chain. Built once on first use
// and kept for the life of the process.
class ChineseConversionChain {
public:
    // The conversion of that OpenCC name ("s2tw"), or null for a name it does
    // not know.
    static const ChineseConversionChain* named(std::string_view name);

    explicit ChineseConversionChain(const OpenccConfiguration& configuration);
    ChineseConversionChain(const ChineseConversionChain&) = delete;
    ChineseConversionChain& operator=(const ChineseConversionChain&) = delete;

    const OpenccConfiguration& configuration() const { return configuration_; }

private:
    friend class ChineseConverter;

    void tabulateAlone();

    const OpenccConfiguration& configuration_;
    std::optional<DictionaryMatcher> normalization_;
    std::optional<DictionaryMatcher> segmentation_;
    std::optional<DictionaryMatcher> steps_[kOpenccMaxSteps];
    // Segmentation by the first step's first tier, whose other tiers hold
    // single characters: the first step's matches are the segments.
    bool segmentsByFirstStep_ = false;
    // Per value of the first step: whether a key of the second starts in it.
    std::vector<bool> feedsNext_;
    // By BMP code point, for a chain segmented by its first step: what the
    // chain writes for the character where it is a segment of its own, as
    // it is wherever no key of more than one character of either step takes
    // it in (kLongerKeys: the first step has such keys starting with it;
    // kLaterLongerKeys: the second, with what the first writes for it).
    // 0: the character takes the general way.
    std::vector<std::uint32_t> alone_;
    // The same for a character inside a segment the later steps convert
    // again: what the first step writes for it, where that ends no segment.
    std::vector<std::uint32_t> firstStepAlone_;
    static constexpr std::uint32_t kLongerKeys = 0x80000000u;
    static constexpr std::uint32_t kLaterLongerKeys = 0x40000000u;
    // Every ASCII character but these is written as it is, by either table:
    // each in every byte of a word, the rest of the words 80 in every byte,
    // which stops a word of ASCII anyway.
    bool asciiWordsKept_ = true;
    std::array<std::uint64_t, 4> asciiStopWords_ = {};
};

// Converts UTF-8 text by a chain as OpenCC does: the text is normalized, cut
// into segments by the longest keys of the segmentation dictionaries (a run
// of text no key covers is one segment), and each segment passes through the
// steps of the chain in turn, each step writing the value of the key it
// chooses at every position. No key holds a line end, so whole lines convert
// alike one by one or together. Text no key starts in is copied unchanged,
// as is every sequence that is not UTF-8.
class ChineseConverter {
public:
    // The user's phrases, when given, win over the chain's keys no longer
    // than theirs.
    explicit ChineseConverter(const ChineseConversionChain& chain, const UserPhrases* userPhrases = nullptr)
        : chain_(chain), userPhrases_(userPhrases) {}

    // Appends `text` converted to `out`.
    void convert(std::string_view text, std::string& out) {
        if (userPhrases_ != nullptr) {
            convertAroundUserPhrases(text, out);
        } else {
            convertByChain(text, out);
        }
    }

private:
    void convertByChain(std::string_view text, std::string& out);
    void convertAroundUserPhrases(std::string_view text, std::string& out);
    void convertSegment(const char* begin, const char* end, std::size_t firstStep, std::string& out);
    void segmentByFirstStep(const char* begin, const char* end, std::string& out);
    void segment(const char* begin, const char* end, std::string& out);
    bool endsSegment(std::string_view written, const char* next, const char* end) const;
    // Writes what the chain writes for the characters from `begin` on that
    // no longer key takes, by `table` (alone_ or firstStepAlone_), and with
    // alone_ the phrases that are segments of their own asking nothing of
    // the later steps; returns where it stopped, with the longer key found
    // there, if any, in `found`.
    const char* takeAlone(const char* begin, const char* end, const std::vector<std::uint32_t>& table,
                          DictionaryMatch& found, std::string& out) const;

    const ChineseConversionChain& chain_;
    const UserPhrases* const userPhrases_;
    std::string normalized_;
    std::string gap_;
    std::string steps_[2];
};

}  // namespace quillon::unicode
