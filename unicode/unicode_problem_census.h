#pragma once

#include <optional>
#include <string_view>

#include "edge_run.h"
#include "encoding_profile.h"
#include "problem_census.h"
#include "source_text.h"

namespace quillon::unicode {

// Reads `source`, a Unicode source in ICU's `encoding`, as a run that warned
// read it, and counts the characters with `problem`: sequences the encoding
// does not allow, or, for legacy output, characters the run from the family
// `from` to `to` cannot carry. Not for HTML runs, which leave tag text as it
// was. None when the file cannot be read.
std::optional<ProblemCensus> takeUnicodeProblemCensus(const SourceText& source, const char* encoding,
                                                      const EncodingProfile& from, const EncodingProfile& to,
                                                      CensusProblem problem);

// A run's source to read again: a file, or text in memory.
struct CensusSource {
    const char* path = nullptr;
    std::string_view text;
};

// Where the boxed characters of a run of `kind` that warned with `result`
// stand, read again from its `source`, which `formatter` and `written` ran;
// none where that tells nothing sure: tags and the engine's phrases change
// which characters a legacy run converts, and what Unicode output carries
// beside the engine is never lost.
std::optional<ProblemCensus> warningCensus(const CensusSource& source, RunKind kind, RunResult result,
                                           const TextFormatter& formatter, const EdgeOutput& written);

}  // namespace quillon::unicode
