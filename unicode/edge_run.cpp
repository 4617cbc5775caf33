// Runs through the edge: Unicode text is decoded into the legacy family that
// fits it, the engine does the run, and its output is decoded back. Characters
// that cannot make the journey through the engine travel beside it.
#include "edge_run.h"

#include <cstdio>
#include <cstring>
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
#include "not_text.h"
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
    std::int32_t byteOrderMark;
};

bool writesCrLf(const RunPlan& options, bool utf8Output) {
    return options.lineEnds == kLineEndsCrLf ||
           (options.lineEnds == kLineEndsAuto && !utf8Output);
}

const char* outputEncodingName(std::int32_t outputEncoding) {
    switch (outputEncoding) {
        case kOutputGb18030: return "GB18030";
        case kOutputUtf16:
        case kOutputUtf16Le: return "UTF-16LE";
        case kOutputUtf16Be: return "UTF-16BE";
        default: return kUtf8Name;
    }
}

// Starts output in `encoding` (null for legacy output) with a byte-order mark
// where the run asks for one; GB18030 has none.
void startOutput(TextSink& sink, const RunPlan& options, const char* encoding, bool sourceMarked) {
    if (encoding == nullptr || std::strcmp(encoding, outputEncodingName(kOutputGb18030)) == 0) return;
    const bool marked = options.byteOrderMark == kMarkAdd ||
                        (options.byteOrderMark == kMarkKeep &&
                         (sourceMarked || options.outputEncoding == kOutputUtf16));
    constexpr char kMarkInUtf8[] = "\xEF\xBB\xBF";
    if (marked) sink.writeText(kMarkInUtf8, sizeof kMarkInUtf8 - 1);
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

// The sink could not take the destination: its reason is the run's.
RunResult destinationFailed(TextFormatter& formatter, const TextSink& sink) {
    formatter.systemError = sink.error();
    return kDestinationUnwritable;
}

// By code: the double-byte codes a file of legacy text holds.
std::optional<std::vector<bool>> codesIn(const char* path) {
    std::vector<bool> used(FamilyMaps::kBmpSize);
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path, "rb"), std::fclose);
    if (!file) return std::nullopt;
    std::vector<unsigned char> bytes(1 << 16);
    unsigned lead = 0;
    while (const std::size_t read = std::fread(bytes.data(), 1, bytes.size(), file.get())) {
        for (std::size_t i = 0; i < read; ++i) {
            if (lead != 0) {
                used[lead << 8 | bytes[i]] = true;
                lead = 0;
            } else if (bytes[i] >= 0x80) {
                lead = bytes[i];
            }
        }
    }
    if (std::ferror(file.get())) return std::nullopt;
    return used;
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
    if (!sink.open(destination, written.unicodeEncoding)) return destinationFailed(formatter, sink);
    startOutput(sink, options, written.unicodeEncoding, false);
    const EncodingProfile& target = *formatter.targetProfile;
    LineWriter writer(formatter, target, target, unicodeOutput, writesCrLf(options, utf8Output), sink);
    const bool copied = copyEngineOutput(formatter, output.path(), writer, nullptr);
    if (!sink.close()) return destinationFailed(formatter, sink);
    if (!copied) return kDestinationUnwritable;
    return warningOf(result == kInvalidCodeWarning || writer.sawInvalid,
                     result == kUnmappableWarning || writer.sawUnmappable, result == kHtmlAbortedWarning);
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
        formatter_.endMarkOffset = -1;
        encoding_ = sourceEncodingName();
        if (encoding_ == nullptr) return kSourceUnreadable;
        const std::optional<Form> form = judgeForm();
        if (!form) return kSourceUnreadable;
        // As with a legacy source, text without a Chinese character is not formatted.
        if (kind_ == RunKind::Format && !sawNonAscii_) return kPlainAsciiSource;
        const EncodingProfile& from = FamilyMaps::familyFor(*form);
        const std::int32_t output = options_.outputEncoding;
        const bool legacyOutput = output == kOutputGb || output == kOutputGbk || output == kOutputBig5;
        const EncodingProfile& to = legacyOutput ? *profileById(output)
                                                 : FamilyMaps::familyFor(outputForm(*form));
        const bool utf8Output = !legacyOutput && output != kOutputGb18030 && !isUtf16Output(output);

        formatter_.setSourceEncoding(from.id);
        formatter_.setOutputEncoding(kind_ == RunKind::Convert ? to.id : from.id);

        written.unicodeSource = encoding_;
        if (!legacyOutput) written.unicodeEncoding = outputEncodingName(output);
        TextSink sink;
        if (!sink.open(destination_, written.unicodeEncoding)) return destinationFailed(formatter_, sink);
        startOutput(sink, options_, written.unicodeEncoding, sourceMarked_);
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
            endMarkOffset_ = direct.endMarkOffset;
        } else {
            result = convert(encoder, writer);
        }
        formatter_.sourceProfile = &from;
        formatter_.targetProfile = &to;
        formatter_.endMarkOffset = endMarkOffset_;
        // A failed run leaves the destination as it was: the sink is not committed.
        if (result != kSuccess) return result;
        if (!sink.close()) return destinationFailed(formatter_, sink);
        return warningOf(formatter_.sawInvalidCode || encoder.sawInvalid || writer.sawInvalid,
                         formatter_.sawUnmappable || encoder.sawUnmappable || writer.sawUnmappable,
                         formatter_.htmlAborted);
    }

private:
    static constexpr std::size_t kChunkBytes = 1 << 15;

    // ICU's name of the source's encoding; none for UTF-16 without its
    // byte-order mark, which alone tells its byte order.
    const char* sourceEncodingName() const {
        if (options_.sourceEncoding == kSourceUtf8) return kUtf8Name;
        if (options_.sourceEncoding == kSourceGb18030) return "GB18030";
        if (options_.sourceEncoding == kSourceUtf16Le) return "UTF-16LE";
        if (options_.sourceEncoding == kSourceUtf16Be) return "UTF-16BE";
        const std::optional<UnicodeEncoding> found = detectUnicodeEncoding(source_);
        const bool marked = found == UnicodeEncoding::Utf16Le || found == UnicodeEncoding::Utf16Be;
        return marked ? nameOf(*found) : nullptr;
    }

    template <typename Reader>
    bool openSource(Reader& reader) const {
        return reader.open(source_, encoding_);
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
        sourceMarked_ = reader.droppedMark();
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
        endMarkOffset_ = reader.endMarkOffset();
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

    // Writes the text into `path` as the encoder puts it into the family.
    RunResult encodeInto(const char* path, LineEncoder& encoder) {
        TextSink legacy;
        if (!legacy.open(path, nullptr)) return kDestinationUnwritable;
        const RunResult read = forEachChunk(
            encoder, false, [&](const char* text, std::size_t length, const std::vector<Carrier>&) {
                legacy.writeBytes(text, length);
            });
        if (!legacy.close()) return kDestinationUnwritable;
        return read;
    }

    // The engine formats text of one family without converting it; the
    // conversion to the target follows as the lines are written.
    RunResult format(LineEncoder& encoder, LineWriter& writer) {
        ScratchFile input;
        ScratchFile output;
        if (!input.created() || !output.created()) return kDestinationUnwritable;
        RunResult read = encodeInto(input.path(), encoder);
        // Rarely, a text holds more characters to carry than the family has
        // private codes: it is read once more to carry them all.
        if (read == kSuccess && encoder.ranOutOfCodes()) {
            std::optional<std::vector<bool>> used = codesIn(input.path());
            if (!used) return kSourceUnreadable;
            encoder.addUnusedHanziCodes(*used);
            read = encodeInto(input.path(), encoder);
        }
        if (read != kSuccess) return read;
        const RunResult result = formatter_.formatFile(input.path(), output.path());
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
    const char* encoding_ = nullptr;
    bool sawNonAscii_ = false;
    bool sourceMarked_ = false;
    std::int64_t endMarkOffset_ = -1;
};

}  // namespace

RunResult runThroughEdge(TextFormatter& formatter, RunKind kind, const EdgeRunOptions& options,
                         const char* source, const char* destination, EdgeOutput* output) {
    EdgeOutput ignored;
    EdgeOutput& written = output ? *output : ignored;
    written = {};
    // The run below changes the formatter's encodings to suit its source:
    // they are this run's working copy, never the next run's input.
    applyOptions(options, formatter);
    formatter.clearRunState();
    if (!formatter.hasBuffers()) return kOutOfMemory;
    RunPlan run{options.sourceEncoding, options.outputEncoding, options.form, options.lineEnds,
                options.byteOrderMark};
    if (isPlainlyNotText(source, isUtf16Source(run.sourceEncoding))) return kSourceNotText;
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
