#pragma once

#include <string_view>

#include "encoding_profile.h"

namespace quillon {

// The shape of a heading as the user describes it. The engine holds no
// pattern language of its own: a front end gives it one through this.
class HeadingPattern {
public:
    virtual ~HeadingPattern() = default;
    // Whether the trimmed line, in `source`'s encoding, is a heading.
    virtual bool matches(const EncodingProfile& source, std::string_view line) const = 0;
};

}  // namespace quillon
