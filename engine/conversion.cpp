// Character-for-character conversion between profiles, and the convert run.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <span>

#include "byte_masks.h"
#include "line_reader.h"
#include "meta_charset.h"
#include "problem_census.h"
#include "run_options.h"
#include "text_file.h"
#include "text_formatter.h"

namespace quillon {
namespace {

// kLowByte: a byte of the pair, or a lead left without its trail, lies below
// A1, as no byte of a GB2312 character does; detection then rules out GB.
enum Problem : unsigned char { kInvalid = 1, kUnmappable = 2, kLowByte = 4 };

// What becomes of one pair, read as one word: the two bytes written over it
// in its low half, in memory order, and what was wrong above them.
using PairOutcome = std::uint32_t;
constexpr int kProblemShift = 16;

// GB2312 proper: both bytes A1..FE, less the rows' undefined stretches that
// GBK fills with its own characters.
bool passesGbRangeFilter(CharCode code) {
    const unsigned lead = code >> 8;
    const unsigned trail = code & 0xFF;
    if (lead < 0xA1 || lead > 0xFE || trail < 0xA1 || trail > 0xFE) return false;
    return !((code >= 0xA2A1 && code <= 0xA2B0) || (code >= 0xA6D9 && code <= 0xA6FE) ||
             (code >= 0xA8BB && code <= 0xA8C4));
}

PairOutcome outcomeOf(CharCode written, unsigned problems) {
    static_assert(std::endian::native == std::endian::little);
    return PairOutcome{(written >> 8) | (written & 0xFFu) << 8 | problems << kProblemShift};
}

// A pair within the source's byte ranges.
PairOutcome convertPair(const EncodingProfile& from, const EncodingProfile& to, unsigned lead,
                        unsigned trail) {
    const CharCode replacement = to.replacementCode();
    const auto code = static_cast<CharCode>(lead << 8 | trail);
    const CharCode counterpart = from.id == kGbkId && to.id == kGbId ? code : from.tableEntry(code);
    if (counterpart != 0 && (to.id != kGbId || passesGbRangeFilter(counterpart))) {
        return outcomeOf(counterpart, 0);
    }
    // A box in the source stays a box without a warning.
    return outcomeOf(replacement, code == from.replacementCode() ? 0 : kUnmappable);
}

// Tables of pairs are indexed by byte_masks::pairIndexAt. Indexes whose low
// byte is below 80 hold no pair and are never read.
constexpr std::size_t kPairIndexes = 0x10000;
using byte_masks::pairIndexAt;

// Only the pairs within the source's byte ranges are worked out one by one:
// every other is invalid alike, and a run that converts a small file would
// spend most of its time on them.
void fillPairOutcomes(PairOutcome* outcomes, const EncodingProfile& from,
                      const EncodingProfile& to) {
    const PairOutcome invalid = outcomeOf(to.replacementCode(), kInvalid);
    const PairOutcome lowByte = PairOutcome{kLowByte} << kProblemShift;
    constexpr unsigned kLowest = 0xA1;
    for (unsigned trail = 0; trail <= 0xFF; ++trail) {
        PairOutcome* const row = outcomes + (trail << 8);
        std::fill(row + 0x80, row + kLowest, invalid | lowByte);
        std::fill(row + kLowest, row + 0x100, trail < kLowest ? invalid | lowByte : invalid);
    }
    for (unsigned lead = std::max(0x80u, unsigned{from.leadMin}); lead <= from.leadMax; ++lead) {
        for (unsigned trail = from.trailMin; trail <= from.trailMax; ++trail) {
            outcomes[trail << 8 | lead] =
                convertPair(from, to, lead, trail) | (lead < kLowest || trail < kLowest ? lowByte : 0);
        }
    }
}

// convertPair for every pair between two profiles, by pair index: a run
// finds each character's counterpart with one lookup. Worked out once per
// pair of built-in profiles, and per call for any other.
const PairOutcome* pairOutcomes(const EncodingProfile& from, const EncodingProfile& to) {
    const int f = builtInSlot(from);
    const int t = builtInSlot(to);
    if (f < 0 || t < 0) {
        thread_local const auto scratch = std::make_unique_for_overwrite<PairOutcome[]>(kPairIndexes);
        fillPairOutcomes(scratch.get(), from, to);
        return scratch.get();
    }
    static std::once_flag built[kBuiltInProfiles][kBuiltInProfiles];
    static std::unique_ptr<PairOutcome[]> outcomes[kBuiltInProfiles][kBuiltInProfiles];
    std::call_once(built[f][t], [&] {
        outcomes[f][t] = std::make_unique_for_overwrite<PairOutcome[]>(kPairIndexes);
        fillPairOutcomes(outcomes[f][t].get(), from, to);
    });
    return outcomes[f][t].get();
}

// Converts `count` pairs from `in` to `out` (the same place, or one that
// does not overlap it) and returns what was wrong with any of them.
inline unsigned convertPairs(const unsigned char* in, unsigned char* out, std::size_t count,
                             const PairOutcome* outcomes) {
    PairOutcome seen = 0;
    for (std::size_t i = 0; i < count; ++i, in += 2, out += 2) {
        const PairOutcome outcome = outcomes[pairIndexAt(in)];
        seen |= outcome;
        std::memcpy(out, &outcome, 2);
    }
    return seen >> kProblemShift;
}

// Thirty-two bytes at once, as bit masks with one bit a byte.
constexpr std::size_t kWindow = 32;
inline std::uint64_t highBitsOfWindow(const unsigned char* bytes) {
    return byte_masks::highBits16(bytes) | std::uint64_t{byte_masks::highBits16(bytes + 16)} << 16;
}
inline std::uint64_t lineFeedsOfWindow(const unsigned char* bytes) {
    return byte_masks::equalBits16(bytes, '\n') | std::uint64_t{byte_masks::equalBits16(bytes + 16, '\n')} << 16;
}
// The CR of each CR LF in a window, that of a LF just past it too.
inline std::uint64_t crLfsOfWindow(const unsigned char* bytes, std::uint64_t lineFeeds) {
    const std::uint64_t crs =
        byte_masks::equalBits16(bytes, '\r') | std::uint64_t{byte_masks::equalBits16(bytes + 16, '\r')} << 16;
    return crs & (lineFeeds >> 1 | std::uint64_t{bytes[kWindow] == '\n'} << (kWindow - 1));
}
// The lead bytes of a window that starts at a character. A lead in the last
// place pairs with the byte after it.
inline std::uint64_t leadsOfWindow(const unsigned char* bytes) {
    return byte_masks::leadBytes(highBitsOfWindow(bytes), false);
}
// A window of whole pairs, as most of any Chinese text is.
constexpr std::uint64_t kAllPairs = 0x55555555;

// Converts the pairs that start at the set bits of `leads` in a window, none
// in its last place, and copies the other bytes as they are.
inline unsigned convertLeads(const unsigned char* in, unsigned char* out, std::uint64_t leads,
                             const PairOutcome* outcomes) {
    if (in != out) std::memcpy(out, in, kWindow);
    unsigned seen = 0;
    for (; leads != 0; leads &= leads - 1) {
        const int i = std::countr_zero(leads);
        seen |= convertPairs(in + i, out + i, 1, outcomes);
    }
    return seen;
}

// Whole lines, each ending in a LF, converted from `in` into `out` as
// convertText converts each line that readLine gives, without its line end,
// and as the text-mode writer writes it, the LF as CR LF. With `kCrLf`, a
// line may end in CR LF, which is written the same, and may hold a CR that
// no LF follows, which is text; without it, no line holds a CR. `out` has
// room for twice the input. Returns the number of bytes written.
template <bool kCrLf>
[[gnu::always_inline]] inline std::size_t convertLinesBody(const unsigned char* in, std::size_t length,
                                                           unsigned char* out, const PairOutcome* outcomes,
                                                           unsigned& problems) {
    const unsigned char* p = in;
    const unsigned char* const end = in + length;
    unsigned char* o = out;
    unsigned seen = 0;
    while (p < end) {
        // A window at a time, each LF in it written as CR LF. Its copies
        // reach at most three windows past where its output starts, and the
        // output has room for twice what is left to read: four windows at
        // least while two are left.
        if (static_cast<std::size_t>(end - p) >= 2 * kWindow) {
            std::uint64_t leads = leadsOfWindow(p);
            const std::uint64_t lineFeeds = lineFeedsOfWindow(p);
            // Left out: the LF writes the line end.
            const std::uint64_t crLfs = kCrLf ? crLfsOfWindow(p, lineFeeds) : 0;
            if (leads == kAllPairs && (lineFeeds | crLfs) == 0) {
                seen |= convertPairs(p, o, kWindow / 2, outcomes);
                p += kWindow;
                o += kWindow;
                continue;
            }
            // A lead in the last place goes with its trail in the next window.
            const int taken = (leads >> (kWindow - 1)) != 0 ? int(kWindow) - 1 : int(kWindow);
            leads &= (std::uint64_t{1} << taken) - 1;
            // A line's last byte before its line end has no trail: it stays.
            const std::uint64_t stranded = leads & ((lineFeeds | crLfs) >> 1);
            if (stranded != 0) seen |= kInvalid | kLowByte;
            leads &= ~stranded;
            if ((lineFeeds | crLfs) == 0) {
                seen |= convertLeads(p, o, leads, outcomes);
                p += taken;
                o += taken;
                continue;
            }
            // Converted here first, then copied out line by line; a copy may
            // read past the window's bytes.
            unsigned char window[2 * kWindow];
            seen |= convertLeads(p, window, leads, outcomes);
            int from = 0;
            for (std::uint64_t rest = lineFeeds; rest != 0; rest &= rest - 1) {
                const int lineFeed = std::countr_zero(rest);
                std::memcpy(o, window + from, kWindow);
                o += lineFeed - from;
                if (kCrLf && lineFeed > 0) o -= (crLfs >> (lineFeed - 1)) & 1;
                std::memcpy(o, "\r\n", 2);
                o += 2;
                from = lineFeed + 1;
            }
            std::memcpy(o, window + from, kWindow);
            o += taken - from;
            if (kCrLf) o -= crLfs >> (kWindow - 1);  // a CR whose LF opens the next window
            p += taken;
            continue;
        }
        const unsigned byte = *p;
        if (byte >= 0x80) {
            // The line's last byte before its line end has no trail: it stays.
            if (p[1] == '\n' || (kCrLf && p[1] == '\r' && p[2] == '\n')) {
                seen |= kInvalid | kLowByte;
                *o++ = static_cast<unsigned char>(byte);
                ++p;
                continue;
            }
            seen |= convertPairs(p, o, 1, outcomes);
            o += 2;
            p += 2;
            continue;
        }
        ++p;
        if (kCrLf && byte == '\r' && *p == '\n') continue;
        if (byte == '\n') *o++ = '\r';
        *o++ = static_cast<unsigned char>(byte);
    }
    problems |= seen;
    return static_cast<std::size_t>(o - out);
}

// The body above, for lines with CRs and without, built once for any
// processor and once for those with BMI1, whose single instructions for a
// mask's lowest bit its window loops use.
template <bool kCrLf>
std::size_t convertLinesPlain(const unsigned char* in, std::size_t length, unsigned char* out,
                              const PairOutcome* outcomes, unsigned& problems) {
    return convertLinesBody<kCrLf>(in, length, out, outcomes, problems);
}
#if defined(QUILLON_BMI_LOOPS)
template <bool kCrLf>
QUILLON_BMI std::size_t convertLinesBmi(const unsigned char* in, std::size_t length, unsigned char* out,
                                        const PairOutcome* outcomes, unsigned& problems) {
    return convertLinesBody<kCrLf>(in, length, out, outcomes, problems);
}
#endif
template <bool kCrLf>
std::size_t convertLinesAs(const unsigned char* in, std::size_t length, unsigned char* out,
                           const PairOutcome* outcomes, unsigned& problems) {
#if defined(QUILLON_BMI_LOOPS)
    if (byte_masks::hasBmi()) return convertLinesBmi<kCrLf>(in, length, out, outcomes, problems);
#endif
    return convertLinesPlain<kCrLf>(in, length, out, outcomes, problems);
}
// Lines as the reader stores them, the body for those that hold no CR
// chosen when they hold none.
std::size_t convertLinesInto(std::span<const unsigned char> lines, unsigned char* out, const PairOutcome* outcomes,
                             unsigned& problems) {
    const bool crs = std::memchr(lines.data(), '\r', lines.size()) != nullptr;
    return crs ? convertLinesAs<true>(lines.data(), lines.size(), out, outcomes, problems)
               : convertLinesAs<false>(lines.data(), lines.size(), out, outcomes, problems);
}

}  // namespace

void TextFormatter::convertLine(char* line, const EncodingProfile& from,
                                const EncodingProfile& to) {
    convertRunLine(line, std::strlen(line), from, to);
}

void TextFormatter::convertText(char* text, std::size_t length, const EncodingProfile& from,
                                const EncodingProfile& to) {
    if (!changesCode(from, to) || length == 0) return;

    const PairOutcome* const outcomes = pairOutcomes(from, to);
    auto* bytes = reinterpret_cast<unsigned char*>(text);
    // Kept in a local: stores through `bytes` may alias any member.
    unsigned problems = 0;

    std::size_t pos = 0;
    // Once tags have proved unbalanced, the rest of the run converts them like
    // any text. That is run state: the option itself stays for the next run.
    if (htmlAware_ == 0 || htmlAborted) {
        // A lead byte in the last position has no trail byte: stop short of it.
        const std::size_t lastPos = length - 1;
        while (pos < lastPos) {
            // A window at a time, less a lead in its last place.
            if (length - pos >= kWindow) {
                std::uint64_t leads = leadsOfWindow(bytes + pos);
                if (leads == kAllPairs) {
                    problems |= convertPairs(bytes + pos, bytes + pos, kWindow / 2, outcomes);
                    pos += kWindow;
                    continue;
                }
                const bool cutLead = (leads >> (kWindow - 1)) != 0;
                leads &= ~(std::uint64_t{1} << (kWindow - 1));
                problems |= convertLeads(bytes + pos, bytes + pos, leads, outcomes);
                pos += cutLead ? kWindow - 1 : kWindow;
                continue;
            }
            if (bytes[pos] >= 0x80) {
                problems |= convertPairs(bytes + pos, bytes + pos, 1, outcomes);
                pos += 2;
            } else {
                ++pos;
            }
        }
        if (pos == lastPos && bytes[pos] >= 0x80) problems |= kInvalid | kLowByte;  // left as it is
    } else {
        bool inTag = insideTag != 0;
        while (pos < length) {
            const unsigned byte = bytes[pos];
            if (byte < 0x80) {
                ++pos;
                if (byte != '<' && byte != '>') continue;
                const bool opens = byte == '<';
                if (inTag != opens) {
                    inTag = opens;
                    continue;
                }
                // Unbalanced tags: the rest of the run converts them like any text.
                htmlAborted = 1;
                insideTag = inTag;
                noteProblems(problems);
                convertText(text + pos, length - pos, from, to);
                return;
            }
            if (pos + 1 == length) {
                problems |= kInvalid | kLowByte;
                break;
            }
            // A lone lead byte that the format run kept is no tag text.
            if (!inTag || pairIndexAt(bytes + pos) == kLoneLeadMark) {
                problems |= convertPairs(bytes + pos, bytes + pos, 1, outcomes);
            }
            pos += 2;
        }
        insideTag = inTag;
    }
    noteProblems(problems);
}

void TextFormatter::noteProblems(unsigned problems) {
    if (problems & kInvalid) sawInvalidCode = 1;
    if (problems & kUnmappable) sawUnmappable = 1;
    if (problems & kLowByte) sawLowBytePair_ = true;
}

bool TextFormatter::convertMeetsLowBytes() const {
    return sourceProfile->id == kGbId && htmlAware_ == 0 && phrases_ == 0 && changesCode(*sourceProfile, *targetProfile);
}

// A convert run always changes family unless the user names a target.
void TextFormatter::aimConversion() {
    if (outputEncoding_ == kOutputSame) outputEncoding_ = kOutputDifferent;
}

RunResult TextFormatter::convertFile(const char* sourcePath, const char* destinationPath) {
    if (!hasBuffers()) return kOutOfMemory;
    aimConversion();
    return runFile(sourcePath, destinationPath, false, convertBody());
}

RunResult TextFormatter::convertStreams(LineReader& source, TextWriter& destination) {
    if (!hasBuffers()) return kOutOfMemory;
    aimConversion();
    return runStreams(source, destination, false, convertBody());
}

std::optional<RunResult> TextFormatter::convertFile(const char* sourcePath, const char* destinationPath,
                                                    SourceJudge& judge) {
    if (!hasBuffers()) return kOutOfMemory;
    aimConversion();
    return runJudgingAsRead(sourcePath, destinationPath, judge, convertBody(), true);
}

std::optional<RunResult> TextFormatter::convertStreams(LineReader& source, TextWriter& destination,
                                                       SourceJudge& judge) {
    if (!hasBuffers()) return kOutOfMemory;
    aimConversion();
    return runJudgingAsRead(source, [&] { return &destination; }, judge, convertBody(), true);
}

TextFormatter::RunBody TextFormatter::convertBody() {
    return [this](LineReader& source, TextWriter& destination) { convertLines(source, destination); };
}

void TextFormatter::convertLines(LineReader& source, TextWriter& destination) {
    insideTag = 0;  // once per run: a tag may span lines

    // Without tags or the user's phrases, lines that need no attention from
    // the reader are converted straight from its buffer into the writer's,
    // and phrases then patch them there.
    const PairOutcome* const outcomes =
        htmlAware_ == 0 && userPhrases_ == nullptr && changesCode(*sourceProfile, *targetProfile)
            ? pairOutcomes(*sourceProfile, *targetProfile)
            : nullptr;
    constexpr std::size_t kLinesAtOnce = 1 << 14;
    char* line = lineBuffer();
    for (;;) {
        if (outcomes != nullptr) {
            const auto lines = source.takeStoredLines(kLinesAtOnce);
            if (!lines.empty()) {
                auto* const out = reinterpret_cast<unsigned char*>(destination.space(2 * lines.size()));
                unsigned problems = 0;
                destination.advance(convertLinesInto(lines, out, outcomes, problems));
                if (!choosePhrasesInLines(lines, out, *sourceProfile, *targetProfile)) problems = 0;
                noteProblems(problems);
                continue;
            }
        }
        const int read = source.readLine(line, kBufferSize);
        if (read == 0) break;
        auto length = static_cast<std::size_t>(read);
        if (length > 0 && (line[length - 1] == '\n' || line[length - 1] == '\r')) --length;
        convertRunLine(line, length, *sourceProfile, *targetProfile);
        // The line feed ended the line.
        if (const std::optional<std::string> named =
                htmlAware_ != 0 ? withMetaCharset({line, length}, htmlCharsetName(targetProfile->id)) : std::nullopt) {
            destination.writeLine(named->data(), named->size());
        } else {
            destination.writeLine(line, length);
        }
    }
}

std::string spelledBytes(const std::string& bytes) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    std::string spelled;
    for (const unsigned char byte : bytes) {
        if (!spelled.empty()) spelled += ' ';
        (spelled += kDigits[byte >> 4]) += kDigits[byte & 0xF];
    }
    return spelled;
}

std::optional<ProblemCensus> takeProblemCensus(const char* path, const EncodingProfile& from,
                                               const EncodingProfile& to, CensusProblem problem) {
    LineReader reader;
    if (!reader.open(path)) return std::nullopt;
    return takeProblemCensus(reader, from, to, problem);
}

namespace {

// The number of characters of a line's first `length` bytes, which end at a
// character's end.
std::int64_t charactersIn(const unsigned char* bytes, std::size_t length) {
    std::int64_t characters = 0;
    for (std::size_t pos = 0; pos < length; ++characters) pos += bytes[pos] >= 0x80 ? 2 : 1;
    return characters;
}

}  // namespace

std::optional<ProblemCensus> takeProblemCensus(LineReader& reader, const EncodingProfile& from,
                                               const EncodingProfile& to, CensusProblem problem) {
    ProblemCensus census;
    if (!changesCode(from, to)) return census;
    const unsigned wanted = problem == CensusProblem::Invalid ? kInvalid : kUnmappable;
    const PairOutcome wantedOutcome = PairOutcome{wanted} << kProblemShift;
    const PairOutcome* const outcomes = pairOutcomes(from, to);
    const auto buffer = std::make_unique_for_overwrite<char[]>(TextFormatter::kBufferSize);
    std::int64_t line = 1;
    std::int64_t columnsBefore = 0;  // of a long line's pieces before this one
    // Only the first character counted needs its column: the others are
    // counted, not placed.
    const auto count = [&](const unsigned char* bytes, std::size_t pos, std::size_t size) {
        if (census.count++ != 0) return;
        census.line = line;
        census.column = columnsBefore + charactersIn(bytes, pos) + 1;
        census.bytes.assign(bytes + pos, bytes + pos + size);
    };
    while (const int read = reader.readLine(buffer.get(), TextFormatter::kBufferSize)) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(buffer.get());
        auto length = static_cast<std::size_t>(read);
        const bool endsLine = bytes[length - 1] == '\n';
        // As the run takes each line: without its line end.
        if (endsLine || bytes[length - 1] == '\r') --length;
        std::size_t pos = 0;
        while (pos < length) {
            if (bytes[pos] < 0x80) {
                // ASCII has nothing to count: a word of it at a time.
                ++pos;
                while (pos + 8 <= length && (byte_masks::wordAt(buffer.get() + pos) & byte_masks::kHighBits) == 0) {
                    pos += 8;
                }
                while (pos < length && bytes[pos] < 0x80) ++pos;
                continue;
            }
            // Eight bytes above ASCII from a lead are four pairs, mostly
            // without the problem.
            if (pos + 8 <= length &&
                (byte_masks::wordAt(buffer.get() + pos) & byte_masks::kHighBits) == byte_masks::kHighBits &&
                ((outcomes[pairIndexAt(bytes + pos)] | outcomes[pairIndexAt(bytes + pos + 2)] |
                  outcomes[pairIndexAt(bytes + pos + 4)] | outcomes[pairIndexAt(bytes + pos + 6)]) &
                 wantedOutcome) == 0) {
                pos += 8;
                continue;
            }
            if (pos + 1 == length) {
                // A lead byte without its trail.
                if ((wanted & kInvalid) != 0) count(bytes, pos, 1);
                ++pos;
                continue;
            }
            if ((outcomes[pairIndexAt(bytes + pos)] & wantedOutcome) != 0) count(bytes, pos, 2);
            pos += 2;
        }
        if (endsLine) {
            ++line;
            columnsBefore = 0;
        } else if (census.count == 0) {
            columnsBefore += charactersIn(bytes, length);
        }
    }
    if (reader.failed()) return std::nullopt;
    return census;
}

}  // namespace quillon
