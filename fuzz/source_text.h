#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "encoding_profile.h"

namespace quillon::fuzz {

// The source as the engine's text reader hands it out: CR LF reads as LF, a
// byte 1A ends the text, and a line longer than the line buffer comes in
// parts. Each piece keeps its LF.
std::vector<std::string> linePieces(std::string_view bytes);

// The piece without the LF that ends it, if any.
std::string_view withoutLineFeed(std::string_view piece);

// True when every high byte of every piece starts a pair whose lead and trail
// bytes `profile` accepts.
bool isWellFormed(const std::vector<std::string>& pieces, const EncodingProfile& profile);

// True when some character of the pieces is one of the marks a separator line
// is made of (* # $ = - _, ASCII or the profile's own forms).
bool hasSeparatorMark(const std::vector<std::string>& pieces, const EncodingProfile& profile);

// The characters of a line that a format run must carry to its output: all
// but ASCII spaces and tabs, the profile's full-width blank and NUL bytes,
// which read as no character. A lead byte in the last place counts as a
// character of its own.
std::size_t countVisibleCharacters(std::string_view line, const EncodingProfile& profile);

// True when the line does not end in the first byte of a pair.
bool endsOnCharacter(std::string_view line);

}  // namespace quillon::fuzz
