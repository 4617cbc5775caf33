#pragma once

#include <memory>
#include <string>
#include <string_view>

#include <unicode/uversion.h>

#include "file_failure.h"
#include "heading_pattern.h"

U_NAMESPACE_BEGIN
class RegexMatcher;
class RegexPattern;
U_NAMESPACE_END

namespace quillon::unicode {

// A heading pattern given as an ICU regular expression, which looks for its
// match in each line decoded to Unicode: it means the same whatever the
// encoding of the text.
class HeadingRegex final : public HeadingPattern {
public:
    // None when the pattern does not compile.
    static std::unique_ptr<HeadingRegex> compile(std::string_view pattern);
    ~HeadingRegex() override;
    HeadingRegex(const HeadingRegex&) = delete;
    HeadingRegex& operator=(const HeadingRegex&) = delete;

    bool matches(const EncodingProfile& source, std::string_view line) const override;

private:
    HeadingRegex(std::unique_ptr<icu::RegexPattern> pattern, std::unique_ptr<icu::RegexMatcher> matcher);
    std::unique_ptr<icu::RegexPattern> pattern_;
    std::unique_ptr<icu::RegexMatcher> matcher_;  // of pattern_
    mutable std::string decoded_;  // the line in UTF-8, kept for its room
};

// Why a heading pattern is refused: "%1" stands for the pattern, "%2" for
// ICU's reason.
inline constexpr std::string_view kHeadingPatternProblem = "The heading pattern '%1' is no regular expression: %2";
// That message for `pattern`, in the reader's language; empty when the
// pattern compiles.
std::string headingPatternProblem(std::string_view pattern, const Translate& translate = {});

}  // namespace quillon::unicode
