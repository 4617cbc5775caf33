// Runs through the edge: Unicode text is decoded into the legacy family that
// fits it, the engine does the run, and its output is decoded back. Characters
// that cannot make the journey through the engine travel beside it.
#include "edge_run.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "carried_lines.h"
#include "code_point_stream.h"
#include "conversion_choice.h"
#include "dictionary_utf8_conversion.h"
#include "direct_utf8_conversion.h"
#include "engine_output_lines.h"
#include "engine_utf8_blocks.h"
#include "family_maps.h"
#include "family_text_reader.h"
#include "heading_regex.h"
#include "line_reader.h"
#include "meta_charset.h"
#include "messages.h"
#include "not_text.h"
#include "scratch_file.h"
#include "source_detection.h"
#include "source_judge.h"
#include "source_text.h"
#include "text_file.h"
#include "text_formatter.h"
#include "user_words.h"

namespace quillon::unicode {
namespace {

// The encodings and the edge's choices of one run.
struct RunPlan {
    std::int32_t sourceEncoding;
    std::int32_t outputEncoding;
    std::int32_t form;
    std::int32_t lineEnds;
    const EdgeChoices* choices;
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
    const bool marked = options.choices->byteOrderMark == kMarkAdd ||
                        (options.choices->byteOrderMark == kMarkKeep &&
                         (sourceMarked || options.outputEncoding == kOutputUtf16));
    constexpr char kMarkInUtf8[] = "\xEF\xBB\xBF";
    if (marked) sink.writeText(kMarkInUtf8, sizeof kMarkInUtf8 - 1);
}

// The name of the encoding a run writes, as an HTML document gives it:
// `written`'s for legacy output.
std::string_view htmlCharsetOf(bool unicodeOutput, std::int32_t outputEncoding, const EncodingProfile& written) {
    if (!unicodeOutput) return htmlCharsetName(written.id);
    switch (outputEncoding) {
        case kOutputGb18030: return "gb18030";
        case kOutputUtf16: return "utf-16";
        case kOutputUtf16Le: return "utf-16le";
        case kOutputUtf16Be: return "utf-16be";
        default: return "utf-8";
    }
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

// The run's failure on a file of its own rather than on the destination.
RunResult scratchFailure(TextFormatter& formatter, EdgeOutput& written, int error) {
    formatter.systemError = error;
    written.scratchFailed = true;
    return kDestinationUnwritable;
}

RunResult destinationFailure(TextFormatter& formatter, const TextSink& sink) {
    formatter.systemError = sink.error();
    return kDestinationUnwritable;
}

// Puts a finished run's output in the destination's place: the run's
// `result`, or the destination's failure. Where only that last step failed,
// the output was whole: the formatter's flags take `result`'s warning and
// it notes the output unplaced, for the failure to tell the warning too.
RunResult placeOutput(TextFormatter& formatter, TextSink& sink, RunResult result) {
    if (sink.close()) return result;
    if (!sink.failed()) {
        formatter.outputUnplaced = true;
        formatter.sawInvalidCode |= result == kInvalidCodeWarning;
        formatter.sawUnmappable |= result == kUnmappableWarning;
        formatter.htmlAborted |= result == kHtmlAbortedWarning;
    }
    return destinationFailure(formatter, sink);
}

// Copies an engine run's output from `scratch` to the destination through
// `writer`, which writes `sink`; it stops when the sink fails, whose close()
// tells it.
RunResult copyEngineOutput(TextFormatter& formatter, const ScratchFile& scratch, LineWriter& writer,
                           const TextSink& sink, const LineEncoder* carriersFrom, EdgeOutput& written) {
    LineReader reader;
    if (!reader.open(scratch.path())) return scratchFailure(formatter, written, reader.error());
    std::vector<Carrier> carriers;
    char* line = formatter.lineBuffer();
    while (!sink.failed()) {
        const int read = reader.readLine(line, TextFormatter::kBufferSize);
        if (read == 0) break;
        const auto length = static_cast<std::size_t>(read);
        carriers.clear();
        if (carriersFrom != nullptr) carriersFrom->recover(line, length, carriers);
        writer.write(line, length, carriers);
    }
    return reader.failed() ? scratchFailure(formatter, written, reader.error()) : kSuccess;
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

// Whether the text of `source`, in `encoding` (null for legacy bytes), ends
// without a line end, before a 1A that ends the file if there is one; false
// for an empty text and for one that cannot be read from its end (a pipe),
// whose ending is not known.
bool endsWithoutLineEnd(const SourceText& source, const char* encoding) {
    const FilePtr file = source.open();
    const std::string_view name = encoding != nullptr ? encoding : "";
    const std::size_t unit = name.starts_with("UTF-16") ? 2 : 1;
    unsigned char last[4] = {};
    if (!file || std::fseek(file.get(), -long(2 * unit), SEEK_END) != 0) {
        if (!file || std::fseek(file.get(), -long(unit), SEEK_END) != 0) return false;
    }
    const std::size_t read = std::fread(last, 1, 2 * unit, file.get());
    const auto unitAt = [&](std::size_t at) -> unsigned {
        if (unit == 1) return last[at];
        return name.ends_with("BE") ? last[at] << 8 | last[at + 1] : last[at + 1] << 8 | last[at];
    };
    if (read < unit) return false;
    std::size_t at = read - unit;
    if (unitAt(at) == 0x1A && at >= unit) at -= unit;
    return unitAt(at) != '\n' && unitAt(at) != '\r';
}

// Whether a run of a legacy source is the engine's own, byte for byte.
bool isEngineRun(const RunPlan& options) {
    return !isUnicodeOutput(options.outputEncoding) && options.lineEnds != kLineEndsLf &&
           options.choices->quoteStyle == kQuotesKeep;
}

// Whether lines that open a chapter are headings in a run that is a
// Unicode run or not.
std::int32_t chapterHeadingsOf(const EdgeChoices& choices, bool unicodeRun) {
    return choices.chapterChoice == kChoiceByRun ? std::int32_t{unicodeRun} : choices.chapterChoice;
}

// A legacy source's encoding, and the forms of its text and of a run's
// Unicode output; none when the source is no Chinese text.
struct LegacyForms {
    std::int32_t sourceId;
    Form source;
    Form output;
};

std::optional<LegacyForms> legacyForms(TextFormatter& formatter, RunKind kind, const RunPlan& options,
                                       const char* source) {
    std::int32_t sourceId = formatter.sourceEncoding();
    if (sourceId == kSourceAuto && formatter.detectEncoding(source, sourceId) != kSuccess) return std::nullopt;
    if (sourceId != kGbId && sourceId != kGbkId && sourceId != kBig5Id) return std::nullopt;
    const Form form = sourceId == kBig5Id ? Form::Traditional : Form::Simplified;
    const Form other = sourceId == kBig5Id ? Form::Simplified : Form::Traditional;
    if (options.form == kFormSimplified) return LegacyForms{sourceId, form, Form::Simplified};
    if (options.form == kFormTraditional) return LegacyForms{sourceId, form, Form::Traditional};
    return LegacyForms{sourceId, form, kind == RunKind::Convert ? other : form};
}

// Where a run of a legacy source reads and writes: files by path, or a named
// source in memory and a destination in memory.
struct LegacyEnds {
    const char* source;
    const char* destination;
    std::string_view text;
    const MemoryDestination* memory;
};

// The engine's run of a named source in memory, its output handed to the
// writer `startWriting` makes once the run has chosen its profiles, line by
// line as a LineReader would read it from the run's file.
RunResult engineRunStreamed(TextFormatter& formatter, RunKind kind, std::string_view text, const TextSink& sink,
                            const std::function<LineWriter&()>& startWriting) {
    LineReader input;
    input.open(blockSourceOf(text));
    std::optional<EngineOutputLines> lines;
    const std::vector<Carrier> noCarriers;
    TextWriter output;
    output.open([&](const char* block, std::size_t length) {
        if (!lines) {
            LineWriter& writer = startWriting();
            lines.emplace([&writer, &noCarriers](char* line, std::size_t n) { writer.write(line, n, noCarriers); },
                          writer.takesLinesTogether());
        }
        lines->take(block, length);
        return !sink.failed();
    });
    const RunResult result = kind == RunKind::Convert
                                 ? formatter.convertStreams(input, output)
                                 : formatter.formatStreams(input, output, TextFormatter::UnconvertedPairs::Boxed);
    if (sink.failed()) return destinationFailure(formatter, sink);
    if (!isError(result) && lines) lines->finish();
    return result;
}

// A legacy source: the engine's own run, its output rewritten only where the
// output is Unicode or the line ends are LF. For Unicode output the engine
// keeps the text in its encoding, and its lines are converted as they are
// written: by the dictionaries when the run chooses by phrase, else by the
// engine's tables with tag text and what is no hanzi kept. The engine's
// output goes through a scratch file, unless the text is in memory and the
// writer needs nothing of the engine's while the engine runs. None, with
// nothing written, for text in memory whose writer does.
std::optional<RunResult> runLegacySource(TextFormatter& formatter, RunKind kind, const RunPlan& options,
                                         const LegacyEnds& ends, EdgeOutput& written) {
    const bool unicodeOutput = isUnicodeOutput(options.outputEncoding);
    const bool utf8Output = options.outputEncoding == kOutputUtf8;
    if (isEngineRun(options)) return engineRun(formatter, kind, ends.source, ends.destination);
    std::optional<ChineseConverter> converter;
    std::optional<LegacyForms> forms;
    if (unicodeOutput) {
        forms = legacyForms(formatter, kind, options, ends.source);
        const bool converts = forms && (kind == RunKind::Convert || forms->output != forms->source);
        const ChineseConversionChain* chain =
            converts && !formatter.htmlAware() ? conversionChainFor(*options.choices, forms->output) : nullptr;
        if (chain) converter.emplace(*chain, userPhrasesFor(*options.choices, forms->output));
        formatter.setOutputEncoding(forms                              ? forms->sourceId
                                    : options.form == kFormSimplified  ? kOutputGbk
                                    : options.form == kFormTraditional ? kOutputBig5
                                    : kind == RunKind::Convert         ? kOutputDifferent
                                                                       : kOutputSame);
    }
    // The writer converts by the engine's tables where the form changes
    // without the dictionaries.
    const bool convertsThroughEngine = forms && !converter && forms->output != forms->source;
    // Text in memory that would need the engine's output in a file is left to the run by path.
    if (ends.memory && convertsThroughEngine) return std::nullopt;
    const bool streams = ends.memory != nullptr;
    std::optional<ScratchFile> output;
    if (!streams && !output.emplace().created()) return scratchFailure(formatter, written, output->error());
    // A destination that cannot be written is refused before the run.
    if (unicodeOutput) written.unicodeEncoding = outputEncodingName(options.outputEncoding);
    TextSink sink;
    const bool opened = ends.memory ? sink.open(ends.memory->write, ends.memory->restart, written.unicodeEncoding)
                                    : sink.open(ends.destination, written.unicodeEncoding);
    if (!opened) return destinationFailure(formatter, sink);
    const SourceText source = ends.memory ? SourceText::inMemory(ends.text) : SourceText(ends.source);
    if (kind == RunKind::Convert && unicodeOutput && endsWithoutLineEnd(source, nullptr)) sink.dropFinalLineEnd();
    startOutput(sink, options, written.unicodeEncoding, false);

    const EncodingProfile* target = nullptr;
    std::optional<LineWriter> writer;
    // Once the engine has chosen the profile it writes.
    const auto startWriting = [&]() -> LineWriter& {
        const EncodingProfile& engineOutput = *formatter.targetProfile;
        target = convertsThroughEngine ? &FamilyMaps::familyFor(forms->output) : &engineOutput;
        sink.restyleQuotes(static_cast<QuoteStyle>(options.choices->quoteStyle), unicodeOutput ? nullptr : target);
        writer.emplace(formatter, engineOutput, *target, unicodeOutput, writesCrLf(options, utf8Output), sink);
        if (converter) writer->convertBy(&*converter);
        if (formatter.htmlAware()) {
            writer->nameCharset(htmlCharsetOf(unicodeOutput, options.outputEncoding, *target));
        }
        return *writer;
    };
    RunResult result;
    if (streams) {
        result = engineRunStreamed(formatter, kind, ends.text, sink, startWriting);
        if (isError(result)) return result;
        if (!writer) startWriting();
    } else {
        result = engineRun(formatter, kind, ends.source, output->path());
        if (result == kDestinationUnwritable) return scratchFailure(formatter, written, formatter.systemError);
        if (isError(result)) return result;
        startWriting();
        formatter.insideTag = 0;
        const RunResult copied = copyEngineOutput(formatter, *output, *writer, sink, nullptr, written);
        if (copied != kSuccess) return copied;
    }
    if (forms) formatter.targetProfile = converter ? &FamilyMaps::familyFor(forms->output) : target;
    return placeOutput(formatter, sink,
                       warningOf(result == kInvalidCodeWarning || writer->sawInvalid || formatter.sawInvalidCode,
                                 result == kUnmappableWarning || writer->sawUnmappable || formatter.sawUnmappable,
                                 result == kHtmlAbortedWarning || formatter.htmlAborted));
}

// A Unicode source: judged for its form, put into the family of that form,
// run, and written back.
class UnicodeSourceRun {
public:
    // The run writes `destination` by path, or `memory` when given.
    UnicodeSourceRun(TextFormatter& formatter, RunKind kind, const RunPlan& options, const SourceText& source,
                     const char* destination, const MemoryDestination* memory)
        : formatter_(formatter), kind_(kind), options_(options), source_(source), destination_(destination),
          memory_(memory) {}

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
        const EncodingProfile& shown = legacyOutput ? *profileById(output)
                                                    : FamilyMaps::familyFor(outputForm(*form));
        // Unicode output of a convert run, or of a format run that changes
        // the form, takes its forms from the dictionaries: the engine leaves
        // the text in its family.
        const bool converts = kind_ == RunKind::Convert || outputForm(*form) != *form;
        const ChineseConversionChain* chain =
            converts && !legacyOutput && !formatter_.htmlAware()
                ? conversionChainFor(*options_.choices, outputForm(*form))
                : nullptr;
        std::optional<ChineseConverter> converter;
        if (chain) converter.emplace(*chain, userPhrasesFor(*options_.choices, outputForm(*form)));
        const EncodingProfile& to = chain ? from : shown;
        const bool utf8Output = !legacyOutput && output != kOutputGb18030 && !isUtf16Output(output);

        formatter_.setSourceEncoding(from.id);
        formatter_.setOutputEncoding(kind_ == RunKind::Convert ? to.id : from.id);
        formatter_.setChapterHeadings(chapterHeadingsOf(*options_.choices, true));
        // Unicode text chooses by phrase unless told not to; into GB, GBK and
        // Big5 the engine's phrase lists do what the dictionaries do above.
        if (legacyOutput && options_.choices->phraseChoice == kChoiceByRun) formatter_.setPhrases(kChoiceOn);

        written.unicodeSource = encoding_;
        if (!legacyOutput) written.unicodeEncoding = outputEncodingName(output);
        TextSink sink;
        if (!openSink(sink, written.unicodeEncoding)) return destinationFailure(formatter_, sink);
        if (kind_ == RunKind::Convert && endsWithoutLineEnd(source_, encoding_)) sink.dropFinalLineEnd();
        startOutput(sink, options_, written.unicodeEncoding, sourceMarked_);
        sink.restyleQuotes(static_cast<QuoteStyle>(options_.choices->quoteStyle), legacyOutput ? &to : nullptr);
        const bool crLf = writesCrLf(options_, utf8Output);
        LineWriter writer(formatter_, from, to, !legacyOutput, crLf, sink);
        if (converter) writer.convertBy(&*converter);
        if (formatter_.htmlAware()) writer.nameCharset(htmlCharsetOf(!legacyOutput, output, shown));
        LineEncoder encoder(from, to, kind_ == RunKind::Format);
        RunResult result;
        if (kind_ == RunKind::Format) {
            result = format(encoder, writer, sink, written);
        } else if (utf8Output && options_.sourceEncoding == kSourceUtf8 && !linesMatter() && !chain) {
            resetConversionFlags();
            DirectUtf8Conversion direct(formatter_, from, to, crLf);
            result = direct.run(source_, sink);
            encoder.sawInvalid = direct.sawInvalid;
            endMarkOffset_ = direct.endMarkOffset;
        } else if (chain && options_.sourceEncoding == kSourceUtf8 && options_.choices->userWords == nullptr) {
            // The dictionaries take UTF-8 as it comes: the family has no part in the run.
            resetConversionFlags();
            DictionaryUtf8Conversion direct(*chain, crLf);
            result = direct.run(source_, sink);
            encoder.sawInvalid = direct.sawInvalid;
            endMarkOffset_ = direct.endMarkOffset;
        } else {
            result = convert(encoder, writer, sink, chain != nullptr);
        }
        formatter_.sourceProfile = &from;
        formatter_.targetProfile = &shown;
        formatter_.endMarkOffset = endMarkOffset_;
        // A failed run leaves the destination as it was: the sink is not committed.
        if (result != kSuccess) return result;
        return placeOutput(formatter_, sink,
                           warningOf(formatter_.sawInvalidCode || encoder.sawInvalid || writer.sawInvalid,
                                     formatter_.sawUnmappable || encoder.sawUnmappable || writer.sawUnmappable,
                                     formatter_.htmlAborted));
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

    bool openSink(TextSink& sink, const char* encoding) const {
        return memory_ != nullptr ? sink.open(memory_->write, memory_->restart, encoding)
                                  : sink.open(destination_, encoding);
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
    // Stops early when `sink`, which the chunks go to, fails: its close()
    // tells it.
    template <typename F>
    RunResult forEachChunk(LineEncoder& encoder, bool lineByLine, const TextSink& sink, F&& onChunk) {
        FamilyTextReader reader(encoder, lineByLine ? 1 : kChunkBytes);
        if (!openSource(reader)) return kSourceUnreadable;
        while (!sink.failed()) {
            const std::size_t length = reader.next();
            if (length == 0) break;
            onChunk(reader.text(), length, reader.carriers());
        }
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

    // By dictionary, text is converted a line at a time, as no key spans a
    // line end.
    RunResult convert(LineEncoder& encoder, LineWriter& writer, const TextSink& sink, bool byDictionary) {
        resetConversionFlags();
        return forEachChunk(encoder, linesMatter() || byDictionary, sink,
                            [&](char* text, std::size_t length, const std::vector<Carrier>& carriers) {
                                writer.write(text, length, carriers);
                            });
    }

    // Writes the text into `path` as the encoder puts it into the family.
    RunResult encodeInto(const char* path, LineEncoder& encoder, EdgeOutput& written) {
        TextSink legacy;
        if (!legacy.open(path, nullptr)) return scratchFailure(formatter_, written, legacy.error());
        const RunResult read = forEachChunk(
            encoder, false, legacy, [&](const char* text, std::size_t length, const std::vector<Carrier>&) {
                legacy.writeBytes(text, length);
            });
        if (read != kSuccess) return read;
        if (!legacy.close()) return scratchFailure(formatter_, written, legacy.error());
        return kSuccess;
    }

    // The engine formats text of one family without converting it; the
    // conversion to the target follows as the lines are written.
    RunResult format(LineEncoder& encoder, LineWriter& writer, TextSink& sink, EdgeOutput& written) {
        // Most runs go from the source through the engine to the destination
        // with no file between. A writer that converts by the formatter's
        // tables waits for the engine's run to end, and a text with more
        // characters to carry than the family has private codes is read
        // once more, which the destination must allow by being taken back.
        if (!writer.convertsThroughEngine() && sink.restartable()) {
            const RunResult streamed = formatStreamed(encoder, writer, sink);
            if (!encoder.ranOutOfCodes()) return streamed;
            if (!sink.restart()) return destinationFailure(formatter_, sink);
            writer.sawInvalid = writer.sawUnmappable = false;
        }
        return formatThroughFiles(encoder, writer, sink, written);
    }

    RunResult formatStreamed(LineEncoder& encoder, LineWriter& writer, TextSink& sink) {
        FamilyTextReader reader(encoder, kChunkBytes);
        if (!openSource(reader)) return kSourceUnreadable;
        std::size_t chunk = 0;
        std::size_t taken = 0;
        LineReader input;
        input.open([&](unsigned char* into, std::size_t room) {
            std::size_t put = 0;
            while (put < room) {
                if (taken == chunk) {
                    // Past the last code to carry a character, the text is run again.
                    chunk = taken = 0;
                    if (encoder.ranOutOfCodes() || (chunk = reader.next()) == 0) break;
                }
                const std::size_t n = std::min(room - put, chunk - taken);
                std::memcpy(into + put, reader.text() + taken, n);
                put += n;
                taken += n;
            }
            return put;
        });
        std::vector<Carrier> carriers;
        EngineOutputLines lines(
            [&](char* text, std::size_t length) {
                carriers.clear();
                encoder.recover(text, length, carriers);
                writer.write(text, length, carriers);
            },
            writer.takesLinesTogether());
        std::optional<EngineUtf8Blocks> blocks;
        if (writer.writesBlocks()) blocks.emplace(writer.family(), encoder, writer.writesCrLf(), sink);
        TextWriter output;
        output.open([&](const char* block, std::size_t length) {
            blocks ? blocks->take(block, length) : lines.take(block, length);
            return !sink.failed();
        });
        // Pairs outside the family's ranges carry characters: they are kept.
        const RunResult result = formatter_.formatStreams(input, output, TextFormatter::UnconvertedPairs::Kept);
        endMarkOffset_ = reader.endMarkOffset();
        if (reader.failed()) return kSourceUnreadable;
        if (sink.failed()) return destinationFailure(formatter_, sink);
        if (isError(result)) return result;
        if (blocks) {
            blocks->finish();
            writer.sawInvalid |= blocks->sawInvalid;
        } else {
            lines.finish();
        }
        return kSuccess;
    }

    RunResult formatThroughFiles(LineEncoder& encoder, LineWriter& writer, const TextSink& sink,
                                 EdgeOutput& written) {
        ScratchFile input;
        if (!input.created()) return scratchFailure(formatter_, written, input.error());
        ScratchFile output;
        if (!output.created()) return scratchFailure(formatter_, written, output.error());
        RunResult read = encodeInto(input.path(), encoder, written);
        // Rarely, a text holds more characters to carry than the family has
        // private codes: it is read once more to carry them all.
        if (read == kSuccess && encoder.ranOutOfCodes()) {
            std::optional<std::vector<bool>> used = codesIn(input.path());
            if (!used) return scratchFailure(formatter_, written, errno);
            encoder.addUnusedHanziCodes(*used);
            read = encodeInto(input.path(), encoder, written);
        }
        if (read != kSuccess) return read;
        // Pairs outside the family's ranges carry characters: they are kept.
        const RunResult result =
            formatter_.formatFile(input.path(), output.path(), TextFormatter::UnconvertedPairs::Kept);
        // Both of its files are the run's own.
        if (result == kSourceUnreadable || result == kDestinationUnwritable) {
            return scratchFailure(formatter_, written, formatter_.systemError);
        }
        if (isError(result)) return result;
        formatter_.insideTag = 0;
        return copyEngineOutput(formatter_, output, writer, sink, &encoder, written);
    }

    TextFormatter& formatter_;
    const RunKind kind_;
    const RunPlan& options_;
    const SourceText source_;
    const char* const destination_;
    const MemoryDestination* const memory_;
    const char* encoding_ = nullptr;
    bool sawNonAscii_ = false;
    bool sourceMarked_ = false;
    std::int64_t endMarkOffset_ = -1;
};

// The text rules of a run whose choices leave them to it: a Unicode run
// takes them, a legacy one keeps its options' values.
void chooseTextRules(TextFormatter& formatter, const EdgeRunOptions& options, bool unicodeRun) {
    const auto chosen = [&](std::int32_t choice, std::int32_t legacy) {
        return choice != kChoiceByRun ? choice : unicodeRun ? std::int32_t{kChoiceOn} : legacy;
    };
    formatter.setMixedText(chosen(options.mixedTextChoice, options.mixedText));
    formatter.setLineStartRules(chosen(options.lineStartChoice, options.lineStartRules));
}

// What every run sets before it reads its source. The run below changes the
// formatter's encodings to suit its source: they are this run's working
// copy, never the next run's input. The heading pattern lives for the run only.
class RunSetup {
public:
    RunSetup(TextFormatter& formatter, const EdgeRunOptions& options) : formatter_(formatter) {
        applyOptions(options, formatter);
        formatter.setUserPhrases(options.userWords != nullptr ? &options.userWords->legacy() : nullptr);
        formatter.clearRunState();
        if (!formatter.hasBuffers()) {
            refusal_ = kOutOfMemory;
            return;
        }
        if (options.phraseChoice != kChoiceByRun) formatter.setPhrases(options.phraseChoice);
        const bool unicodeRun = isUnicodeSource(options.sourceEncoding) || isUnicodeOutput(options.outputEncoding);
        formatter.setChapterHeadings(chapterHeadingsOf(options, unicodeRun));
        if (!options.headingPattern.empty()) {
            headingPattern_ = HeadingRegex::compile(options.headingPattern);
            if (!headingPattern_) {
                refusal_ = kHeadingPatternInvalid;
                return;
            }
        }
        formatter.setHeadingPattern(headingPattern_.get());
        chooseTextRules(formatter, options, unicodeRun);
    }
    ~RunSetup() { formatter_.setHeadingPattern(nullptr); }
    RunSetup(const RunSetup&) = delete;
    RunSetup& operator=(const RunSetup&) = delete;

    // The run's refusal before it starts, if any.
    std::optional<RunResult> refusal() const { return refusal_; }

private:
    TextFormatter& formatter_;
    std::unique_ptr<HeadingRegex> headingPattern_;
    std::optional<RunResult> refusal_;
};

// A source found to be Unicode text, from here on read as named.
void takeDetected(RunPlan& run, UnicodeEncoding found) {
    run.sourceEncoding = found == UnicodeEncoding::Utf8      ? kSourceUtf8
                         : found == UnicodeEncoding::Gb18030 ? kSourceGb18030
                                                             : kSourceUtf16;
    trace("%s encoding is detected.", nameOf(found));
}

}  // namespace

RunResult runThroughEdge(TextFormatter& formatter, RunKind kind, const EdgeRunOptions& options,
                         const char* source, const char* destination, EdgeOutput* output) {
    EdgeOutput ignored;
    EdgeOutput& written = output ? *output : ignored;
    written = {};
    const RunSetup setup(formatter, options);
    if (setup.refusal()) return *setup.refusal();
    RunPlan run{options.sourceEncoding, options.outputEncoding, options.form, options.lineEnds, &options};
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
            takeDetected(run, *found);
        }
    }
    if (isUnicodeSource(run.sourceEncoding)) {
        chooseTextRules(formatter, options, true);
        return UnicodeSourceRun(formatter, kind, run, source, destination, nullptr).run(written);
    }
    // The legacy detection takes what the pass above learnt, for this run only.
    struct ForgetDetection {
        TextFormatter& formatter;
        ~ForgetDetection() { formatter.setKnownDetection("", 0); }
    } forget{formatter};
    formatter.setKnownDetection(source, legacyProfile);
    return *runLegacySource(formatter, kind, run, LegacyEnds{source, destination, {}, nullptr}, written);
}

bool streamsThroughEdge(const EdgeRunOptions& options) {
    const RunPlan run{options.sourceEncoding, options.outputEncoding, options.form, options.lineEnds, &options};
    return options.sourceEncoding != kSourceAuto && !isUnicodeSource(options.sourceEncoding) && isEngineRun(run);
}

RunResult runThroughEdge(TextFormatter& formatter, RunKind kind, const EdgeRunOptions& options,
                         std::string_view firstBlock, TextReader::BlockSource source,
                         TextWriter::BlockSink destination) {
    const RunSetup setup(formatter, options);
    if (setup.refusal()) return *setup.refusal();
    if (isPlainlyNotText(firstBlock, false)) return kSourceNotText;
    LineReader input;
    input.open(std::move(source));
    TextWriter output;
    output.open(std::move(destination));
    return kind == RunKind::Convert
               ? formatter.convertStreams(input, output)
               : formatter.formatStreams(input, output, TextFormatter::UnconvertedPairs::Boxed);
}

std::optional<RunResult> runInMemory(TextFormatter& formatter, RunKind kind, const EdgeRunOptions& options,
                                     std::string_view source, const MemoryDestination& destination,
                                     EdgeOutput* output) {
    const SourceText text = SourceText::inMemory(source);
    RunPlan run{options.sourceEncoding, options.outputEncoding, options.form, options.lineEnds, &options};
    // As the run by path does, the engine judges a source to detect in its
    // own read of it first: a destination that can drop what it took lets it.
    const bool judged = run.sourceEncoding == kSourceAuto && isEngineRun(run) && destination.restart;
    // Detected as the run by path detects it; a legacy source is left to that run.
    std::optional<UnicodeEncoding> found;
    const auto detect = [&] {
        std::int32_t legacyProfile = 0;
        found = detectUnicodeEncoding(text, &legacyProfile);
        return found && *found != UnicodeEncoding::None;
    };
    // A named legacy source whose run is the engine's own streams through runThroughEdge.
    const bool legacyNamed = run.sourceEncoding != kSourceAuto && !isUnicodeSource(run.sourceEncoding);
    if (legacyNamed && isEngineRun(run)) return std::nullopt;
    if (run.sourceEncoding == kSourceAuto && !judged && !detect()) return std::nullopt;
    EdgeOutput ignored;
    EdgeOutput& written = output ? *output : ignored;
    written = {};
    const RunSetup setup(formatter, options);
    if (setup.refusal()) return *setup.refusal();
    if (isPlainlyNotText(source, isUtf16Source(run.sourceEncoding))) return kSourceNotText;
    if (judged) {
        const std::unique_ptr<SourceJudge> judge = makeOneReadJudge();
        LineReader input;
        input.open(blockSourceOf(source));
        TextWriter engineOutput;
        engineOutput.open(destination.write);
        const std::optional<RunResult> done = kind == RunKind::Convert
                                                  ? formatter.convertStreams(input, engineOutput, *judge)
                                                  : formatter.formatStreams(input, engineOutput, *judge);
        if (done) return *done;
        destination.restart();
        if (!detect()) return std::nullopt;
    }
    if (legacyNamed) {
        return runLegacySource(formatter, kind, run, LegacyEnds{nullptr, nullptr, source, &destination}, written);
    }
    if (found) takeDetected(run, *found);
    chooseTextRules(formatter, options, true);
    return UnicodeSourceRun(formatter, kind, run, text, nullptr, &destination).run(written);
}

}  // namespace quillon::unicode
