#pragma once

#include "chinese_conversion.h"
#include "edge_options.h"
#include "family_maps.h"

namespace quillon::unicode {

// The OpenCC conversion a convert run of Unicode text makes into `output`
// form: the configuration named by `opencc`, else the one of the output form,
// standard and regional words (plain traditional is Taiwan's s2tw, plain
// simplified t2s). Null when the run does not choose by phrase.
const ChineseConversionChain* conversionChainFor(const EdgeChoices& choices, Form output);

// The user's phrases of a conversion into `output` form; null when none.
const UserPhrases* userPhrasesFor(const EdgeChoices& choices, Form output);

}  // namespace quillon::unicode
