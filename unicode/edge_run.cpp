// Runs through the edge: Unicode text is decoded into the legacy family that
// fits it, the engine does the run, and its output is decoded back. Characters
// that cannot make the journey through the engine travel beside it.
#include "edge_run.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "carried_lines.h"
#include "code_point_stream.h"
#include "direct_utf8_conversion.h"
#include "family_maps.h"
#include "family_text_reader.h"
#include "line_reader.h"
#include "messages.h"
#include "scratch_file.h"
#include "source_detection.h"
#include "source_judge.h"
#include "text_formatter.h"

namespace quillon::unicode {
namespace {

// The encodings and the edge's choices of one run.
struct RunPlan {
    std::int32_t sourceEncoding;
    std::int32_t outputEncoding;
    std::int32_t form;
    std::int32_t lineEnds;
};

bool writesCrLf(const RunPlan& options, bool utf8Output) {
    return options.lineEnds == kLineEndsCrLf ||
           (options.lineEnds == kLineEndsAuto && !utf8Output);
}

const char* outputEncodingName(std::int32_t outputEncoding) {
    return outputEncoding == kOutputGb18030 ? "GB18030" : kUtf8Name;
}

RunResult warningOf(bool invalid, bool unmappable, bool htmlAborted) {
    if (invalid) return kInvalidCodeWarning;
    if (unmappable) return kUnmappableWarning;
    if (htmlAborted) return kHtmlAbortedWarning;
    return kSuccess;
}

RunResult engineRun(TextFormatter& formatter, RunKind kind, const char* source,
                    const char* destination) {
    return kind == RunKind::Convert ? formatter.convertFile(source, destination)
                                    : formatter.formatFile(source, destination);
}

// Copies an engine run's output to the destination through `writer`.
bool copyEngineOutput(TextFormatter& formatter, const char* path, LineWriter& writer,
                      const LineEncoder* carriersFrom) {
    LineReader reader;
    if (!reader.open(path)) return false;
    std::vector<Carrier> carriers;
    char* line = formatter.lineBuffer();
    while (const int read = reader.readLine(line, TextFormatter::kBufferSize)) {
        const auto length = static_cast<std::size_t>(read);
        carriers.clear();
        if (carriersFrom != nullptr) carriersFrom->recover(line, length, carriers);
        writer.write(line, length, carriers);
    }
    return !reader.failed();
}

// Whether a run of a legacy source is the engine's own, byte for byte.
bool isEngineRun(const RunPlan& options) {
    return !isUnicodeOutput(options.outputEncoding) && options.lineEnds != kLineEndsLf;
}

// A legacy source: the engine's own run, its output rewritten only where the
// output is Unicode or the line ends are LF.
RunResult runLegacySource(TextFormatter& formatter, RunKind kind, const RunPlan& options,
                          const char* source, const char* destination, EdgeOutput& written) {
    const bool unicodeOutput = isUnicodeOutput(options.outputEncoding);
    const bool utf8Output = options.outputEncoding == kOutputUtf8;
    if (isEngineRun(options)) return engineRun(formatter, kind, source, destination);
    if (unicodeOutput) {
        formatter.setOutputEncoding(options.form == kFormSimplified    ? kOutputGbk
                                    : options.form == kFormTraditional ? kOutputBig5
                                    : kind == RunKind::Convert         ? kOutputDifferent
                                                                       : kOutputSame);
    }
    ScratchFile output;
    if (!output.created()) return kDestinationUnwritable;
    const RunResult result = engineRun(formatter, kind, source, output.path());
    if (isError(result)) return result;

    if (unicodeOutput) written.unicodeEncoding = outputEncodingName(options.outputEncoding);
    TextSink sink;
    if (!sink.open(destination, written.unicodeEncoding)) return kDestinationUnwritable;
    const EncodingProfile& target = *formatter.targetProfile;
    LineWriter writer(formatter, target, target, unicodeOutput, writesCrLf(options, utf8Output), sink);
    const bool copied = copyEngineOutput(formatter, output.path(), writer, nullptr);
    if (!sink.close() || !copied) return kDestinationUnwritable;
    return result;
}

// A Unicode source: judged for its form, put into the family of that form,
// run, and written back.
class UnicodeSourceRun {
public:
    UnicodeSourceRun(TextFormatter& formatter, RunKind kind, const RunPlan& options,
                     const char* source, const char* destination)
        : formatter_(formatter), kind_(kind), options_(options), source_(source),
          destination_(destination) {}

    RunResult run(EdgeOutput& written) {
        const std::optional<Form> form = judgeForm();
        if (!form) return kSourceUnreadable;
        // As with a legacy source, text without a Chinese character is not formatted.
        if (kind_ == RunKind::Format && !sawNonAscii_) return kPlainAsciiSource;
        const EncodingProfile& from = FamilyMaps::familyFor(*form);
        const std::int32_t output = options_.outputEncoding;
        const bool legacyOutput = output == kOutputGb || output == kOutputGbk || output == kOutputBig5;
        const EncodingProfile& to = legacyOutput ? *profileById(output)
                                                 : FamilyMaps::familyFor(outputForm(*form));
        const bool utf8Output = !legacyOutput && output != kOutputGb18030;

        formatter_.setSourceEncoding(from.id);
        formatter_.setOutputEncoding(kind_ == RunKind::Convert ? to.id : from.id);

        if (!legacyOutput) written.unicodeEncoding = outputEncodingName(output);
        TextSink sink;
        if (!sink.open(destination_, written.unicodeEncoding)) return kDestinationUnwritable;
        const bool crLf = writesCrLf(options_, utf8Output);
        LineWriter writer(formatter_, from, to, !legacyOutput, crLf, sink);
        LineEncoder encoder(from, to, kind_ == RunKind::Format);
        RunResult result;
        if (kind_ == RunKind::Format) {
            result = format(encoder, writer);
        } else if (utf8Output && options_.sourceEncoding == kSourceUtf8 && !linesMatter()) {
            resetConversionFlags();
            DirectUtf8Conversion direct(formatter_, from, to, crLf);
            result = direct.run(source_, sink);
            encoder.sawInvalid = direct.sawInvalid;
        } else {
            result = convert(encoder, writer);
        }
        formatter_.sourceProfile = &from;
        formatter_.targetProfile = &to;
        // A failed run leaves the destination as it was: the sink is not committed.
        if (result != kSuccess) return result;
        if (!sink.close()) return kDestinationUnwritable;
        return warningOf(formatter_.sawInvalidCode || encoder.sawInvalid,
                         formatter_.sawUnmappable || encoder.sawUnmappable || writer.sawUnmappable,
                         formatter_.htmlAborted);
    }

private:
    static constexpr std::size_t kChunkBytes = 1 << 15;

    const char* encodingName() const {
        return options_.sourceEncoding == kSourceUtf8    ? kUtf8Name
               : options_.sourceEncoding == kSourceUtf16 ? "UTF-16"
                                                         : "GB18030";
    }

    template <typename Reader>
    bool openSource(Reader& reader) const {
        if (!reader.open(source_, encodingName())) return false;
        // UTF-16 is read only with its byte-order mark, which tells its byte order.
        if (options_.sourceEncoding != kSourceUtf16) return true;
        const std::optional<UnicodeEncoding> found = detectUnicodeEncoding(source_);
        return found == UnicodeEncoding::Utf16Le || found == UnicodeEncoding::Utf16Be;
    }

    std::optional<Form> judgeForm() {
        CodePointReader reader;
        if (!openSource(reader)) return std::nullopt;
        const FamilyMaps& maps = FamilyMaps::instance();
        FormCount count;
        // A few thousand telling characters show the form of any text; the
        // rest of a large file would only confirm it.
        constexpr std::uint64_t kTellingEnough = 4096;
        std::vector<char32_t> text(4096);
        while (count.simplified + count.traditional < kTellingEnough) {
            const std::size_t n = reader.read(text.data(), text.size());
            if (n == 0) break;
            for (std::size_t i = 0; i < n; ++i) {
                maps.count(text[i], count);
                sawNonAscii_ |= text[i] >= 0x80;
            }
        }
        if (reader.failed()) return std::nullopt;
        return count.form();
    }

    Form outputForm(Form sourceForm) const {
        if (options_.form == kFormSimplified) return Form::Simplified;
        if (options_.form == kFormTraditional) return Form::Traditional;
        // As in every convert run, the form changes unless the run names it.
        const bool switches = options_.outputEncoding == kOutputDifferent || kind_ == RunKind::Convert;
        if (!switches) return sourceForm;
        return sourceForm == Form::Traditional ? Form::Simplified : Form::Traditional;
    }

    // Reads the source in chunks of text encoded for the run: many lines at
    // once, or with `lineByLine` one line (or piece of a long line) each.
    template <typename F>
    RunResult forEachChunk(LineEncoder& encoder, bool lineByLine, F&& onChunk) {
        FamilyTextReader reader(encoder, lineByLine ? 1 : kChunkBytes);
        if (!openSource(reader)) return kSourceUnreadable;
        while (const std::size_t length = reader.next()) onChunk(reader.text(), length, reader.carriers());
        return reader.failed() ? kSourceUnreadable : kSuccess;
    }

    // Phrases and tags take the engine's lines as they are; plain conversion
    // takes any stretch of text alike.
    bool linesMatter() const { return formatter_.phrases() || formatter_.htmlAware(); }

    void resetConversionFlags() {
        formatter_.sawInvalidCode = formatter_.sawUnmappable = formatter_.htmlAborted = 0;
        formatter_.insideTag = 0;
    }

    RunResult convert(LineEncoder& encoder, LineWriter& writer) {
        resetConversionFlags();
        return forEachChunk(encoder, linesMatter(),
                            [&](char* text, std::size_t length, const std::vector<Carrier>& carriers) {
                                writer.write(text, length, carriers);
                            });
    }

    // The engine formats text of one family without converting it; the
    // conversion to the target follows as the lines are written.
    RunResult format(LineEncoder& encoder, LineWriter& writer) {
        ScratchFile input;
        ScratchFile output;
        if (!input.created() || !output.created()) return kDestinationUnwritable;
        {
            TextSink legacy;
            if (!legacy.open(input.path(), nullptr)) return kDestinationUnwritable;
            const RunResult read = forEachChunk(
                encoder, false, [&](const char* text, std::size_t length, const std::vector<Carrier>&) {
                    legacy.writeBytes(text, length);
                });
            if (!legacy.close()) return kDestinationUnwritable;
            if (read != kSuccess) return read;
        }
        // Pairs outside the family's ranges carry characters: they are kept.
        const RunResult result =
            formatter_.formatFile(input.path(), output.path(), TextFormatter::UnconvertedPairs::Kept);
        if (isError(result)) return result;
        formatter_.insideTag = 0;
        if (!copyEngineOutput(formatter_, output.path(), writer, &encoder)) return kSourceUnreadable;
        return kSuccess;
    }

    TextFormatter& formatter_;
    const RunKind kind_;
    const RunPlan& options_;
    const char* const source_;
    const char* const destination_;
    bool sawNonAscii_ = false;
};

}  // namespace

RunResult runThroughEdge(TextFormatter& formatter, RunKind kind, const EdgeChoices& choices,
                         const char* source, const char* destination, EdgeOutput* output) {
    EdgeOutput ignored;
    EdgeOutput& written = output ? *output : ignored;
    written = {};
    if (!formatter.hasBuffers()) return kOutOfMemory;
    RunPlan run{formatter.sourceEncoding(), formatter.outputEncoding(), choices.form,
                choices.lineEnds};
    // Most sources to detect are judged in the engine's read of them, rather
    // than in a read of their own before it.
    if (run.sourceEncoding == kSourceAuto && isEngineRun(run)) {
        const std::unique_ptr<SourceJudge> judge = makeOneReadJudge();
        const std::optional<RunResult> judged = kind == RunKind::Convert
                                                    ? formatter.convertFile(source, destination, *judge)
                                                    : formatter.formatFile(source, destination, *judge);
        if (judged) return *judged;
    }
    std::int32_t legacyProfile = 0;
    if (run.sourceEncoding == kSourceAuto) {
        const std::optional<UnicodeEncoding> found = detectUnicodeEncoding(source, &legacyProfile);
        if (!found) return kSourceUnreadable;
        if (*found != UnicodeEncoding::None) {
            run.sourceEncoding = *found == UnicodeEncoding::Utf8      ? kSourceUtf8
                                 : *found == UnicodeEncoding::Gb18030 ? kSourceGb18030
                                                                      : kSourceUtf16;
            trace("%s encoding is detected.", nameOf(*found));
        }
    }
    if (isUnicodeSource(run.sourceEncoding)) {
        return UnicodeSourceRun(formatter, kind, run, source, destination).run(written);
    }
    // The legacy detection takes what the pass above learnt, for this run only.
    struct ForgetDetection {
        TextFormatter& formatter;
        ~ForgetDetection() { formatter.setKnownDetection("", 0); }
    } forget{formatter};
    formatter.setKnownDetection(source, legacyProfile);
    return runLegacySource(formatter, kind, run, source, destination, written);
}

}  // namespace quillon::unicode
