// OpenCC's conversion chains run on UTF-8: normalization, segmentation and
// the conversion steps, each step over one segment at a time.
#include "chinese_conversion.h"

#include <memory>
#include <mutex>

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
    const std::vector<std::string_view>& values = steps_[0]->values();
    feedsNext_.assign(values.size(), false);
    if (configuration.stepCount < 2) return;
    steps_[0]->alsoStopAtStartsOf(*steps_[1]);
    for (std::size_t i = 0; i < values.size(); ++i) feedsNext_[i] = steps_[1]->startsKeyIn(values[i]);
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
        converted.assign(begin, candidate);
        step.convert(candidate, end, converted);
        begin = converted.data();
        end = begin + converted.size();
    }
    out.append(begin, end);
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
        const char* candidate = first.nextMatch(p, end, found);
        if (candidate != p) out.append(p, candidate);
        if (candidate == end) break;
        if (found.keyBytes == 0) {
            p = afterCharacter(candidate, end);
            out.append(candidate, p);
            gapFeedsNext = gapFeedsNext || (second && second->startsKeyIn({candidate, p}));
            continue;
        }
        p = candidate + found.keyBytes;
        const bool feedsNext = chain_.feedsNext_[found.valueIndex];
        if (found.tier != 0) {
            out.append(found.value);
            gapFeedsNext = gapFeedsNext || feedsNext;
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
