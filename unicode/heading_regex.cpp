// Headings by the user's regular expression, matched by ICU over the line's
// characters rather than its legacy bytes.
#include "heading_regex.h"

#include <unicode/regex.h>
#include <unicode/unistr.h>
#include <unicode/utypes.h>

#include "char_code.h"
#include "family_maps.h"

namespace quillon::unicode {
namespace {

struct Compiled {
    std::unique_ptr<icu::RegexPattern> pattern;
    std::unique_ptr<icu::RegexMatcher> matcher;
    UErrorCode status = U_ZERO_ERROR;
    UParseError where{};
};

Compiled compiled(std::string_view pattern) {
    Compiled result;
    const icu::UnicodeString text = icu::UnicodeString::fromUTF8(
        icu::StringPiece(pattern.data(), static_cast<std::int32_t>(pattern.size())));
    result.pattern.reset(icu::RegexPattern::compile(text, 0, result.where, result.status));
    if (U_SUCCESS(result.status)) result.matcher.reset(result.pattern->matcher(result.status));
    if (U_FAILURE(result.status)) result.matcher.reset();
    return result;
}

}  // namespace

std::unique_ptr<HeadingRegex> HeadingRegex::compile(std::string_view pattern) {
    Compiled result = compiled(pattern);
    if (!result.matcher) return nullptr;
    return std::unique_ptr<HeadingRegex>(new HeadingRegex(std::move(result.pattern), std::move(result.matcher)));
}

HeadingRegex::HeadingRegex(std::unique_ptr<icu::RegexPattern> pattern, std::unique_ptr<icu::RegexMatcher> matcher)
    : pattern_(std::move(pattern)), matcher_(std::move(matcher)) {}

HeadingRegex::~HeadingRegex() = default;

bool HeadingRegex::matches(const EncodingProfile& source, std::string_view line) const {
    const Utf8Code* const table = FamilyMaps::instance().utf8Table(source);
    decoded_.clear();
    for (int pos = 0; pos < static_cast<int>(line.size());) {
        const CharAt c = readCharAt(line.data(), pos, static_cast<int>(line.size()));
        pos += c.width;
        if (!isDoubleByte(c.code)) {
            decoded_ += static_cast<char>(c.code);
            continue;
        }
        // A code that stands for no character of the family (a character
        // carried through the run) reads as the replacement character.
        const Utf8Code utf8 = table[c.code - FamilyMaps::kFirstPair];
        const Utf8Code shown = utf8 != 0 ? utf8 : utf8Of(u'\uFFFD');
        const auto* bytes = reinterpret_cast<const char*>(&shown);
        decoded_.append(bytes, lengthOf(shown));
    }
    const icu::UnicodeString text = icu::UnicodeString::fromUTF8(
        icu::StringPiece(decoded_.data(), static_cast<std::int32_t>(decoded_.size())));
    matcher_->reset(text);
    UErrorCode status = U_ZERO_ERROR;
    return matcher_->find(status) && U_SUCCESS(status);
}

std::string headingPatternProblem(std::string_view pattern, const Translate& translate) {
    const Compiled result = compiled(pattern);
    if (result.matcher) return {};
    std::string reason = u_errorName(result.status);
    if (result.where.offset >= 0) reason += " at offset " + std::to_string(result.where.offset);
    std::string problem = translate ? translate(kHeadingPatternProblem) : std::string(kHeadingPatternProblem);
    // The reason goes in first: the pattern may hold "%2" itself.
    if (const auto at = problem.find("%2"); at != std::string::npos) problem.replace(at, 2, reason);
    if (const auto at = problem.find("%1"); at != std::string::npos) problem.replace(at, 2, pattern);
    return problem;
}

}  // namespace quillon::unicode
