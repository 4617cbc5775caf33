#include "family_text_reader.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace quillon::unicode {
namespace {

constexpr std::size_t kCodePointsAtOnce = 1 << 12;

// Whether a word of UTF-8 starts with a sequence of three bytes, lead byte
// 1110xxxx and trail bytes 10xxxxxx.
bool startsWithThreeByteSequence(std::uint64_t word) { return (word & 0xC0C0F0u) == 0x8080E0u; }

}  // namespace

FamilyTextReader::FamilyTextReader(LineEncoder& encoder, std::size_t chunkBytes)
    : encoder_(encoder), chunkBytes_(chunkBytes),
      // Past the chunk's size: the line that crosses it, and what ends the text.
      text_(std::make_unique<char[]>(chunkBytes + kLinePiece + 8)) {}

bool FamilyTextReader::open(const SourceText& source, const char* encoding) {
    utf8_ = std::strcmp(encoding, kUtf8Name) == 0;
    if (utf8_) {
        const CharCode* const codes = encoder_.losslessCodes();
        storedCodes_ = std::make_unique_for_overwrite<std::uint16_t[]>(FamilyMaps::kBmpSize);
        for (std::size_t packed = 0; packed < FamilyMaps::kBmpSize; ++packed) {
            // Three bytes that spell a character of fewer, or a surrogate,
            // are no character: the reader marks them.
            const char32_t c = unpackedSequence(packed);
            const CharCode code = c < 0x800 || (c & 0xF800) == 0xD800 ? 0 : codes[c];
            storedCodes_[packed] = static_cast<std::uint16_t>(code >> 8 | (code & 0xFF) << 8);
        }
        return bytes_.open(source);
    }
    codePoints_ = std::make_unique<char32_t[]>(kCodePointsAtOnce);
    return points_.open(source, encoding);
}

std::size_t FamilyTextReader::next() {
    length_ = lineStart_ = 0;
    carriers_.clear();
    if (done_) return 0;
    if (!(utf8_ ? readUtf8() : readCodePoints())) {
        done_ = true;
        if (pendingCr_) encoder_.append('\r', text_.get(), length_, carriers_);
        pendingCr_ = false;
        // The last line ends like every other.
        if (length_ > lineStart_) endLine();
    }
    return length_;
}

// One character into the chunk; true when that completes it.
bool FamilyTextReader::take(char32_t c) {
    if (c == '\n') {
        pendingCr_ = false;
        return endLine();
    }
    if (pendingCr_) encoder_.append('\r', text_.get(), length_, carriers_);
    pendingCr_ = c == '\r';
    if (!pendingCr_) encoder_.append(c, text_.get(), length_, carriers_);
    return endPiece();
}

bool FamilyTextReader::endLine() {
    text_[length_++] = '\n';
    lineStart_ = length_;
    return length_ >= chunkBytes_;
}

bool FamilyTextReader::endPiece() {
    if (length_ - lineStart_ < kLinePiece) return false;
    lineStart_ = length_;
    return length_ >= chunkBytes_;
}

bool FamilyTextReader::readCodePoints() {
    for (;;) {
        while (pointNext_ < pointCount_) {
            if (take(codePoints_[pointNext_++])) return true;
        }
        pointCount_ = points_.read(codePoints_.get(), kCodePointsAtOnce);
        pointNext_ = 0;
        if (pointCount_ == 0) return false;
    }
}

bool FamilyTextReader::readUtf8() {
    char* const text = text_.get();
    for (;;) {
        // What most text is made of goes here, as take() would have it, while
        // a character cannot be cut by the end of the buffer: ASCII, line ends
        // and what the family carries in two or three bytes of UTF-8.
        // Kept in locals: stores into the text may alias any member.
        const unsigned char* p = bytes_.next;
        const unsigned char* const end = pendingCr_ ? p : bytes_.end;
        const std::size_t chunkBytes = chunkBytes_;
        const CharCode* const codes = encoder_.losslessCodes();
        const std::uint16_t* const stored = storedCodes_.get();
        std::size_t length = length_;
        std::size_t lineStart = lineStart_;
        bool ready = false;
        while (end - p >= 4) {
            if (p[0] < 0x80) {
                // ASCII up to a character of another kind, as between words,
                // sixteen bytes at a time.
                if (end - p >= 16 && length - lineStart + 16 < kLinePiece) {
                    const unsigned stops = asciiStops16(p);
                    const auto plain = static_cast<std::size_t>(stops == 0 ? 16 : std::countr_zero(stops));
                    std::memcpy(text + length, p, 16);
                    length += plain;
                    p += plain;
                    // A LF after them is taken below at once.
                    if (plain == 16 || (plain != 0 && *p != '\n')) continue;
                }
            } else if (end - p >= 8 && length - lineStart + 8 < kLinePiece) {
                // Hanzi (or marks) two at a time.
                std::uint64_t word = byte_masks::wordAt(reinterpret_cast<const char*>(p));
                if (startsWithTwoThreeByteSequences(word)) {
                    // A run of them, while they fit the piece and the words
                    // the buffer holds: the last pair starts at `last` at most.
                    const std::size_t pairsFit = (lineStart + kLinePiece - 8 - length - 1) / 4;
                    const auto pairsHeld = static_cast<std::size_t>(end - 8 - p) / 6;
                    const unsigned char* const last = p + 6 * std::min(pairsFit, pairsHeld);
                    const unsigned char* const runStart = p;
                    for (;;) {
                        const std::uint64_t packed = packedSequences(word);
                        const std::uint32_t pairs = std::uint32_t{stored[packed >> 24 & 0xFFFF]} << 16 |
                                                    stored[packed & 0xFFFF];
                        // A stored code starts with its lead byte, 81 and up: 0 is none.
                        if ((pairs & 0x00800080u) != 0x00800080u) break;
                        std::memcpy(text + length, &pairs, 4);
                        length += 4;
                        p += 6;
                        if (p > last) break;
                        word = byte_masks::wordAt(reinterpret_cast<const char*>(p));
                        if (!startsWithTwoThreeByteSequences(word)) break;
                    }
                    if (p != runStart) continue;
                } else if (startsWithThreeByteSequence(word)) {
                    // One of them, before a character of another kind.
                    if (const std::uint16_t pair = stored[packedSequences(word) & 0xFFFF]) {
                        std::memcpy(text + length, &pair, 2);
                        length += 2;
                        p += 3;
                        continue;
                    }
                }
            }
            const unsigned lead = p[0];
            if (lead < 0x80) {
                if (lead == '\r') {
                    if (p[1] != '\n') break;
                    ++p;  // the CR of a CR LF ends the line with its LF
                }
                ++p;
                if (p[-1] == '\n') {
                    text[length++] = '\n';
                    lineStart = length;
                    if (length >= chunkBytes) {
                        ready = true;
                        break;
                    }
                    continue;
                }
                text[length++] = static_cast<char>(lead);
            } else {
                const unsigned trail1 = p[1] ^ 0x80u;
                char32_t c;
                if (lead >= 0xE0 && lead < 0xF0) {
                    const unsigned trail2 = p[2] ^ 0x80u;
                    c = (lead & 0x0F) << 12 | trail1 << 6 | trail2;
                    if ((trail1 | trail2) >= 0x40 || c < 0x800 || (c & 0xF800) == 0xD800) break;
                } else if (lead >= 0xC2 && lead < 0xE0) {
                    c = (lead & 0x1F) << 6 | trail1;
                    if (trail1 >= 0x40) break;
                } else {
                    break;
                }
                const CharCode code = codes[c];
                if (code == 0) break;  // a carrier, or a character to mark
                putPair(text, length, code);
                length += 2;
                p += c < 0x800 ? 2 : 3;
            }
            if (length - lineStart >= kLinePiece) {
                lineStart = length;
                if (length >= chunkBytes) {
                    ready = true;
                    break;
                }
            }
        }
        bytes_.next = p;
        length_ = length;
        lineStart_ = lineStart;
        if (ready) return true;
        // Anything else, one character at a time.
        char32_t c;
        if (!bytes_.takeCodePoint(c)) return false;
        if (take(c)) return true;
    }
}

}  // namespace quillon::unicode
