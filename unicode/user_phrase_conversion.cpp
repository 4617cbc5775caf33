// The user's phrases among the chain's: read left to right, the longest key
// at a position wins, a user's phrase over a chain's key of its length. The
// text between the user's phrases converts by the chain alone.
#include <unicode/utf8.h>

#include "chinese_conversion.h"

namespace quillon::unicode {

void ChineseConverter::convertAroundUserPhrases(std::string_view text, std::string& out) {
    // The chain's keys as its segmentation, or else its first step, takes them.
    const DictionaryMatcher& chainKeys = chain_.segmentation_ ? *chain_.segmentation_ : *chain_.steps_[0];
    const char* const end = text.data() + text.size();
    const char* gap = text.data();
    const char* p = gap;
    DictionaryMatch chainKey;
    // Where the chain's next key may start, from `p` on.
    const char* chainCandidate = chainKeys.nextMatch(p, end, chainKey);
    while (p < end) {
        if (chainCandidate < p) chainCandidate = chainKeys.nextMatch(p, end, chainKey);
        const std::size_t chainBytes = chainCandidate == p ? chainKey.keyBytes : 0;
        const UserPhrases::Match user = userPhrases_->longestAt(p, end);
        if (user.keyBytes != 0 && user.keyBytes >= chainBytes) {
            if (gap != p) convertByChain({gap, static_cast<std::size_t>(p - gap)}, out);
            out.append(user.value);
            gap = p += user.keyBytes;
        } else if (chainBytes != 0) {
            p += chainBytes;
        } else {
            std::int32_t i = 0;
            UChar32 c;
            U8_NEXT(p, i, static_cast<std::int32_t>(end - p), c);
            p += i;
        }
    }
    if (gap != end) convertByChain({gap, static_cast<std::size_t>(end - gap)}, out);
}

}  // namespace quillon::unicode
