// Matching one step's group of OpenCC dictionaries: which key wins where.
#include "dictionary_matcher.h"

#include <gtest/gtest.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace quillon::unicode {
namespace {

const OpenccGroup& stepOf(std::string_view configuration, std::size_t step) {
    for (const OpenccConfiguration& c : openccConfigurations()) {
        if (c.name == configuration) return c.steps[step];
    }
    throw std::invalid_argument(std::string(configuration));
}

struct MatchCase {
    const char* what;
    const char* configuration;
    std::size_t step;
    const char* text;
    std::size_t length;  // of the text matched in; 0: all of it
    std::size_t tierCount;
    std::size_t at;  // where the match is found
    std::size_t keyBytes;
    std::size_t tier;
    const char* value;
};

void PrintTo(const MatchCase& c, std::ostream* os) { *os << c.what; }

class DictionaryMatching : public ::testing::TestWithParam<MatchCase> {};

TEST_P(DictionaryMatching, ChoosesTheKey) {
    const MatchCase& c = GetParam();
    const DictionaryMatcher matcher(stepOf(c.configuration, c.step));
    const char* end = c.text + (c.length != 0 ? c.length : std::strlen(c.text));
    DictionaryMatch found;
    const char* at = matcher.nextMatch(c.text, end, found, c.tierCount);
    EXPECT_EQ(static_cast<std::size_t>(at - c.text), c.at);
    EXPECT_EQ(found.keyBytes, c.keyBytes);
    EXPECT_EQ(found.tier, c.tier);
    EXPECT_EQ(found.value, c.value);
}

constexpr std::size_t kAll = kOpenccMaxTiers;

INSTANTIATE_TEST_SUITE_P(
    Groups, DictionaryMatching,
    ::testing::Values(
        MatchCase{"the longest key of a tier", "s2tw", 0, "头发长", 0, kAll, 0, 6, 0, "頭髮"},
        MatchCase{"a key ends by the end given", "s2tw", 0, "头发", 3, kAll, 0, 3, 1, "頭"},
        MatchCase{"a tier left out matches nothing", "s2tw", 0, "头", 0, 1, 0, 0, 0, ""},
        MatchCase{"a union takes its second dictionary's key", "s2tw", 0, "SQL注入攻击", 0, kAll, 0,
                  15, 0, "SQL注入攻擊"},
        // TWVariantsRevPhrases holds 宏內核, but TWPhrasesRev, tried first, holds 宏.
        MatchCase{"the first tier with a key wins, however short", "tw2sp", 0, "宏內核", 0, kAll, 0,
                  3, 0, "宏"},
        MatchCase{"text no key starts in is passed over", "t2tw", 0, "abc，的爲", 0, kAll, 9, 3, 1,
                  "為"},
        MatchCase{"bytes that are no UTF-8 start no key", "s2tw", 0, "\xFF\xE5\xA4", 0, kAll, 3, 0, 0,
                  ""}));

// Every key of a group's first tier is found whole where the text is that
// key: the trie's links, its nodes' hints of their children and the filter
// of first pairs lose none. The first dictionary of the tier gives the value.
class FirstTierKeys : public ::testing::TestWithParam<std::string_view> {};

TEST_P(FirstTierKeys, AreFoundWhole) {
    const auto configurations = openccConfigurations();
    const auto configuration = std::find_if(configurations.begin(), configurations.end(),
                                            [&](const OpenccConfiguration& c) { return c.name == GetParam(); });
    ASSERT_NE(configuration, configurations.end());
    std::vector<OpenccGroup> groups = {configuration->normalization, configuration->segmentation};
    groups.insert(groups.end(), configuration->steps.begin(), configuration->steps.begin() + configuration->stepCount);
    for (const OpenccGroup& group : groups) {
        if (group.empty()) continue;
        const DictionaryMatcher matcher(group);
        for (const std::int8_t index : group.tiers[0]) {
            if (index == kNoDictionary) continue;
            std::string_view entries = openccDictionaries()[static_cast<std::size_t>(index)].entries;
            while (!entries.empty()) {
                const std::string_view line = entries.substr(0, entries.find('\n'));
                entries.remove_prefix(line.size() + 1);
                const std::string_view key = line.substr(0, line.find('\t'));
                DictionaryMatch found;
                ASSERT_EQ(matcher.nextMatch(key.data(), key.data() + key.size(), found), key.data()) << key;
                ASSERT_EQ(found.keyBytes, key.size()) << key;
                ASSERT_EQ(found.tier, 0u) << key;
                if (index == group.tiers[0][0]) {
                    ASSERT_EQ(found.value, line.substr(key.size() + 1)) << key;
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Configurations, FirstTierKeys,
                         ::testing::Values("s2tw", "s2twp", "tw2sp", "hk2s", "t2hk", "t2s"));

// Where every key starts with a character of many bytes, as normalization's
// compatibility ideographs (豈 U+F900, 丽 U+2F800) do, the text before the
// first byte that may lead one is passed over in blocks.
struct CandidateCase {
    const char* what;
    std::string text;
    std::size_t at;  // where a key may start; the text's length: nowhere
};

void PrintTo(const CandidateCase& c, std::ostream* os) { *os << c.what; }

class NormalizationCandidates : public ::testing::TestWithParam<CandidateCase> {};

TEST_P(NormalizationCandidates, AreFoundAtTheirLeadByte) {
    const CandidateCase& c = GetParam();
    const OpenccGroup& normalization = openccConfigurations()[0].normalization;
    ASSERT_FALSE(normalization.empty());
    const DictionaryMatcher matcher(normalization);
    const char* text = c.text.data();
    EXPECT_EQ(static_cast<std::size_t>(matcher.nextCandidate(text, text + c.text.size()) - text), c.at);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, NormalizationCandidates,
    ::testing::Values(CandidateCase{"at the start", "\xEF\xA4\x80头", 0},
                      CandidateCase{"after blocks of hanzi", "头发头发头发头发头发头发\xEF\xA4\x80",
                                    36},
                      CandidateCase{"beyond the BMP after ASCII", "abcdefghijklmnopq\xF0\xAF\xA0\x80",
                                    17},
                      CandidateCase{"a lead of the same byte that starts no key", "头，头。头发头发头发", 30},
                      CandidateCase{"a sequence cut short", "头发头发头发\xEF\xA4", 20},
                      CandidateCase{"after stray trail bytes", "\x80\x80\xA4\x80\xEF\xA4\x80", 4},
                      CandidateCase{"after blocks of marks with the same lead byte",
                                    "头，，，，，，，，，，，！\xEF\xA4\x80", 39},
                      CandidateCase{"a lead byte ending the text", "头发头发头发头发头发头发\xEF", 37}));

// A lead byte is found at every place in a block, the byte after it in the
// same block or the next.
TEST(NormalizationCandidates, AreFoundAtEveryPlaceInABlock) {
    const DictionaryMatcher matcher(openccConfigurations()[0].normalization);
    for (std::size_t before = 0; before < 40; ++before) {
        const std::string text = std::string(before, 'a') + "，\xEF\xA4\x80，";
        const char* start = text.data();
        EXPECT_EQ(static_cast<std::size_t>(matcher.nextCandidate(start, start + text.size()) - start), before + 3)
            << before;
    }
}

// Where keys start with ASCII characters, ASCII goes by many bytes at a
// time up to one of them or to a byte of 80 and up; a candidate is found at
// every place in a block, and none inside a character that starts no key.
TEST(AsciiCandidates, AreFoundAtEveryPlaceInABlock) {
    const DictionaryMatcher matcher(stepOf("s2twp", 1));  // keys start with P and S
    for (std::size_t before = 0; before < 40; ++before) {
        for (const std::string& start : {std::string("SQL"), std::string("头") + std::string(before % 7, 'b') + "P"}) {
            const std::string text = std::string(before, 'a') + start + std::string(20, 'c');
            const char* p = text.data();
            const std::size_t expected = text.find_first_of("PS");
            EXPECT_EQ(static_cast<std::size_t>(matcher.nextCandidate(p, p + text.size()) - p), expected)
                << before << " " << start;
        }
    }
}

// Hanzi go by two at a time: a candidate is found whichever of a pair it
// is, and sequences of three bytes that are no character (overlong, a
// surrogate) or lead like one start none. Each text is checked against its
// characters looked at one by one.
std::string utf8Of(char32_t c) {
    char bytes[U8_MAX_LENGTH];
    std::int32_t length = 0;
    U8_APPEND_UNSAFE(bytes, length, c);
    return std::string(bytes, static_cast<std::size_t>(length));
}

// The first position of a character that starts a key, each character
// asked alone.
std::size_t firstStartOneByOne(const DictionaryMatcher& matcher, const std::string& text) {
    const auto length = static_cast<std::int32_t>(text.size());
    for (std::int32_t i = 0; i < length;) {
        const std::int32_t at = i;
        UChar32 c;
        U8_NEXT(text.data(), i, length, c);
        if (c >= 0 && matcher.startsKeyIn(text.substr(static_cast<std::size_t>(at), static_cast<std::size_t>(i - at)))) {
            return static_cast<std::size_t>(at);
        }
    }
    return text.size();
}

struct HanziPiece {
    const char* what;
    std::string bytes;
};

TEST(HanziCandidates, AreFoundWhereverTheyStandInAPair) {
    const DictionaryMatcher matcher(stepOf("s2twp", 1));
    // A hanzi that starts a key of the step and one that starts none.
    std::string starts;
    std::string startsNone;
    for (char32_t c = 0x4E00; c < 0x9FA6 && (starts.empty() || startsNone.empty()); ++c) {
        (matcher.startsKeyIn(utf8Of(c)) ? starts : startsNone) = utf8Of(c);
    }
    ASSERT_FALSE(starts.empty());
    ASSERT_FALSE(startsNone.empty());
    const HanziPiece pieces[] = {
        {"a hanzi that starts no key", startsNone},
        {"an overlong form of a key's first character", "\xE0\x81\x90"},
        {"a surrogate", "\xED\xA0\x80"},
        {"a character led by ED", "\xED\x9F\xBF"},
        {"a character led by E0", "\xE0\xA0\x80"},
        {"a mark", "，"},
        {"ASCII", "a"},
    };
    for (const HanziPiece& before : pieces) {
        for (std::size_t count = 0; count < 8; ++count) {
            for (const char* after : {"", "头", "头发头发"}) {
                std::string text;
                for (std::size_t i = 0; i < count; ++i) text += i % 2 == 0 ? startsNone : before.bytes;
                const std::string withStart = text + starts + after;
                const std::string withoutStart = text + after;
                for (const std::string& t : {withStart, withoutStart}) {
                    const std::size_t expected = firstStartOneByOne(matcher, t);
                    EXPECT_EQ(static_cast<std::size_t>(matcher.nextCandidate(t.data(), t.data() + t.size()) - t.data()),
                              expected)
                        << before.what << " " << count << " " << after;
                }
                EXPECT_LE(firstStartOneByOne(matcher, withStart), text.size()) << before.what << " " << count;
            }
        }
    }
}

// convert() writes the value of each key nextMatch() finds, from left to
// right, and copies the rest: texts of keys of a later step, with hanzi,
// marks, ASCII and bytes that are no UTF-8 between them.
TEST(DictionaryMatcher, ConvertWritesTheKeysNextMatchFinds) {
    const auto byMatches = [](const DictionaryMatcher& matcher, const std::string& text) {
        std::string out;
        const char* p = text.data();
        const char* end = p + text.size();
        const char* written = p;
        DictionaryMatch found;
        while (p < end) {
            const char* at = matcher.nextMatch(p, end, found);
            if (at == end) break;
            if (found.keyBytes == 0) {
                std::int32_t i = 0;
                UChar32 c;
                U8_NEXT(at, i, end - at, c);
                p = at + i;
                continue;
            }
            out.append(written, at);
            out.append(found.value);
            p = written = at + found.keyBytes;
        }
        out.append(written, end);
        return out;
    };
    const std::pair<const char*, std::size_t> steps[] = {{"s2twp", 1}, {"tw2sp", 0}, {"s2hkp", 1}};
    const char* const between[] = {"", "的", "，", "a", "\xFF", "\xE0\x80\x80", "頭髮"};
    const auto dictionaries = openccDictionaries();
    for (const auto& [configuration, step] : steps) {
        const OpenccGroup& group = stepOf(configuration, step);
        const DictionaryMatcher matcher(group);
        std::size_t keys = 0;
        std::string text;
        for (const auto& tier : group.tiers) {
            for (const std::int8_t index : tier) {
                if (index == kNoDictionary) continue;
                std::string_view entries = dictionaries[static_cast<std::size_t>(index)].entries;
                for (std::size_t lineEnd; (lineEnd = entries.find('\n')) != std::string_view::npos; ++keys) {
                    text += entries.substr(0, entries.find('\t'));
                    text += between[keys % std::size(between)];
                    entries.remove_prefix(lineEnd + 1);
                    if (text.size() < 400) continue;
                    std::string converted;
                    matcher.convert(text.data(), text.data() + text.size(), converted);
                    ASSERT_EQ(converted, byMatches(matcher, text)) << configuration << " " << text;
                    text.clear();
                }
            }
        }
        EXPECT_GT(keys, 100u) << configuration;
    }
}

// A caller that has decoded the first two characters and passed them
// through the pair filter gets the key nextMatch() finds there where it is
// longer than the first character. Every key of the group is tried, alone,
// cut short and with text after it: neither filter in front of the walk may
// turn a key away.
TEST(DictionaryMatcher, LongerMatchAtIsTheLongerMatchThere) {
    const auto check = [](const DictionaryMatcher& matcher, const std::string& text) {
        const char* start = text.data();
        const auto length = static_cast<std::int32_t>(text.size());
        std::int32_t i = 0;
        UChar32 first;
        UChar32 second;
        U8_NEXT(start, i, length, first);
        const char* afterFirst = start + i;
        if (i == length) return false;
        U8_NEXT(start, i, length, second);
        DictionaryMatch expected;
        EXPECT_EQ(matcher.nextMatch(start, start + length, expected), start) << text;
        if (expected.keyBytes <= static_cast<std::size_t>(afterFirst - start)) expected = {};
        if (!matcher.mayGoOn(static_cast<char32_t>(first), static_cast<char32_t>(second))) {
            EXPECT_EQ(expected.keyBytes, 0u) << text;
            return false;
        }
        const DictionaryMatch found = matcher.longerMatchAt(static_cast<char32_t>(first), static_cast<char32_t>(second),
                                                            start, afterFirst, start + i, start + length);
        EXPECT_EQ(found.keyBytes, expected.keyBytes) << text;
        EXPECT_EQ(found.tier, expected.tier) << text;
        EXPECT_EQ(found.value, expected.value) << text;
        return true;
    };
    const DictionaryMatcher s2tw(stepOf("s2tw", 0));
    std::size_t pairsWalked = 0;
    for (const char* text : {"头发长", "头发", "干净的", "头头", "SQL注入攻击", "一个人", "头a"}) {
        pairsWalked += check(s2tw, text);
    }
    EXPECT_GE(pairsWalked, 3u);
    const auto dictionaries = openccDictionaries();
    const std::pair<const char*, std::size_t> steps[] = {{"s2twp", 0}, {"s2twp", 1}, {"tw2sp", 0}};
    for (const auto& [configuration, step] : steps) {
        const OpenccGroup& group = stepOf(configuration, step);
        const DictionaryMatcher matcher(group);
        for (const auto& tier : group.tiers) {
            for (const std::int8_t index : tier) {
                if (index == kNoDictionary) continue;
                std::string_view entries = dictionaries[static_cast<std::size_t>(index)].entries;
                for (std::size_t lineEnd; (lineEnd = entries.find('\n')) != std::string_view::npos;) {
                    const std::string key(entries.substr(0, entries.find('\t')));
                    entries.remove_prefix(lineEnd + 1);
                    check(matcher, key);
                    check(matcher, key + "的");
                    check(matcher, key + "a");
                    if (key.size() > 3) check(matcher, key.substr(0, key.size() - 3));
                }
            }
        }
    }
}

// A match's value index names its value among all those forEachValue()
// visits, for the chain's table by value.
TEST(DictionaryMatcher, ValueIndicesNameTheValuesVisited) {
    const DictionaryMatcher matcher(stepOf("s2tw", 0));
    std::map<std::size_t, std::string_view> values;
    matcher.forEachValue([&](std::size_t index, std::string_view value) {
        EXPECT_LT(index, matcher.valueIndexLimit());
        EXPECT_TRUE(values.emplace(index, value).second);
    });
    EXPECT_GT(values.size(), 50000u);
    for (const char* text : {"头发长", "干净", "头", "SQL注入攻击"}) {
        DictionaryMatch found;
        matcher.nextMatch(text, text + std::strlen(text), found);
        ASSERT_NE(found.keyBytes, 0u) << text;
        ASSERT_EQ(values.count(found.valueIndex), 1u) << text;
        EXPECT_EQ(values[found.valueIndex], found.value) << text;
    }
}

}  // namespace
}  // namespace quillon::unicode
