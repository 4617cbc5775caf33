#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "family_maps.h"
#include "user_phrases.h"

namespace quillon::unicode {

// Phrases of one direction, UTF-8 keys to their values.
class UserPhrases {
public:
    // The longest key at `at` and its value; no key: keyBytes 0.
    struct Match {
        std::size_t keyBytes = 0;
        std::string_view value;
    };
    Match longestAt(const char* at, const char* end) const;

    // Adds a phrase unless its key is there already: the first entry wins.
    void add(std::string_view key, std::string_view value);
    bool empty() const { return phrases_.empty(); }
    const std::map<std::string, std::string, std::less<>>& entries() const { return phrases_; }

private:
    std::map<std::string, std::string, std::less<>> phrases_;
    std::vector<bool> starts_;  // by code point: whether a key starts with it
    std::size_t longestKey_ = 0;  // in bytes
};

// The user's own phrases, read from dictionaries in OpenCC's text form: one
// entry a line, KEY, a tab and its values between spaces, of which the first
// counts; lines that start with # and empty lines are passed over. As in
// OpenCC's STPhrases.txt, KEY is simplified and VALUE traditional: runs to
// traditional text write VALUE for KEY, runs to simplified text KEY for VALUE.
class UserWords {
public:
    // Reads `paths` in order, an earlier entry for a key winning; none with
    // `error` naming the file and the line ("words.txt:3: ..."), or the file
    // and the system's reason, when one cannot be taken.
    static std::optional<UserWords> read(std::span<const std::string> paths, std::string& error);

    // Out of line, so that std::map's code is made here: a shared library
    // that links this statically would otherwise export it as its own.
    UserWords();
    UserWords(UserWords&&) noexcept;
    UserWords& operator=(UserWords&&) noexcept;
    ~UserWords();

    // The phrases of a conversion into `output` form.
    const UserPhrases& toward(Form output) const {
        return output == Form::Simplified ? toSimplified_ : toTraditional_;
    }

    // The phrases for runs between GB, GBK and Big5: those of hanzi and
    // full-width signs alone that both encodings of a run hold, as many
    // characters on either side.
    const LegacyUserPhrases& legacy() const { return legacy_; }

private:
    UserPhrases toTraditional_;
    UserPhrases toSimplified_;
    LegacyUserPhrases legacy_;
};

}  // namespace quillon::unicode
