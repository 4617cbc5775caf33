#include "path_run.h"

#include <unicode/utf8.h>

#include "edge_run.h"
#include "encoding_profile.h"
#include "file_failure.h"
#include "messages.h"
#include "options_check.h"
#include "problem_census.h"
#include "scratch_file.h"
#include "text_formatter.h"
#include "text_forms.h"
#include "unicode_problem_census.h"

namespace quillon::api {
namespace {

// The run's trace lines go to the caller's function, or nowhere; the
// thread's own sink comes back when the run ends.
class TraceRedirect {
public:
    explicit TraceRedirect(const std::function<void(std::string_view)>& trace) {
        setTraceSink(trace ? TraceSink(trace) : TraceSink([](std::string_view) {}));
    }
    ~TraceRedirect() { setTraceSink(nullptr); }
    TraceRedirect(const TraceRedirect&) = delete;
    TraceRedirect& operator=(const TraceRedirect&) = delete;
};

std::string catalogueText(RunResult result) {
    const auto message = resultMessage(result);
    return message ? std::string(message->text) : std::string();
}

// Throws the run's failure; `warnings` are those of a whole output that could
// not take the destination's place.
[[noreturn]] void fail(RunResult result, const TextFormatter& formatter, const unicode::EdgeOutput& written,
                       const char* source, const FileNames& names, const unicode::EdgeRunOptions& options,
                       std::vector<Warning> warnings) {
    using Kind = Error::Kind;
    switch (result) {
        case kPlainAsciiSource:
            throw Error(Kind::PlainAscii, "the source is plain ASCII text, there is nothing to format");
        case kSourceNotText:
            throw Error(Kind::SourceNotText, unicode::fileFailure(names.source, 0, result));
        case kSourceUnreadable: {
            const int error = formatter.systemError != 0 ? formatter.systemError
                              : source != nullptr         ? unicode::openError(source)
                                                          : 0;
            if (error == 0 && options.sourceEncoding == unicode::kSourceUtf16) {
                // It opens and reads: only the mark that would tell its byte order is missing.
                throw Error(Kind::SourceUnreadable, names.source + ": UTF-16 without a byte-order mark; name its "
                                                                   "byte order with --from utf-16le or utf-16be");
            }
            throw Error(Kind::SourceUnreadable, unicode::fileFailure(names.source, error, result), error);
        }
        case kDestinationUnwritable:
            if (written.scratchFailed) {
                throw Error(Kind::ScratchFile,
                            unicode::fileFailure("Unable to write a temporary file in " + unicode::scratchFolder(),
                                                 formatter.systemError, result),
                            formatter.systemError);
            }
            throw Error(Kind::DestinationUnwritable,
                        unicode::fileFailure(names.destination, formatter.systemError, result),
                        formatter.systemError, std::move(warnings));
        default:  // kOutOfMemory, the one error left
            throw Error(Kind::OutOfMemory, catalogueText(result));
    }
}

unicode::RunKind kindOf(Task task) { return task == Task::Convert ? unicode::RunKind::Convert : unicode::RunKind::Format; }

// A warning of boxed characters where its census places them.
void place(Warning& warning, const ProblemCensus& census) {
    warning.count = std::int64_t(census.count);
    warning.line = census.line;
    warning.column = census.column;
    if (!census.bytes.empty()) warning.text = spelledBytes(census.bytes);
    if (census.character != 0) {
        char utf8[U8_MAX_LENGTH];
        std::size_t length = 0;
        U8_APPEND_UNSAFE(utf8, length, census.character);
        warning.text.assign(utf8, length);
    }
}

std::vector<Warning> warningsOf(Task task, RunResult result, const TextFormatter& formatter,
                                const unicode::EdgeOutput& written, const unicode::CensusSource& again) {
    std::vector<Warning> warnings;
    if (isWarning(result)) {
        const Warning::Kind kind = result == kInvalidCodeWarning ? Warning::Kind::InvalidCode
                                   : result == kUnmappableWarning ? Warning::Kind::Unmappable
                                                                  : Warning::Kind::HtmlAborted;
        Warning& warning = warnings.emplace_back();
        warning.kind = kind;
        warning.message = catalogueText(result);
        const std::optional<ProblemCensus> census =
            again.path != nullptr || again.text.data() != nullptr
                ? unicode::warningCensus(again, kindOf(task), result, formatter, written)
                : std::nullopt;
        if (census && census->count > 0) place(warning, *census);
    }
    if (formatter.endMarkOffset >= 0) {
        Warning& warning = warnings.emplace_back();
        warning.kind = Warning::Kind::EndMark;
        warning.message = unicode::endMarkWarning(formatter.endMarkOffset, written.unicodeSource);
        warning.offset = formatter.endMarkOffset;
    }
    return warnings;
}

using EdgeRun =
    std::function<std::optional<RunResult>(TextFormatter&, const unicode::EdgeRunOptions&, unicode::EdgeOutput&)>;

// One run of the engine, which `run` makes with the run's formatter and
// options, or declines (none); its warnings are placed by reading `again`.
std::optional<Result> runEdge(const PreparedOptions::Run& prepared, const char* source, const FileNames& names,
                              const EdgeRun& run, const unicode::CensusSource& again) {
    const unicode::EdgeRunOptions& edgeOptions = prepared.edge;
    TextFormatter formatter;
    if (!formatter.hasBuffers()) throw Error(Error::Kind::OutOfMemory, catalogueText(kOutOfMemory));
    const TraceRedirect redirect(prepared.trace);
    unicode::EdgeOutput written;
    const std::optional<RunResult> ran = run(formatter, edgeOptions, written);
    if (!ran) return std::nullopt;
    const RunResult result = *ran;
    if (isError(result)) {
        std::vector<Warning> warnings;
        if (formatter.outputUnplaced && !written.scratchFailed) {
            warnings = warningsOf(prepared.task, formatter.conversionResult(), formatter, written, again);
        }
        fail(result, formatter, written, source, names, edgeOptions, std::move(warnings));
    }
    Result done;
    done.warnings = warningsOf(prepared.task, result, formatter, written, again);
    done.sourceEncoding = written.unicodeSource ? written.unicodeSource
                          : formatter.sourceProfile ? formatter.sourceProfile->name
                                                    : "";
    done.outputEncoding = written.unicodeEncoding ? written.unicodeEncoding
                          : formatter.targetProfile ? formatter.targetProfile->name
                                                    : "";
    done.sourceForm = formOf(formatter.sourceProfile);
    done.outputForm = formOf(formatter.targetProfile);
    return done;
}

}  // namespace

Result runPaths(Task task, const Options& options, const char* source, const char* destination,
                const FileNames& names) {
    return runPaths(prepareRun(task, options), source, destination, names);
}

Result runPaths(const PreparedOptions::Run& prepared, const char* source, const char* destination,
                const FileNames& names) {
    return *runEdge(
        prepared, source, names,
        [&](TextFormatter& formatter, const unicode::EdgeRunOptions& edgeOptions, unicode::EdgeOutput& written) {
            return unicode::runThroughEdge(formatter, kindOf(prepared.task), edgeOptions, source, destination,
                                           &written);
        },
        unicode::CensusSource{source, {}});
}

std::optional<Result> runStreamed(Task task, const Options& options, const std::function<StreamedSource()>& open,
                                  const TextWriter::BlockSink& destination, const FileNames& names,
                                  const unicode::CensusSource& again) {
    return runStreamed(prepareRun(task, options), open, destination, names, again);
}

std::optional<Result> runStreamed(const PreparedOptions::Run& prepared, const std::function<StreamedSource()>& open,
                                  const TextWriter::BlockSink& destination, const FileNames& names,
                                  const unicode::CensusSource& again) {
    if (!unicode::streamsThroughEdge(prepared.edge)) return std::nullopt;
    return runEdge(prepared, nullptr, names,
                   [&](TextFormatter& formatter, const unicode::EdgeRunOptions& edgeOptions,
                       unicode::EdgeOutput&) -> std::optional<RunResult> {
                       StreamedSource source = open();
                       return unicode::runThroughEdge(formatter, kindOf(prepared.task), edgeOptions, source.firstBlock,
                                                      std::move(source.text), destination);
                   },
                   again);
}

std::optional<Result> runInMemory(Task task, const Options& options, std::string_view input,
                                  const unicode::MemoryDestination& destination, const FileNames& names) {
    const PreparedOptions::Run prepared = prepareRun(task, options);
    const unicode::CensusSource again{nullptr, input};
    if (std::optional<Result> streamed = runStreamed(
            prepared, [&] { return StreamedSource{input, blockSourceOf(input)}; }, destination.write, names,
            again)) {
        return streamed;
    }
    return runEdge(
        prepared, nullptr, names,
        [&](TextFormatter& formatter, const unicode::EdgeRunOptions& edgeOptions, unicode::EdgeOutput& written) {
            return unicode::runInMemory(formatter, kindOf(task), edgeOptions, input, destination, &written);
        },
        again);
}

}  // namespace quillon::api
