#include "dictionary_utf8_conversion.h"

#include <unicode/utf8.h>

#include <bit>

#include "carried_lines.h"
#include "family_text_reader.h"
#include "utf8_input.h"

namespace quillon::unicode {
namespace {

// Text converted and written at once, in whole lines: large enough for the
// sink to write it without a copy, and small beside the input's buffer, so
// that most chunks lie whole in it and convert from there.
constexpr std::size_t kChunkBytes = std::size_t{1} << 16;
static_assert(kChunkBytes * 4 <= Utf8Input::kBufferSize);

constexpr std::size_t kPiece = FamilyTextReader::kLinePiece;

// Whether the three-byte sequence of that value is a character to copy: no
// overlong form, no surrogate, and not the decoder's mark of a sequence that
// does not decode, which the edge takes for one wherever it comes.
bool isThreeByteCharacter(std::size_t c) {
    return c >= 0x800 && (c & 0xF800) != 0xD800 && c != kInvalidMarker;
}

// By the low four bits of a lead byte 1110xxxx, whether a sequence it leads
// may be no character to copy: E0 leads the overlong forms, ED the
// surrogates, and one the invalid marker. Other leads need no decoding.
static_assert(kInvalidMarker >= 0x800 && kInvalidMarker < 0x10000, "the marker takes three bytes");
constexpr unsigned kLeadsToCheck = 1u << 0x0 | 1u << 0xD | 1u << (kInvalidMarker >> 12);

#if defined(__SSE2__)
// Whether the sixteen bytes at `p` start with four sequences of three bytes
// that need no decoding: hanzi mostly come in such runs. A lead of E0 or ED,
// or the marker's lead before the marker's second byte, takes the way of two
// at a time, which looks closer.
bool startsWithFourPlainThreeByteSequences(const unsigned char* p) {
    alignas(16) static constexpr unsigned char kShape[16] = {0xF0, 0xC0, 0xC0, 0xF0, 0xC0, 0xC0,
                                                             0xF0, 0xC0, 0xC0, 0xF0, 0xC0, 0xC0};
    alignas(16) static constexpr unsigned char kFormed[16] = {0xE0, 0x80, 0x80, 0xE0, 0x80, 0x80,
                                                              0xE0, 0x80, 0x80, 0xE0, 0x80, 0x80};
    constexpr unsigned kLeads = 1u << 0 | 1u << 3 | 1u << 6 | 1u << 9;
    constexpr auto kMarkerLead = static_cast<char>(0xE0 | kInvalidMarker >> 12);
    constexpr auto kMarkerSecond = static_cast<char>(0x80 | (kInvalidMarker >> 6 & 0x3F));
    const __m128i bytes = byte_masks::load16(p);
    const __m128i shape = _mm_and_si128(bytes, _mm_load_si128(reinterpret_cast<const __m128i*>(kShape)));
    const auto formed = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_cmpeq_epi8(shape, _mm_load_si128(reinterpret_cast<const __m128i*>(kFormed)))));
    const __m128i marker = _mm_and_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(kMarkerLead)),
                                         _mm_cmpeq_epi8(_mm_srli_si128(bytes, 1), _mm_set1_epi8(kMarkerSecond)));
    const __m128i closer = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(static_cast<char>(0xE0))),
                                                     _mm_cmpeq_epi8(bytes, _mm_set1_epi8(static_cast<char>(0xED)))),
                                        marker);
    return formed == 0xFFFF && (static_cast<unsigned>(_mm_movemask_epi8(closer)) & kLeads) == 0;
}
#endif

}  // namespace

RunResult DictionaryUtf8Conversion::run(const SourceText& source, TextSink& sink) {
    Utf8Input input;
    if (!input.open(source)) return kSourceUnreadable;
    text_.reserve(kChunkBytes + kPiece * 2 + 16);
    for (;;) {
        // Valid text without a CR goes here in runs of bytes; a character
        // counts two of the family's bytes, as in the engine's pieces.
        const unsigned char* p = input.next;
        const unsigned char* const end = pendingCr_ ? p : input.end;
        const unsigned char* run = p;
        std::size_t pieceBytes = pieceBytes_;
        const auto keepRun = [&] {
            text_.append(reinterpret_cast<const char*>(run), static_cast<std::size_t>(p - run));
        };
        while (end - p >= 8 && pieceBytes + 8 < kPiece) {
#if defined(__SSE2__)
            if (end - p >= 16 && startsWithFourPlainThreeByteSequences(p)) {
                p += 12;
                pieceBytes += 8;
                continue;
            }
#endif
            const std::uint64_t word = byte_masks::wordAt(reinterpret_cast<const char*>(p));
            if (startsWithTwoThreeByteSequences(word)) {
                if (((kLeadsToCheck >> (word & 0x0F)) | (kLeadsToCheck >> (word >> 24 & 0x0F))) & 1) {
                    if (!isThreeByteCharacter(threeByteSequence(word)) ||
                        !isThreeByteCharacter(threeByteSequence(word >> 24))) {
                        break;
                    }
                }
                p += 6;
                pieceBytes += 4;
                continue;
            }
            if (const std::uint64_t stops = asciiStops(word); stops == 0) {
                p += 8;
                pieceBytes += 8;
                continue;
            } else if (const auto plain = static_cast<std::size_t>(std::countr_zero(stops) / 8); plain != 0) {
                p += plain;
                pieceBytes += plain;
                continue;
            }
            const unsigned lead = p[0];
            const unsigned trail1 = p[1] ^ 0x80u;
            if (lead == '\n' || (lead == '\r' && p[1] == '\n')) {
                // The CR of a CR LF ends the line with its LF. A line end
                // that is the chosen one stays in the run.
                if ((lead == '\r') == crLf_) {
                    p += crLf_ ? 2 : 1;
                } else {
                    keepRun();
                    p += lead == '\r' ? 2 : 1;
                    run = p;
                    endLine();
                }
                pieceBytes = 0;
                if (text_.size() + static_cast<std::size_t>(p - run) >= kChunkBytes) {
                    if (text_.empty()) {
                        write(sink, {reinterpret_cast<const char*>(run), static_cast<std::size_t>(p - run)});
                    } else {
                        keepRun();
                        write(sink);
                    }
                    run = p;
                    input.next = p;
                    pieceBytes_ = 0;
                    if (sink.failed()) return kSuccess;  // the sink's close() reports it
                }
                continue;
            }
            if (lead == '\r') break;  // a lone CR waits for what follows it
            if (lead < 0x80) {
                ++p;
                ++pieceBytes;
            } else if (lead >= 0xE0 && lead < 0xF0) {
                const unsigned trail2 = p[2] ^ 0x80u;
                const std::size_t c = (lead & 0x0F) << 12 | trail1 << 6 | trail2;
                if ((trail1 | trail2) >= 0x40 || !isThreeByteCharacter(c)) break;
                p += 3;
                pieceBytes += 2;
            } else if (lead >= 0xC2 && lead < 0xE0 && trail1 < 0x40) {
                p += 2;
                pieceBytes += 2;
            } else {
                break;
            }
        }
        keepRun();
        input.next = p;
        pieceBytes_ = pieceBytes;
        // Anything else, one character at a time.
        char32_t c;
        if (!input.takeCodePoint(c)) break;
        take(c);
        // The engine converts each piece of a long line alone.
        const bool pieceEnds = pieceBytes_ >= kPiece;
        if (pieceEnds) pieceBytes_ = 0;
        if (pieceEnds || (c == '\n' && text_.size() >= kChunkBytes)) {
            write(sink);
            if (sink.failed()) return kSuccess;
        }
    }
    if (pendingCr_) put('\r');
    if (pieceBytes_ > 0) endLine();
    write(sink);
    endMarkOffset = input.endMarkOffset();
    return input.failed() ? kSourceUnreadable : kSuccess;
}

void DictionaryUtf8Conversion::take(char32_t c) {
    if (c == '\n') {
        pendingCr_ = false;
        endLine();
        pieceBytes_ = 0;
        return;
    }
    // A CR ends the line only together with a LF.
    if (pendingCr_) put('\r');
    pendingCr_ = c == '\r';
    if (!pendingCr_) put(c);
}

void DictionaryUtf8Conversion::put(char32_t c) {
    if (c < 0x80) {
        text_ += static_cast<char>(c);
        ++pieceBytes_;
        return;
    }
    if (c == kInvalidMarker) {
        sawInvalid = true;
        c = kBox;
    }
    char bytes[U8_MAX_LENGTH];
    std::size_t length = 0;
    U8_APPEND_UNSAFE(bytes, length, c);
    text_.append(bytes, length);
    pieceBytes_ += 2;
}

void DictionaryUtf8Conversion::endLine() {
    if (crLf_) text_ += '\r';
    text_ += '\n';
}

void DictionaryUtf8Conversion::write(TextSink& sink) {
    write(sink, text_);
    text_.clear();
}

void DictionaryUtf8Conversion::write(TextSink& sink, std::string_view text) {
    converted_.clear();
    converter_.convert(text, converted_);
    sink.writeText(converted_.data(), converted_.size());
}

}  // namespace quillon::unicode
