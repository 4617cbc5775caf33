#include "path_run.h"

#include "edge_run.h"
#include "encoding_profile.h"
#include "file_failure.h"
#include "messages.h"
#include "options_check.h"
#include "scratch_file.h"
#include "text_formatter.h"

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

[[noreturn]] void fail(RunResult result, const TextFormatter& formatter, const unicode::EdgeOutput& written,
                       const char* source, const FileNames& names) {
    using Kind = Error::Kind;
    switch (result) {
        case kPlainAsciiSource:
            throw Error(Kind::PlainAscii, "the source is plain ASCII text, there is nothing to format");
        case kSourceNotText:
            throw Error(Kind::SourceNotText, unicode::fileFailure(names.source, 0, result));
        case kSourceUnreadable: {
            const int error = formatter.systemError != 0 ? formatter.systemError : unicode::openError(source);
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
                        formatter.systemError);
        default:  // kOutOfMemory, the one error left
            throw Error(Kind::OutOfMemory, catalogueText(result));
    }
}

std::vector<Warning> warningsOf(RunResult result, const TextFormatter& formatter) {
    std::vector<Warning> warnings;
    if (isWarning(result)) {
        const Warning::Kind kind = result == kInvalidCodeWarning ? Warning::Kind::InvalidCode
                                   : result == kUnmappableWarning ? Warning::Kind::Unmappable
                                                                  : Warning::Kind::HtmlAborted;
        Warning& warning = warnings.emplace_back();
        warning.kind = kind;
        warning.message = catalogueText(result);
    }
    if (formatter.endMarkOffset >= 0) {
        Warning& warning = warnings.emplace_back();
        warning.kind = Warning::Kind::EndMark;
        warning.message = unicode::endMarkWarning(formatter.endMarkOffset);
        warning.offset = formatter.endMarkOffset;
    }
    return warnings;
}

}  // namespace

Result runPaths(Task task, const Options& options, const char* source, const char* destination,
                const FileNames& names) {
    const unicode::EdgeRunOptions edgeOptions = edgeOptionsOf(task, options);
    TextFormatter formatter;
    if (!formatter.hasBuffers()) throw Error(Error::Kind::OutOfMemory, catalogueText(kOutOfMemory));
    const TraceRedirect redirect(options.trace);
    unicode::EdgeOutput written;
    const RunResult result =
        unicode::runThroughEdge(formatter, task == Task::Convert ? unicode::RunKind::Convert : unicode::RunKind::Format,
                                edgeOptions, source, destination, &written);
    if (isError(result)) fail(result, formatter, written, source, names);
    Result done;
    done.warnings = warningsOf(result, formatter);
    done.sourceEncoding = written.unicodeSource ? written.unicodeSource
                          : formatter.sourceProfile ? formatter.sourceProfile->name
                                                    : "";
    done.outputEncoding = written.unicodeEncoding ? written.unicodeEncoding
                          : formatter.targetProfile ? formatter.targetProfile->name
                                                    : "";
    return done;
}

}  // namespace quillon::api
