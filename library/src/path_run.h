#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include <quillon/quillon.h>

#include "edge_run.h"
#include "options_check.h"
#include "text_file.h"
#include "unicode_problem_census.h"

namespace quillon::api {

// One run of the engine from `source` to `destination` by path; throws
// Error when it gives no usable output.
Result runPaths(Task task, const Options& options, const char* source, const char* destination,
                const FileNames& names);
Result runPaths(const PreparedOptions::Run& prepared, const char* source, const char* destination,
                const FileNames& names);

// Text a run reads as it comes: its first block (unicode::kFirstBlock bytes,
// or all of a shorter text), and all of it from the start.
struct StreamedSource {
    std::string_view firstBlock;
    TextReader::BlockSource text;
};

// The run from the text `open` gives to `destination`, with no files, when
// the run reads its source once (unicode::streamsThroughEdge); none, with
// `open` not called, when it needs files. Warnings of boxed characters are
// placed by reading `again` (nothing: not placed).
std::optional<Result> runStreamed(const PreparedOptions::Run& prepared, const std::function<StreamedSource()>& open,
                                  const TextWriter::BlockSink& destination, const FileNames& names,
                                  const unicode::CensusSource& again);
std::optional<Result> runStreamed(Task task, const Options& options, const std::function<StreamedSource()>& open,
                                  const TextWriter::BlockSink& destination, const FileNames& names,
                                  const unicode::CensusSource& again);

// The run from `input`, text in memory read where it lies, to `destination`
// with no files of the caller's text, when the run allows: one that streams,
// any of Unicode text, and one whose legacy source the engine detects as it
// reads it. None, with nothing written, for the others, which read their
// source by path.
std::optional<Result> runInMemory(Task task, const Options& options, std::string_view input,
                                  const unicode::MemoryDestination& destination, const FileNames& names);

}  // namespace quillon::api
