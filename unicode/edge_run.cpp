// Runs through the edge: Unicode text is decoded into the legacy family that
// fits it, the engine does the run, and its output is decoded back. Characters
// that cannot make the journey through the engine travel beside it.
#include "edge_run.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <unordered_map>
#include <vector>

#include <unistd.h>

#include "code_point_stream.h"
#include "family_maps.h"
#include "line_reader.h"
#include "messages.h"
#include "source_detection.h"
#include "text_formatter.h"

namespace quillon::unicode {
namespace {

constexpr char32_t kBox = 0x25A1;  // □, what the engine writes for a lost character

// A character that travels beside the engine: its place in a line of legacy
// text, where the line holds a box in its stead.
struct Carrier {
    std::size_t position;
    char32_t character;
};

// A file of the run's own in the temporary folder, removed with the object.
class ScratchFile {
public:
    ScratchFile() {
        std::error_code error;
        std::string pattern =
            (std::filesystem::temp_directory_path(error) / "quillon-edge-XXXXXX").string();
        const int descriptor = ::mkstemp(pattern.data());
        if (descriptor < 0) return;
        ::close(descriptor);
        path_ = pattern;
    }
    ~ScratchFile() {
        if (!path_.empty()) ::unlink(path_.c_str());
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    bool created() const { return !path_.empty(); }
    const char* path() const { return path_.c_str(); }

private:
    std::string path_;
};

void putPair(char* line, std::size_t position, CharCode code) {
    line[position] = static_cast<char>(code >> 8);
    line[position + 1] = static_cast<char>(code & 0xFF);
}

CharCode pairAt(const char* line, std::size_t position) {
    return static_cast<CharCode>(static_cast<unsigned char>(line[position]) << 8 |
                                 static_cast<unsigned char>(line[position + 1]));
}

// Writes lines of legacy text to the destination: converted by the engine from
// `from` to `to`, then as Unicode text or as the bytes of `to`, with the
// chosen line end.
class LineWriter {
public:
    LineWriter(TextFormatter& formatter, const EncodingProfile& from, const EncodingProfile& to,
               bool unicode, bool crLf, TextSink& sink)
        : formatter_(formatter), from_(from), to_(to), unicode_(unicode), crLf_(crLf),
          sink_(sink) {}

    // The line holds a box at the place of every carrier, in order of place.
    void write(char* line, std::size_t length, const std::vector<Carrier>& carriers,
               bool endsLine) {
        const bool converts = &from_ != &to_;
        // Characters inside HTML tags stay unconverted: a copy of the line
        // with a box for every character shows which ones the engine left.
        const bool probing = converts && formatter_.htmlAware() && !formatter_.htmlAborted;
        if (probing) probe(line, length);
        if (converts) formatter_.convertText(line, length, from_, to_);

        if (!unicode_) {
            for (const Carrier& carrier : carriers) {
                putPair(line, carrier.position, to_.replacementCode());
                sawUnmappable = true;
            }
            sink_.writeBytes(line, length);
            if (endsLine) sink_.writeBytes(crLf_ ? "\r\n" : "\n", crLf_ ? 2 : 1);
            return;
        }

        const char32_t* const fromTable = maps_.decodeTable(from_);
        const char32_t* const toTable = maps_.decodeTable(to_);
        if (text_.size() < length + 2) text_.resize(length + 2);
        char32_t* const text = text_.data();
        std::size_t count = 0;
        auto carrier = carriers.begin();
        for (std::size_t pos = 0; pos < length;) {
            const auto lead = static_cast<unsigned char>(line[pos]);
            if (lead < 0x80) {
                text[count++] = lead;
                ++pos;
                continue;
            }
            if (pos + 1 == length) {  // a lead byte without its trail
                text[count++] = kBox;
                break;
            }
            const CharCode code = pairAt(line, pos);
            if (carrier != carriers.end() && carrier->position == pos) {
                text[count++] = (carrier++)->character;
            } else if (probing && pairAt(probe_.data(), pos) == from_.replacementCode()) {
                text[count++] = fromTable[code];
            } else {
                text[count++] = toTable[code];
            }
            pos += 2;
        }
        if (endsLine) {
            if (crLf_) text[count++] = '\r';
            text[count++] = '\n';
        }
        sink_.write(text, count);
    }

    bool sawUnmappable = false;

private:
    void probe(const char* line, std::size_t length) {
        probe_.assign(line, length);
        for (std::size_t pos = 0; pos + 1 < length;) {
            if (static_cast<unsigned char>(probe_[pos]) < 0x80) {
                ++pos;
            } else {
                putPair(probe_.data(), pos, from_.replacementCode());
                pos += 2;
            }
        }
        TextFormatter& f = formatter_;
        const auto saved = std::make_tuple(f.insideTag, f.htmlAborted, f.sawInvalidCode, f.sawUnmappable);
        f.convertText(probe_.data(), probe_.size(), from_, to_);
        std::tie(f.insideTag, f.htmlAborted, f.sawInvalidCode, f.sawUnmappable) = saved;
    }

    const FamilyMaps& maps_ = FamilyMaps::instance();
    TextFormatter& formatter_;
    const EncodingProfile& from_;
    const EncodingProfile& to_;
    const bool unicode_;
    const bool crLf_;
    TextSink& sink_;
    std::vector<char32_t> text_;
    std::string probe_;
};

// Puts characters into a line of `from`'s family for a run to `to`. What the
// run cannot carry becomes a carrier: beside the line, or under one of the
// family's private codes when the line has to pass through a whole engine run.
class LineEncoder {
public:
    LineEncoder(const EncodingProfile& from, const EncodingProfile& to, bool privateCodes)
        : maps_(FamilyMaps::instance()), from_(from), to_(to),
          table_(maps_.encodeTable(from, to)), privateCodes_(privateCodes) {
        if (privateCodes_) characterOfCode_.assign(0x10000, 0);
    }

    // Appends one or two bytes at line[length].
    void append(char32_t c, char* line, std::size_t& length, std::vector<Carrier>& carriers) {
        if (c < 0x80) {
            line[length++] = static_cast<char>(c);
            return;
        }
        CharCode code = 0;
        if (c == kInvalidMarker) {
            sawInvalid = true;
            c = kBox;
        } else if (c < FamilyMaps::kBmpSize) {
            code = table_[c];
        }
        if (code == 0 && !privateCodes_) {
            carriers.push_back({length, c});
            code = from_.replacementCode();
        } else if (code == 0) {
            code = privateCodeFor(c);
        }
        putPair(line, length, code);
        length += 2;
    }

    // Takes the carriers out of a line that went through an engine run.
    void recover(char* line, std::size_t length, std::vector<Carrier>& carriers) const {
        for (std::size_t pos = 0; pos + 1 < length;) {
            if (static_cast<unsigned char>(line[pos]) < 0x80) {
                ++pos;
                continue;
            }
            const CharCode code = pairAt(line, pos);
            if (const char32_t c = characterOfCode_[code]) {
                carriers.push_back({pos, c});
                putPair(line, pos, from_.replacementCode());
            }
            pos += 2;
        }
    }

    bool sawInvalid = false;
    bool sawUnmappable = false;

private:
    CharCode privateCodeFor(char32_t c) {
        if (const auto known = codeOfCharacter_.find(c); known != codeOfCharacter_.end()) {
            return known->second;
        }
        const std::vector<CharCode>& codes = maps_.privateCodes(from_);
        if (codeOfCharacter_.size() == codes.size()) {
            sawUnmappable = true;  // more distinct characters than codes to carry them
            return from_.replacementCode();
        }
        const CharCode code = codes[codeOfCharacter_.size()];
        codeOfCharacter_.emplace(c, code);
        characterOfCode_[code] = c;
        return code;
    }

    const FamilyMaps& maps_;
    const EncodingProfile& from_;
    const EncodingProfile& to_;
    const CharCode* const table_;
    const bool privateCodes_;
    std::vector<char32_t> characterOfCode_;
    std::unordered_map<char32_t, CharCode> codeOfCharacter_;
};

// The encodings and the edge's choices of one run.
struct RunPlan {
    std::int32_t sourceEncoding;
    std::int32_t outputEncoding;
    std::int32_t form;
    std::int32_t lineEnds;
};

bool writesCrLf(const RunPlan& options, bool utf8Output) {
    return options.lineEnds == kLineEndsCrLf ||
           (options.lineEnds == kLineEndsDefault && !utf8Output);
}

const char* outputEncodingName(std::int32_t outputEncoding) {
    return outputEncoding == kOutputGb18030 ? "GB18030" : "UTF-8";
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
        const bool endsLine = line[read - 1] == '\n';
        const auto length = static_cast<std::size_t>(read - (endsLine ? 1 : 0));
        carriers.clear();
        if (carriersFrom != nullptr) carriersFrom->recover(line, length, carriers);
        writer.write(line, length, carriers, endsLine);
    }
    return !reader.failed();
}

// A legacy source: the engine's own run, its output rewritten only where the
// output is Unicode or the line ends are LF.
RunResult runLegacySource(TextFormatter& formatter, RunKind kind, const RunPlan& options,
                          const char* source, const char* destination, EdgeOutput& written) {
    const bool unicodeOutput = isUnicodeOutput(options.outputEncoding);
    const bool utf8Output = options.outputEncoding == kOutputUtf8;
    if (!unicodeOutput && !(options.lineEnds == kLineEndsLf)) {
        return engineRun(formatter, kind, source, destination);
    }
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
        LineWriter writer(formatter_, from, to, !legacyOutput, writesCrLf(options_, utf8Output), sink);
        LineEncoder encoder(from, to, kind_ == RunKind::Format);
        const RunResult result = kind_ == RunKind::Convert ? convert(encoder, writer)
                                                           : format(encoder, writer);
        formatter_.sourceProfile = &from;
        formatter_.targetProfile = &to;
        if (!sink.close()) return kDestinationUnwritable;
        if (result != kSuccess) return result;
        return warningOf(formatter_.sawInvalidCode || encoder.sawInvalid,
                         formatter_.sawUnmappable || encoder.sawUnmappable || writer.sawUnmappable,
                         formatter_.htmlAborted);
    }

private:
    static constexpr std::size_t kLinePiece = TextFormatter::kBufferSize;

    const char* encodingName() const {
        return options_.sourceEncoding == kSourceUtf8    ? "UTF-8"
               : options_.sourceEncoding == kSourceUtf16 ? "UTF-16"
                                                         : "GB18030";
    }

    bool openSource(CodePointReader& reader) const {
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
        while (count.simplified + count.traditional < kTellingEnough) {
            const std::size_t n = reader.read(text_, std::size(text_));
            if (n == 0) break;
            for (std::size_t i = 0; i < n; ++i) {
                maps.count(text_[i], count);
                sawNonAscii_ |= text_[i] >= 0x80;
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

    // Reads the source line by line (a long line in pieces), encoded for the run.
    template <typename F>
    RunResult forEachLine(LineEncoder& encoder, F&& onLine) {
        CodePointReader reader;
        if (!openSource(reader)) return kSourceUnreadable;
        // Room for a piece and the last character that ends it.
        std::string buffer(kLinePiece + 4, '\0');
        char* const line = buffer.data();
        std::size_t length = 0;
        std::vector<Carrier> carriers;
        bool pendingCr = false;
        const auto flush = [&](bool endsLine) {
            onLine(line, length, carriers, endsLine);
            length = 0;
            carriers.clear();
        };
        while (const std::size_t n = reader.read(text_, std::size(text_))) {
            for (std::size_t i = 0; i < n; ++i) {
                const char32_t c = text_[i];
                if (c == '\n') {
                    pendingCr = false;
                    flush(true);
                    continue;
                }
                // A CR ends the line only together with a LF.
                if (pendingCr) encoder.append('\r', line, length, carriers);
                pendingCr = c == '\r';
                if (!pendingCr) encoder.append(c, line, length, carriers);
                if (length >= kLinePiece) flush(false);
            }
        }
        if (pendingCr) encoder.append('\r', line, length, carriers);
        if (length > 0) flush(true);
        return reader.failed() ? kSourceUnreadable : kSuccess;
    }

    RunResult convert(LineEncoder& encoder, LineWriter& writer) {
        formatter_.sawInvalidCode = formatter_.sawUnmappable = formatter_.htmlAborted = 0;
        formatter_.insideTag = 0;
        return forEachLine(encoder, [&](char* line, std::size_t length,
                                        std::vector<Carrier>& carriers, bool endsLine) {
            writer.write(line, length, carriers, endsLine);
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
            const RunResult read = forEachLine(
                encoder, [&](char* line, std::size_t length, std::vector<Carrier>&, bool endsLine) {
                    legacy.writeBytes(line, length);
                    if (endsLine) legacy.writeBytes("\n", 1);
                });
            if (!legacy.close()) return kDestinationUnwritable;
            if (read != kSuccess) return read;
        }
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
    char32_t text_[1 << 14];
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
    if (run.sourceEncoding == kSourceAuto) {
        const std::optional<UnicodeEncoding> found = detectUnicodeEncoding(source);
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
    return runLegacySource(formatter, kind, run, source, destination, written);
}

}  // namespace quillon::unicode
