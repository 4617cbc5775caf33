#pragma once

#include <optional>

#include "encoding_profile.h"
#include "problem_census.h"

namespace quillon::unicode {

// Reads `path`, a Unicode source in ICU's `encoding`, as a run that warned
// read it, and counts the characters with `problem`: sequences the encoding
// does not allow, or, for legacy output, characters the run from the family
// `from` to `to` cannot carry. Not for HTML runs, which leave tag text as it
// was. None when the file cannot be read.
std::optional<ProblemCensus> takeUnicodeProblemCensus(const char* path, const char* encoding,
                                                      const EncodingProfile& from, const EncodingProfile& to,
                                                      CensusProblem problem);

}  // namespace quillon::unicode
