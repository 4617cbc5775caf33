#include "user_phrases.h"

#include <algorithm>

namespace quillon {
namespace {

std::size_t codeAt(const unsigned char* bytes) { return std::size_t{bytes[0]} << 8 | bytes[1]; }

}  // namespace

void LegacyPhraseTable::add(std::string key, std::string value) {
    longestKey_ = std::max(longestKey_, key.size());
    if (starts_.empty()) starts_.resize(0x10000);
    starts_[codeAt(reinterpret_cast<const unsigned char*>(key.data()))] = true;
    phrases_.emplace(std::move(key), std::move(value));
}

std::string_view LegacyPhraseTable::longestAt(const unsigned char* at, std::size_t room,
                                              std::size_t& keyBytes) const {
    keyBytes = 0;
    if (starts_.empty() || room < 2 || !starts_[codeAt(at)]) return {};
    // Keys are whole double-byte characters: two bytes, four, and so on.
    for (std::size_t bytes = std::min(room, longestKey_) & ~std::size_t{1}; bytes >= 2; bytes -= 2) {
        const auto found = phrases_.find(std::string_view(reinterpret_cast<const char*>(at), bytes));
        if (found != phrases_.end()) {
            keyBytes = bytes;
            return found->second;
        }
    }
    return {};
}

const LegacyPhraseTable* LegacyUserPhrases::between(const EncodingProfile& from, const EncodingProfile& to) const {
    if (to.id == kBig5Id && from.id == kGbId) return &gbToBig5;
    if (to.id == kBig5Id && from.id == kGbkId) return &gbkToBig5;
    if (from.id == kBig5Id && to.id == kGbId) return &big5ToGb;
    if (from.id == kBig5Id && to.id == kGbkId) return &big5ToGbk;
    return nullptr;
}

}  // namespace quillon
