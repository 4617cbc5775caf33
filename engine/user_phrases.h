#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "encoding_profile.h"

namespace quillon {

// The user's own phrases for a run from one legacy encoding to another: a
// phrase's bytes in the source encoding to as many bytes in the target's,
// double-byte characters only, so that a line keeps its length.
class LegacyPhraseTable {
public:
    // Adds a phrase unless its key is there already: the first entry wins.
    void add(std::string key, std::string value);
    // The value of the longest key that the `room` bytes at `at` begin with,
    // its length in `keyBytes`; empty when none does.
    std::string_view longestAt(const unsigned char* at, std::size_t room, std::size_t& keyBytes) const;

private:
    std::map<std::string, std::string, std::less<>> phrases_;
    std::vector<bool> starts_;    // by code: whether a key starts with it
    std::size_t longestKey_ = 0;  // in bytes
};

// A table for each run between legacy encodings that changes the form.
struct LegacyUserPhrases {
    LegacyPhraseTable gbToBig5;
    LegacyPhraseTable gbkToBig5;
    LegacyPhraseTable big5ToGb;
    LegacyPhraseTable big5ToGbk;

    // Null for a run that does not change the form.
    const LegacyPhraseTable* between(const EncodingProfile& from, const EncodingProfile& to) const;
};

}  // namespace quillon
