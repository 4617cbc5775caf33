#pragma once

#include <functional>
#include <optional>
#include <string_view>

#include "edge_options.h"
#include "run_result.h"
#include "text_file.h"

namespace quillon {
class TextFormatter;
}

namespace quillon::unicode {

enum class RunKind { Convert, Format };

// The encodings a run read and wrote: null for GB, GBK or Big5, else the
// ICU name of the Unicode encoding ("UTF-8", "UTF-16", "GB18030").
struct EdgeOutput {
    const char* unicodeEncoding = nullptr;
    const char* unicodeSource = nullptr;
    // Set when the run could not make, write or read a scratch file of its
    // own in the scratch folder (a destination error all the same); the
    // formatter's systemError tells why.
    bool scratchFailed = false;
};

// Runs `kind` from `source` to `destination` through the edge, with the
// run's `options` (source and output encodings may take the edge's values
// too). `formatter` is the run's working object only: the run sets its
// options from `options` and clears its run state before anything else, so
// nothing an earlier run set or left reaches this one. A Unicode source
// (named, or found by auto-detection) is decoded and reaches the engine in the
// family that fits its form; Unicode output is encoded from the engine's;
// line ends are written as chosen. A run between legacy encodings with the
// default line ends is the engine's own, byte for byte. A source that is
// plainly no text (see not_text.h) is refused. The
// formatter's systemError and endMarkOffset tell about the run's files.
RunResult runThroughEdge(TextFormatter& formatter, RunKind kind, const EdgeRunOptions& options,
                         const char* source, const char* destination,
                         EdgeOutput* output = nullptr);

// Whether a run with `options` reads its source once, as it comes, and writes
// its output as it goes: a run between legacy encodings named in the options
// that is the engine's own. Such a run needs no files.
bool streamsThroughEdge(const EdgeRunOptions& options);

// The run of `options`, for which streamsThroughEdge holds, from the text
// `source` gives to `destination`; `firstBlock` is the text's first
// kFirstBlock bytes (or all of a shorter text), by which a source that is
// plainly no text is refused. Byte for byte the run between files.
RunResult runThroughEdge(TextFormatter& formatter, RunKind kind, const EdgeRunOptions& options,
                         std::string_view firstBlock, TextReader::BlockSource source,
                         TextWriter::BlockSink destination);

// Where a run of text in memory writes: `write` takes the output as it comes
// (false: the rest is lost, and the run fails on its destination);
// `restart`, where given, drops all it took, for a run that starts its
// output afresh.
struct MemoryDestination {
    TextWriter::BlockSink write;
    std::function<void()> restart;
};

// The run of `options` from `source`, text in memory read where it lies, to
// `destination`, byte for byte the run between files, when the source is
// Unicode text (named, or found by auto-detection), legacy text named in the
// options whose run is not the engine's own (those stream: runThroughEdge),
// or legacy text that the engine's own run detects as it reads it (with a
// destination that can restart). None, with nothing written, for the others,
// whose runs read their source by path.
std::optional<RunResult> runInMemory(TextFormatter& formatter, RunKind kind, const EdgeRunOptions& options,
                                     std::string_view source, const MemoryDestination& destination,
                                     EdgeOutput* output = nullptr);

}  // namespace quillon::unicode
