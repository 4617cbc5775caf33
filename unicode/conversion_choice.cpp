// The user's choices of form, standard and vocabulary reduced to one of
// OpenCC's configurations.
#include "conversion_choice.h"

namespace quillon::unicode {
namespace {

const char* traditionalName(std::int32_t standard, bool regionalWords) {
    switch (standard) {
        case kStandardGeneric: return "s2t";
        case kStandardHongKong: return regionalWords ? "s2hkp" : "s2hk";
        default: return regionalWords ? "s2twp" : "s2tw";
    }
}

const char* simplifiedName(std::int32_t standard, bool regionalWords) {
    switch (standard) {
        case kStandardGeneric: return "t2s";
        case kStandardHongKong: return regionalWords ? "hk2sp" : "hk2s";
        case kStandardTaiwan: return regionalWords ? "tw2sp" : "tw2s";
        default: return regionalWords ? "tw2sp" : "t2s";
    }
}

}  // namespace

const ChineseConversionChain* conversionChainFor(const EdgeChoices& choices, Form output) {
    if (choices.phraseChoice == kChoiceOff) return nullptr;
    const auto configurations = openccConfigurations();
    if (choices.opencc > 0 && static_cast<std::size_t>(choices.opencc) <= configurations.size()) {
        return ChineseConversionChain::named(configurations[static_cast<std::size_t>(choices.opencc - 1)].name);
    }
    const bool regionalWords = choices.regionalWords != 0;
    return ChineseConversionChain::named(output == Form::Simplified
                                             ? simplifiedName(choices.standard, regionalWords)
                                             : traditionalName(choices.standard, regionalWords));
}

const UserPhrases* userPhrasesFor(const EdgeChoices& choices, Form output) {
    return choices.userWords != nullptr ? &choices.userWords->toward(output) : nullptr;
}

}  // namespace quillon::unicode
