// The user's own dictionaries: read and checked whole before a run starts, so
// that a bad line refuses the run before anything is written.
#include "user_words.h"

#include <unicode/utf8.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace quillon::unicode {
namespace {

constexpr char32_t kCodePointLimit = 0x110000;

// Why `line` is no entry, or null; `key` and `value` are set for one.
const char* refusalOf(std::string_view line, std::string_view& key, std::string_view& value) {
    for (std::int32_t i = 0; i < static_cast<std::int32_t>(line.size());) {
        UChar32 c;
        U8_NEXT(line.data(), i, static_cast<std::int32_t>(line.size()), c);
        if (c < 0) return "not UTF-8";
    }
    const std::size_t tab = line.find('\t');
    if (tab == line.npos) return "no tab between the phrase and its counterpart";
    key = line.substr(0, tab);
    if (key.empty()) return "no phrase before the tab";
    const std::string_view values = line.substr(tab + 1);
    value = values.substr(0, values.find(' '));
    if (value.empty()) return "no counterpart after the tab";
    return nullptr;
}

// The text of the file at `path`; none with `error` set when it cannot be read.
std::optional<std::string> contentsOf(const std::string& path, std::string& error) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    std::string text;
    if (file != nullptr) {
        char buffer[1 << 16];
        while (const std::size_t got = std::fread(buffer, 1, sizeof buffer, file)) text.append(buffer, got);
        const bool failed = std::ferror(file) != 0;
        const int reason = errno;
        std::fclose(file);
        if (!failed) return text;
        errno = reason;
    }
    error = path + ": " + std::strerror(errno);
    return std::nullopt;
}

// `text` in the double-byte codes of `profile`; none when it holds a
// character of another kind or one the encoding lacks.
std::optional<std::string> legacyBytes(std::string_view text, const EncodingProfile& profile) {
    const FamilyMaps& maps = FamilyMaps::instance();
    std::string bytes;
    for (std::int32_t i = 0; i < static_cast<std::int32_t>(text.size());) {
        UChar32 c;
        U8_NEXT(text.data(), i, static_cast<std::int32_t>(text.size()), c);
        const CharCode code = c >= 0x80 ? maps.encode(profile, profile, static_cast<char32_t>(c)) : 0;
        if (code == 0 || !profile.holds(code)) return std::nullopt;
        (bytes += static_cast<char>(code >> 8)) += static_cast<char>(code & 0xFF);
    }
    return bytes;
}

void addLegacy(const UserPhrases& phrases, const EncodingProfile& from, const EncodingProfile& to,
               LegacyPhraseTable& table) {
    for (const auto& [key, value] : phrases.entries()) {
        std::optional<std::string> source = legacyBytes(key, from);
        std::optional<std::string> target = legacyBytes(value, to);
        if (source && target && source->size() == target->size()) table.add(std::move(*source), std::move(*target));
    }
}

}  // namespace

void UserPhrases::add(std::string_view key, std::string_view value) {
    if (!phrases_.emplace(key, value).second) return;
    std::int32_t i = 0;
    UChar32 first;
    U8_NEXT(key.data(), i, static_cast<std::int32_t>(key.size()), first);
    if (starts_.empty()) starts_.resize(kCodePointLimit);
    starts_[static_cast<char32_t>(first)] = true;
    longestKey_ = std::max(longestKey_, key.size());
}

UserPhrases::Match UserPhrases::longestAt(const char* at, const char* end) const {
    if (phrases_.empty()) return {};
    std::int32_t i = 0;
    const auto room = static_cast<std::int32_t>(std::min(static_cast<std::size_t>(end - at), longestKey_));
    UChar32 c;
    U8_NEXT(at, i, room, c);
    if (c < 0 || !starts_[static_cast<char32_t>(c)]) return {};
    Match longest;
    while (true) {
        if (const auto found = phrases_.find(std::string_view(at, static_cast<std::size_t>(i)));
            found != phrases_.end()) {
            longest = {static_cast<std::size_t>(i), found->second};
        }
        if (i == room) return longest;
        U8_NEXT(at, i, room, c);
    }
}

UserWords::UserWords() = default;
UserWords::UserWords(UserWords&&) noexcept = default;
UserWords& UserWords::operator=(UserWords&&) noexcept = default;
UserWords::~UserWords() = default;

std::optional<UserWords> UserWords::read(std::span<const std::string> paths, std::string& error) {
    UserWords words;
    for (const std::string& path : paths) {
        const std::optional<std::string> text = contentsOf(path, error);
        if (!text) return std::nullopt;
        std::string_view rest = *text;
        for (std::size_t number = 1; !rest.empty(); ++number) {
            const std::size_t lineEnd = rest.find('\n');
            std::string_view line = rest.substr(0, lineEnd);
            rest.remove_prefix(lineEnd == rest.npos ? rest.size() : lineEnd + 1);
            if (line.ends_with('\r')) line.remove_suffix(1);
            if (line.empty() || line.starts_with('#')) continue;
            std::string_view key;
            std::string_view value;
            if (const char* refusal = refusalOf(line, key, value)) {
                error = path + ":" + std::to_string(number) + ": " + refusal;
                return std::nullopt;
            }
            words.toTraditional_.add(key, value);
            words.toSimplified_.add(value, key);
        }
    }
    addLegacy(words.toTraditional_, profiles::GB, profiles::BIG5, words.legacy_.gbToBig5);
    addLegacy(words.toTraditional_, profiles::GBK, profiles::BIG5, words.legacy_.gbkToBig5);
    addLegacy(words.toSimplified_, profiles::BIG5, profiles::GB, words.legacy_.big5ToGb);
    addLegacy(words.toSimplified_, profiles::BIG5, profiles::GBK, words.legacy_.big5ToGbk);
    return words;
}

}  // namespace quillon::unicode
