// The choices of a convert run reduced to one of OpenCC's configurations.
#include "conversion_choice.h"

#include <gtest/gtest.h>

namespace quillon::unicode {
namespace {

struct ChoiceCase {
    std::int32_t standard;
    std::int32_t regionalWords;
    std::int32_t opencc;
    Form output;
    const char* expected;
};

void PrintTo(const ChoiceCase& c, std::ostream* os) { *os << c.expected; }

class ConversionChoice : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(ConversionChoice, NamesTheConfiguration) {
    const ChoiceCase& c = GetParam();
    EdgeChoices choices;
    choices.standard = c.standard;
    choices.regionalWords = c.regionalWords;
    choices.opencc = c.opencc;
    const ChineseConversionChain* chain = conversionChainFor(choices, c.output);
    ASSERT_NE(chain, nullptr);
    EXPECT_EQ(chain->configuration().name, c.expected);
}

constexpr Form kTraditional = Form::Traditional;
constexpr Form kSimplified = Form::Simplified;

INSTANTIATE_TEST_SUITE_P(
    Choices, ConversionChoice,
    ::testing::Values(ChoiceCase{kStandardAuto, 0, 0, kTraditional, "s2tw"},
                      ChoiceCase{kStandardAuto, 0, 0, kSimplified, "t2s"},
                      ChoiceCase{kStandardAuto, 1, 0, kTraditional, "s2twp"},
                      ChoiceCase{kStandardAuto, 1, 0, kSimplified, "tw2sp"},
                      ChoiceCase{kStandardTaiwan, 0, 0, kSimplified, "tw2s"},
                      ChoiceCase{kStandardHongKong, 0, 0, kTraditional, "s2hk"},
                      ChoiceCase{kStandardHongKong, 1, 0, kTraditional, "s2hkp"},
                      ChoiceCase{kStandardHongKong, 0, 0, kSimplified, "hk2s"},
                      ChoiceCase{kStandardHongKong, 1, 0, kSimplified, "hk2sp"},
                      ChoiceCase{kStandardGeneric, 0, 0, kTraditional, "s2t"},
                      ChoiceCase{kStandardGeneric, 1, 0, kSimplified, "t2s"},
                      // A name given wins over the other choices.
                      ChoiceCase{kStandardHongKong, 1, 11, kSimplified, "t2tw"}));

TEST(ConversionChoiceOff, WithoutPhrasesNoDictionaryConverts) {
    EdgeChoices choices;
    choices.phraseChoice = kChoiceOff;
    EXPECT_EQ(conversionChainFor(choices, Form::Traditional), nullptr);
}

}  // namespace
}  // namespace quillon::unicode
