#include "engine_utf8_blocks.h"

#include <unicode/utf8.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>

#include "byte_masks.h"
#include "utf8_input.h"

namespace quillon::unicode {
namespace {

constexpr Utf8Code kBoxUtf8 = utf8Of(kBox);
// The lead bytes' top bits of a word that holds four pairs.
constexpr std::uint64_t kFourLeads = 0x0080008000800080u;

}  // namespace

EngineUtf8Blocks::EngineUtf8Blocks(const EncodingProfile& family, const LineEncoder& carrier, bool crLf,
                                   TextSink& sink)
    : byWord_(std::make_unique<Utf8Code[]>(0x10000)), carrier_(carrier), crLf_(crLf), sink_(sink) {
    const Utf8Code* const held = FamilyMaps::instance().heldUtf8Table(family);
    for (unsigned code = FamilyMaps::kFirstPair; code <= 0xFFFF; ++code) {
        byWord_[(code & 0xFF) << 8 | code >> 8] = held[code - FamilyMaps::kFirstPair];
    }
}

void EngineUtf8Blocks::take(const char* block, std::size_t length) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(block);
    if (heldLength_ > 0) {
        // The held bytes and enough of the block to tell what they are.
        unsigned char joint[sizeof held_ + 4];
        const std::size_t added = std::min<std::size_t>(length, 4);
        std::memcpy(joint, held_, heldLength_);
        std::memcpy(joint + heldLength_, bytes, added);
        const std::size_t jointLength = heldLength_ + added;
        const std::size_t done = write(joint, jointLength, false);
        if (done < heldLength_) {  // the block was too short to tell: all of it is held
            heldLength_ = jointLength - done;
            std::memcpy(held_, joint + done, heldLength_);
            return;
        }
        bytes += done - heldLength_;
        length -= done - heldLength_;
        heldLength_ = 0;
    }
    const std::size_t done = write(bytes, length, false);
    heldLength_ = length - done;
    std::memcpy(held_, bytes + done, heldLength_);
}

void EngineUtf8Blocks::finish() {
    write(held_, heldLength_, true);
    heldLength_ = 0;
}

std::size_t EngineUtf8Blocks::write(const unsigned char* text, std::size_t length, bool atEnd) {
    // A byte in becomes three bytes out at most (a lone lead byte, a box),
    // and the moves below write up to eight bytes past what they take.
    constexpr std::size_t kSlack = 16;
    constexpr std::size_t kSlice = (TextSink::kRoom - kSlack) / 3;
    // Kept in locals: stores into the output may alias any member.
    const Utf8Code* const byWord = byWord_.get();
    const bool crLf = crLf_;
    bool invalid = false;
    std::size_t pos = 0;
    while (pos < length) {
        const std::size_t sliceEnd = std::min(length, pos + kSlice);
        // Where eight bytes can still be read.
        const std::size_t wordsEnd = length >= 8 ? std::min(sliceEnd, length - 7) : 0;
        auto* const start = reinterpret_cast<unsigned char*>(sink_.room(3 * (sliceEnd - pos) + kSlack));
        unsigned char* out = start;
        bool undecided = false;
        while (pos < sliceEnd) {
            // Most text goes here: up to four pairs of a word, or ASCII up
            // to a control (a CR, and a LF, before which CR LF output puts
            // a CR, among them), eight bytes at a time.
            while (pos < wordsEnd) {
                const std::uint64_t word = byte_masks::wordAt(reinterpret_cast<const char*>(text + pos));
                if ((word & kFourLeads) == kFourLeads) {
                    // Four characters of three bytes each, as hanzi are: their
                    // places in the output are known before their codes are.
                    const Utf8Code first = byWord[word & 0xFFFF];
                    const Utf8Code second = byWord[word >> 16 & 0xFFFF];
                    const Utf8Code third = byWord[word >> 32 & 0xFFFF];
                    const Utf8Code fourth = byWord[word >> 48];
                    // A Utf8Code's top byte is its length, 1 to 3, or 0 for
                    // no character: the AND of four is 3 when all are 3.
                    if (((first & second & third & fourth) >> 24) == 3) {
                        std::memcpy(out, &first, 4);
                        std::memcpy(out + 3, &second, 4);
                        std::memcpy(out + 6, &third, 4);
                        std::memcpy(out + 9, &fourth, 4);
                        out += 12;
                        pos += 8;
                        continue;
                    }
                }
                if ((word & 0x80) != 0) {
                    // A pair that stands for a character: its trail byte is
                    // none of a line end's.
                    const Utf8Code first = byWord[word & 0xFFFF];
                    if (first == 0) break;
                    out = putUtf8(out, first);
                    pos += 2;
                    if (const Utf8Code second = byWord[word >> 16 & 0xFFFF]) {
                        out = putUtf8(out, second);
                        pos += 2;
                        if (const Utf8Code third = byWord[word >> 32 & 0xFFFF]) {
                            out = putUtf8(out, third);
                            pos += 2;
                            if (const Utf8Code fourth = byWord[word >> 48]) {
                                out = putUtf8(out, fourth);
                                pos += 2;
                            }
                        }
                    }
                    continue;
                }
                // Looking for every control below 0E takes fewer steps than
                // looking for CR and LF alone, and the others are rare.
                const std::uint64_t stops = asciiStops(word);
                const std::size_t plain = stops == 0 ? 8 : static_cast<std::size_t>(std::countr_zero(stops) / 8);
                std::memcpy(out, text + pos, 8);
                out += plain;
                pos += plain;
                // The run's line end inside the word becomes the chosen one here.
                if (plain <= 6 && text[pos] == '\r' && text[pos + 1] == '\n') {
                    if (crLf) *out++ = '\r';
                    *out++ = '\n';
                    pos += 2;
                    continue;
                }
                if (plain == 0) break;
            }
            if (pos >= sliceEnd) break;
            // One character of any kind. A CR before a LF goes with it as
            // one line end; a lead byte before a line end or the end of the
            // text stands alone.
            const unsigned byte = text[pos];
            const std::size_t rest = length - pos;
            if (byte == '\r') {
                if (rest == 1 && !atEnd) {
                    undecided = true;
                    break;
                }
                if (rest == 1 || text[pos + 1] != '\n') {
                    *out++ = '\r';
                    ++pos;
                    continue;
                }
                ++pos;
            }
            if (byte < 0x80) {
                if (text[pos] == '\n' && crLf) *out++ = '\r';
                *out++ = text[pos++];
                continue;
            }
            const bool trailTold = rest >= 3 || (rest == 2 && text[pos + 1] != '\r');
            if (!trailTold && !atEnd) {
                undecided = true;
                break;
            }
            const bool alone = rest == 1 || text[pos + 1] == '\n' ||
                               (text[pos + 1] == '\r' && rest >= 3 && text[pos + 2] == '\n');
            const auto pair = static_cast<CharCode>(byte << 8 | (alone ? 0 : text[pos + 1]));
            if (const Utf8Code code = alone ? 0 : byWord[byte_masks::pairIndexAt(text + pos)]) {
                out = putUtf8(out, code);
            } else if (const char32_t carried = alone ? 0 : carrier_.carriedBy(pair)) {
                std::size_t written = 0;
                U8_APPEND_UNSAFE(out, written, carried);
                out += written;
            } else {
                out = putUtf8(out, kBoxUtf8);
                invalid = true;
            }
            pos += alone ? 1 : 2;
        }
        sink_.advance(static_cast<std::size_t>(out - start));
        if (undecided) break;
    }
    sawInvalid |= invalid;
    return pos;
}

}  // namespace quillon::unicode
