#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillon {

// The name an HTML document gives the encoding of an engine profile
// (gb2312, gbk, big5); empty for a profile HTML has no name for.
std::string_view htmlCharsetName(std::int32_t profileId);

// A line of HTML with the encoding that its <meta charset=...> or
// <meta http-equiv="Content-Type" content="...; charset=..."> tags name
// replaced by `charset`; none when the line names no other encoding.
std::optional<std::string> withMetaCharset(std::string_view line, std::string_view charset);

}  // namespace quillon
