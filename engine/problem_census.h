#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "encoding_profile.h"

namespace quillon {

class LineReader;

// The characters of a run's source that come out as a box: how many,
// and where the first stands. Taken in a read of its own, after a run that
// warned, so that the run itself pays nothing for it.
struct ProblemCensus {
    std::uint64_t count = 0;
    std::int64_t line = 0;    // of the first, from 1
    std::int64_t column = 0;  // of the first, from 1, in characters
    std::string bytes;        // the first's bytes in a legacy source
    char32_t character = 0;   // the first in a Unicode source, unless it is no character
};

enum class CensusProblem { Invalid, Unmappable };

// Reads `path` as a convert run from `from` to `to` reads it, without tags or
// phrases, and counts the characters with `problem`. None when the file
// cannot be read.
std::optional<ProblemCensus> takeProblemCensus(const char* path, const EncodingProfile& from,
                                               const EncodingProfile& to, CensusProblem problem);
// The same census of the text an open `reader` reads.
std::optional<ProblemCensus> takeProblemCensus(LineReader& reader, const EncodingProfile& from,
                                               const EncodingProfile& to, CensusProblem problem);

// A census's bytes as their hexadecimal digits: "A1 40".
std::string spelledBytes(const std::string& bytes);

}  // namespace quillon
