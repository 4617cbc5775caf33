#include "direct_utf8_conversion.h"

#include <unicode/utf8.h>

#include <bit>
#include <cstring>
#include <memory>
#include <string>

#include "carried_lines.h"
#include "family_text_reader.h"
#include "utf8_input.h"

namespace quillon::unicode {
namespace {

constexpr std::size_t kTwoByteSlots = FamilyMaps::kBmpSize;  // where characters of two bytes start
constexpr char32_t kTwoByteEnd = 0x800;

std::size_t slotOf(char32_t c) { return c < kTwoByteEnd ? kTwoByteSlots + c : c; }

// Bytes written to the sink at once (a little more: what one character adds).
constexpr std::size_t kOutputBytes = std::size_t{1} << 16;

}  // namespace

// The output in progress, and where the engine's line (or piece of a long
// line) would stand.
struct DirectUtf8Conversion::Output {
    std::unique_ptr<unsigned char[]> bytes = std::make_unique<unsigned char[]>(kOutputBytes + 16);
    std::size_t count = 0;
    std::size_t lineBytes = 0;  // in the family's bytes: the engine's pieces
    bool pendingCr = false;
};

DirectUtf8Conversion::DirectUtf8Conversion(TextFormatter& formatter, const EncodingProfile& from,
                                           const EncodingProfile& to, bool crLf)
    : formatter_(formatter), from_(from), to_(to), crLf_(crLf),
      written_(kTwoByteSlots + kTwoByteEnd, 0) {
    const FamilyMaps& maps = FamilyMaps::instance();
    const CharCode* const codes = maps.encodeTable(from, to);
    std::vector<char16_t> lossless;
    std::string pairs;
    for (char32_t c = 0x80; c < FamilyMaps::kBmpSize; ++c) {
        if (codes[c] == 0) continue;
        lossless.push_back(static_cast<char16_t>(c));
        pairs += static_cast<char>(codes[c] >> 8);
        pairs += static_cast<char>(codes[c] & 0xFF);
    }
    // None of them raises a flag: the encode table holds only what converts cleanly.
    if (&from != &to) formatter.convertText(pairs.data(), pairs.size(), from, to);
    // Unicode output changes only the form of hanzi: the engine's forms of
    // the rest (a Big5 comma for a GB one) are the family's, not the text's.
    const Utf8Code* const toTable = maps.utf8Table(to);
    for (std::size_t i = 0; i < lossless.size(); ++i) {
        written_[slotOf(lossless[i])] = isHanzi(lossless[i])
                                            ? toTable[pairAt(pairs.data(), 2 * i) - FamilyMaps::kFirstPair]
                                            : utf8Of(lossless[i]);
    }
}

RunResult DirectUtf8Conversion::run(const SourceText& source, TextSink& sink) {
    Utf8Input input;
    if (!input.open(source)) return kSourceUnreadable;
    Output out;
    const Utf8Code* const table = written_.data();
    const bool crLf = crLf_;
    constexpr std::size_t kPiece = FamilyTextReader::kLinePiece;
    for (;;) {
        // What most text is made of goes here, as takeOne() would have it,
        // while a word is left in the buffer: ASCII, line ends and what the
        // table holds. Kept in locals: stores into the output may alias any
        // member.
        const unsigned char* p = input.next;
        const unsigned char* const end = out.pendingCr ? p : input.end;
        unsigned char* const bytes = out.bytes.get();
        unsigned char* o = bytes + out.count;
        unsigned char* const full = bytes + kOutputBytes;
        std::size_t lineBytes = out.lineBytes;
        while (end - p >= 8 && o < full) {
            const std::uint64_t word = byte_masks::wordAt(reinterpret_cast<const char*>(p));
            // Two characters of three bytes each, as hanzi and their
            // punctuation come, checked and looked up together; or eight
            // ASCII characters.
            if (lineBytes + 8 < kPiece) {
                if (startsWithTwoThreeByteSequences(word)) {
                    const Utf8Code first = table[threeByteSequence(word)];
                    const Utf8Code second = table[threeByteSequence(word >> 24)];
                    if (first != 0 && second != 0) {
                        o = putUtf8(putUtf8(o, first), second);
                        p += 6;
                        lineBytes += 4;
                        continue;
                    }
                } else if (const std::uint64_t stops = asciiStops(word); stops == 0) {
                    std::memcpy(o, p, 8);
                    o += 8;
                    p += 8;
                    lineBytes += 8;
                    continue;
                } else if (const auto plain = static_cast<std::size_t>(std::countr_zero(stops) / 8); plain != 0) {
                    // ASCII up to a character of another kind, as between words.
                    std::memcpy(o, p, 8);
                    o += plain;
                    p += plain;
                    lineBytes += plain;
                    continue;
                }
            }
            const unsigned lead = word & 0xFF;
            const unsigned trail1 = (word >> 8 & 0xFF) ^ 0x80u;
            if (lead < 0x80) {
                if (lead == '\n' || (lead == '\r' && trail1 == ('\n' ^ 0x80u))) {
                    p += lead == '\r' ? 2 : 1;  // the CR of a CR LF ends the line with its LF
                    if (crLf) *o++ = '\r';
                    *o++ = '\n';
                    lineBytes = 0;
                    continue;
                }
                if (lead == '\r') break;  // a lone CR waits for what follows it
                *o++ = static_cast<unsigned char>(lead);
                ++p;
                ++lineBytes;
            } else {
                Utf8Code code;
                std::size_t taken;
                if (lead >= 0xE0 && lead < 0xF0) {
                    const unsigned trail2 = (word >> 16 & 0xFF) ^ 0x80u;
                    if ((trail1 | trail2) >= 0x40) break;
                    code = table[(lead & 0x0F) << 12 | trail1 << 6 | trail2];
                    taken = 3;
                } else if (lead >= 0xC2 && lead < 0xE0) {
                    if (trail1 >= 0x40) break;
                    code = table[kTwoByteSlots + ((lead & 0x1F) << 6 | trail1)];
                    taken = 2;
                } else {
                    break;
                }
                if (code == 0) break;  // carried beside the table
                p += taken;
                o = putUtf8(o, code);
                lineBytes += 2;
            }
            if (lineBytes >= kPiece) lineBytes = 0;
        }
        input.next = p;
        out.count = static_cast<std::size_t>(o - bytes);
        out.lineBytes = lineBytes;
        if (out.count >= kOutputBytes) {
            sink.writeText(reinterpret_cast<const char*>(bytes), out.count);
            out.count = 0;
            if (sink.failed()) return kSuccess;  // the sink's close() reports it
        }
        // Anything else, one character at a time.
        char32_t c;
        if (!input.takeCodePoint(c)) break;
        takeOne(c, out);
    }
    if (out.pendingCr) putCharacter('\r', out);
    if (out.lineBytes > 0) takeOne('\n', out);  // the last line ends like every other
    sink.writeText(reinterpret_cast<const char*>(out.bytes.get()), out.count);
    endMarkOffset = input.endMarkOffset();
    return input.failed() ? kSourceUnreadable : kSuccess;
}

// One character, as a line of the family's text would take it.
void DirectUtf8Conversion::takeOne(char32_t c, Output& out) {
    if (c == '\n') {
        out.pendingCr = false;
        if (crLf_) out.bytes[out.count++] = '\r';
        out.bytes[out.count++] = '\n';
        out.lineBytes = 0;
        return;
    }
    // A CR ends the line only together with a LF.
    if (out.pendingCr) putCharacter('\r', out);
    out.pendingCr = c == '\r';
    if (!out.pendingCr) putCharacter(c, out);
    if (out.lineBytes >= FamilyTextReader::kLinePiece) out.lineBytes = 0;
}

void DirectUtf8Conversion::putCharacter(char32_t c, Output& out) {
    if (c < 0x80) {
        out.bytes[out.count++] = static_cast<unsigned char>(c);
        ++out.lineBytes;
        return;
    }
    if (c == kInvalidMarker) {
        sawInvalid = true;
        c = kBox;
    }
    out.lineBytes += 2;
    const Utf8Code code = c < FamilyMaps::kBmpSize ? written_[slotOf(c)] : 0;
    if (code != 0) {
        unsigned char* const at = out.bytes.get() + out.count;
        out.count += static_cast<std::size_t>(putUtf8(at, code) - at);
        return;
    }
    // Carried beside the engine, which converts the family's box in its place.
    if (&from_ != &to_) {
        char box[2];
        putPair(box, 0, from_.replacementCode());
        formatter_.convertText(box, 2, from_, to_);
    }
    U8_APPEND_UNSAFE(out.bytes.get(), out.count, c);
}

}  // namespace quillon::unicode
