// Character-for-character conversion between profiles, and the convert run.
#include <cstring>

#include "text_file.h"
#include "text_formatter.h"

namespace quillon {
namespace {

// GB2312 proper: both bytes A1..FE, less the rows' undefined stretches that
// GBK fills with its own characters.
bool passesGbRangeFilter(CharCode code) {
    const unsigned lead = code >> 8;
    const unsigned trail = code & 0xFF;
    if (lead < 0xA1 || lead > 0xFE || trail < 0xA1 || trail > 0xFE) return false;
    return !((code >= 0xA2A1 && code <= 0xA2B0) || (code >= 0xA6D9 && code <= 0xA6FE) ||
             (code >= 0xA8BB && code <= 0xA8C4));
}

CharCode counterpartOf(const EncodingProfile& from, const EncodingProfile& to, CharCode code) {
    if (from.id == kGbkId && to.id == kGbId) return code;
    const std::size_t index =
        std::size_t((code >> 8) - from.tableLeadBase) * (from.trailMax - from.tableTrailBase + 1) +
        ((code & 0xFF) - from.tableTrailBase);
    return index < from.codeTableEntries ? from.codeTable[index] : 0;
}

void put(char* at, CharCode code) {
    at[0] = static_cast<char>(code >> 8);
    at[1] = static_cast<char>(code & 0xFF);
}

}  // namespace

void TextFormatter::convertLine(char* line, const EncodingProfile& from,
                                const EncodingProfile& to) {
    convertText(line, std::strlen(line), from, to);
}

void TextFormatter::convertText(char* text, std::size_t length, const EncodingProfile& from,
                                const EncodingProfile& to) {
    // GB is a subset of GBK: nothing to do, and nothing is validated.
    if (&from == &to || (from.id == kGbId && to.id == kGbkId)) return;

    std::size_t pos = 0;
    while (pos < length) {
        const auto lead = static_cast<unsigned char>(text[pos]);
        if (lead < 0x80) {
            if (htmlAware_ && (lead == '<' || lead == '>')) {
                const bool opens = lead == '<';
                if (bool(insideTag) != opens) {
                    insideTag = opens;
                } else {
                    // Unbalanced tags: stop trusting them and convert everything.
                    htmlAware_ = 0;
                    htmlAborted = 1;
                }
            }
            ++pos;
            continue;
        }
        if (pos + 1 == length) {
            sawInvalidCode = 1;  // the lead byte stays as it is
            return;
        }
        if (htmlAware_ && insideTag) {
            pos += 2;
            continue;
        }
        const auto trail = static_cast<unsigned char>(text[pos + 1]);
        if (lead < from.leadMin || lead > from.leadMax || trail < from.trailMin ||
            trail > from.trailMax) {
            put(text + pos, to.replacementCode());
            sawInvalidCode = 1;
            pos += 2;
            continue;
        }
        const auto code = static_cast<CharCode>(lead << 8 | trail);
        const CharCode counterpart = counterpartOf(from, to, code);
        if (counterpart != 0 && (to.id != kGbId || passesGbRangeFilter(counterpart))) {
            put(text + pos, counterpart);
        } else {
            put(text + pos, to.replacementCode());
            // A box in the source stays a box without a warning.
            if (code != from.replacementCode()) sawUnmappable = 1;
        }
        pos += 2;
    }
}

RunResult TextFormatter::convertFile(const char* sourcePath, const char* destinationPath) {
    if (!hasBuffers()) return kOutOfMemory;
    // A convert run always changes family unless the user names a target.
    if (outputEncoding_ == 0) outputEncoding_ = 4;
    if (selectProfiles(sourcePath) != kSuccess) return kSourceUnreadable;
    clearConversionFlags();

    TextReader source;
    if (!source.open(sourcePath)) return kSourceUnreadable;
    TextWriter destination;
    if (!destination.open(destinationPath)) return kDestinationUnwritable;
    insideTag = 0;  // once per run: a tag may span lines

    char* line = lineBuffer();
    while (source.readLine(line, kBufferSize)) {
        std::size_t length = std::strlen(line);
        if (length > 0 && (line[length - 1] == '\n' || line[length - 1] == '\r')) --length;
        convertText(line, length, *sourceProfile, *targetProfile);
        destination.write(line, length);
        destination.putLineFeed();
    }
    source.close();
    // A destination that did not receive every byte, or a source that could
    // not be read to its end, must not pass for a complete run.
    if (!destination.close()) return kDestinationUnwritable;
    if (source.failed()) return kSourceUnreadable;
    return conversionResult();
}

}  // namespace quillon
