// The format run: lines are trimmed, joined into paragraphs by the chosen
// rule, transformed character by character and laid out into lines.
#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "byte_masks.h"
#include "character_classes.h"
#include "line_reader.h"
#include "run_options.h"
#include "text_file.h"
#include "text_formatter.h"
#include "text_kinds.h"

namespace quillon {
namespace {

// Points the formatter's output stream at a run's destination for the run's
// duration: line output writes there.
class OutputStreamScope {
public:
    OutputStreamScope(TextFormatter& formatter, TextWriter& output) : formatter_(formatter) {
        formatter_.outputStream = &output;
    }
    ~OutputStreamScope() { formatter_.outputStream = nullptr; }
    OutputStreamScope(const OutputStreamScope&) = delete;
    OutputStreamScope& operator=(const OutputStreamScope&) = delete;

private:
    TextFormatter& formatter_;
};

constexpr ClassSet bit(CharClass c) { return ClassSet(1) << static_cast<int>(c); }

// What the quick loop of the run does with a character, by its code: bit 31
// leaves it to the per-character steps, bits 16 and 17 say how many bytes of
// it the paragraph keeps (0 for a dropped blank), bits 0 to 15 the bytes of
// the code kept as they lie in memory, lead byte first (0: the character as
// it is).
constexpr std::uint32_t kStepByStep = 0x80000000u;
constexpr std::uint32_t quickEntry(int kept, CharCode code) {
    const unsigned bytes = isDoubleByte(code) ? (code >> 8 | (code & 0xFFu) << 8) : code;
    return std::uint32_t(kept) << 16 | bytes;
}
// The index of the first of a word's quick entries that takes the steps,
// when one does.
template <std::size_t kCount>
int firstTakingSteps(const std::uint32_t (&entries)[kCount]) {
    unsigned mask = 0;
    for (std::size_t i = 0; i < kCount; ++i) mask |= (entries[i] >> 31) << i;
    return std::countr_zero(mask);
}

// The bytes that can follow a line's last byte where the quick loop reads
// it: the reader's lines keep their line end (CR LF or LF), the line buffer
// holds a NUL there. A lead byte that ends the line reads as no character, so
// pairs with these trail bytes take the steps, and the quick loop need not
// ask where the line ends.
constexpr std::array<unsigned char, 3> kLineEnds = {'\0', '\n', '\r'};

// Tables worked out at the start of a run, from the per-character steps
// themselves, so that most characters take none of those steps.
class RunTables {
public:
    RunTables(TextFormatter& formatter, const ClassLookup& classes) {
        // Vertical forms first: the entries below need them.
        rowHasForms_ = formatter.rowsWithVerticalForms();
        for (CharCode code = 1; code < 0x80; ++code) {
            if (code != '"' && code != '\'') asciiTranslation_[code] = formatter.translateAsciiPunctuation(code);
        }

        // Row 0 takes every character, or every one the source holds when
        // the run boxes the others; rows 01..7F are no code of a character,
        // nor is a row that the source does not hold.
        const EncodingProfile& source = *formatter.sourceProfile;
        const bool boxes = formatter.boxesInvalidPairs();
        const auto trailIsHeld = [&](unsigned trail) { return !boxes || (source.trailMin <= trail && trail <= source.trailMax); };
        entries_.assign(2 * 0x100, kStepByStep);
        for (unsigned trail = 0; trail <= 0xFF; ++trail) {
            if (trailIsHeld(trail)) entries_[trail] = quickEntry(2, 0);
        }
        for (const unsigned char lineEnd : kLineEnds) entries_[lineEnd] = kStepByStep;
        std::array<std::size_t, 0x100> rowOf{};
        rowOf.fill(1);
        rowOf[0] = 0x100;  // filled below, like the rows with classed codes or forms
        for (unsigned lead = 0x80; lead <= 0xFF; ++lead) {
            if (boxes && (lead < source.leadMin || lead > source.leadMax)) continue;
            rowOf[lead] = rowIsUnclassed(source, lead) && !rowHasForms_[lead] ? 0 : 0x100;
        }
        for (unsigned high = 0; high <= 0xFF; ++high) {
            if (rowOf[high] != 0x100) continue;
            rowOf[high] = entries_.size() / 0x100;
            for (unsigned low = 0; low <= 0xFF; ++low) {
                entries_.push_back(entryFor(formatter, classes, static_cast<CharCode>(high << 8 | low)));
            }
        }
        for (unsigned high = 0; high <= 0xFF; ++high) rows_[high] = entries_.data() + rowOf[high] * 0x100;
        for (CharCode code = 0; code < 0x80; ++code) {
            if (isAsciiAlnum(code) && quick(code) != quickEntry(1, 0)) keepsAlnum_ = false;
        }

        std::array<std::uint8_t, 0x100> rowIsPlain{};
        for (unsigned lead = 0x80; lead <= 0xFF; ++lead) rowIsPlain[lead] = rowOf[lead] == 0 ? 1 : 0;
        constexpr std::array<std::uint8_t, 0x100> kNone{};
        for (unsigned trail = 0; trail <= 0xFF; ++trail) {
            std::ranges::copy(trailIsHeld(trail) ? rowIsPlain : kNone, pairIsPlain_.begin() + trail * 0x100);
        }
    }

    // The rows point into the entries.
    RunTables(const RunTables&) = delete;
    RunTables& operator=(const RunTables&) = delete;

    std::uint32_t quick(CharCode code) const { return rows_[code >> 8][code & 0xFF]; }
    // Whether the pairs at bytes 0, 2, 4 and 6 of `bytes` are kept as they
    // are, by their rows alone: one test, not four branches.
    bool pairsArePlain(const unsigned char* bytes) const {
        using byte_masks::pairIndexAt;
        return (pairIsPlain_[pairIndexAt(bytes)] & pairIsPlain_[pairIndexAt(bytes + 2)] &
                pairIsPlain_[pairIndexAt(bytes + 4)] & pairIsPlain_[pairIndexAt(bytes + 6)]) != 0;
    }
    bool rowHasForms(CharCode code) const { return rowHasForms_[code >> 8]; }
    // Whether every ASCII letter and digit is kept as it is.
    bool keepsAlnum() const { return keepsAlnum_; }
    // translateAsciiPunctuation of an ASCII code; 0 for the quotes, which
    // pair, and for NUL.
    CharCode asciiTranslation(CharCode code) const { return asciiTranslation_[code]; }

private:
    // Quick handling covers characters that the per-character steps change
    // without looking at or touching the run's state, and that end no
    // sentence. The space and the full-width blank, blanks that trimming
    // takes away, are dropped. A tab is trimmed at the end of a line and kept
    // inside it, so it takes the steps.
    std::uint32_t entryFor(TextFormatter& formatter, const ClassLookup& classes, CharCode code) const {
        using enum CharClass;
        if (isDoubleByte(code) && std::ranges::find(kLineEnds, code & 0xFF) != kLineEnds.end()) return kStepByStep;
        if (isDoubleByte(code) && formatter.boxesInvalidPairs() && !formatter.sourceProfile->holds(code)) {
            return kStepByStep;
        }
        const ClassSet own = classes(code);
        // Mixed text decides on spaces and ASCII marks by their neighbours,
        // and on letters and digits where a space may go between scripts.
        if (formatter.mixedText() && !isDoubleByte(code) &&
            (own != 0 || (formatter.spaceBetweenScripts() && isAsciiAlnum(code)))) {
            return kStepByStep;
        }
        if (own & bit(Blank)) {
            const bool trimmed = code == ' ' || code == formatter.sourceProfile->primary(Blank);
            return trimmed ? quickEntry(0, 0) : kStepByStep;
        }
        if (code == 0 || code == '\t') return kStepByStep;
        CharCode kept = code;
        if (formatter.translatePunctuation() && !isDoubleByte(code) && own != 0) kept = asciiTranslation_[code];
        if (formatter.autoFix()) kept = formatter.fixVerticalForm(kept);
        constexpr ClassSet kStateful = kSentenceEnds | setOf({LeftDoubleQuote, RightDoubleQuote, LeftSingleQuote,
                                                              RightSingleQuote, LeftCornerBracket, RightCornerBracket,
                                                              LeftWhiteCornerBracket, RightWhiteCornerBracket,
                                                              FullwidthDot, FullwidthQuote});
        const ClassSet keptClasses = classes(kept);
        if (kept == 0 || (isDoubleByte(kept) ? (keptClasses & kStateful) != 0 : keptClasses != 0)) return kStepByStep;
        return quickEntry(isDoubleByte(kept) ? 2 : 1, kept == code ? 0 : kept);
    }

    std::vector<std::uint32_t> entries_;  // 0x100 a row: the row that keeps everything, then one of steps
    std::array<const std::uint32_t*, 0x100> rows_{};
    std::array<bool, 0x100> rowHasForms_{};
    std::array<CharCode, 0x80> asciiTranslation_{};
    bool keepsAlnum_ = true;
    // By pair index (byte_masks::pairIndexAt): 1 for the pairs of rows whose every
    // character is kept as it is, less those that the run boxes.
    std::array<std::uint8_t, 0x10000> pairIsPlain_;
};

// Whether the line opens again a quote of a kind left open.
bool opensQuoteAgain(const TextFormatter& formatter, const ClassLookup& classesOf, const char* line, int start,
                     int end) {
    if (start >= end) return false;
    CharCode code = readCharAt(line, start, end).code;
    if (formatter.autoFix()) code = formatter.fixVerticalForm(code);
    const ClassSet classes = classesOf(code);
    // Straight quotes open only where their toggle is clear.
    const bool straightDouble = code == '"' || (formatter.autoFix() && (classes & bit(CharClass::FullwidthQuote)));
    if (straightDouble || code == '\'') {
        const bool open = straightDouble ? formatter.doubleQuoteOpen != 0 : formatter.singleQuoteOpen != 0;
        return !open && formatter.quoteDepth[straightDouble ? 0 : 1] > 0;
    }
    constexpr ClassSet kOpeningQuotes = setOf({CharClass::LeftDoubleQuote, CharClass::LeftSingleQuote,
                                               CharClass::LeftCornerBracket, CharClass::LeftWhiteCornerBracket});
    if (!isDoubleByte(code) || !(classes & kOpeningQuotes)) return false;
    const int index = std::countr_zero(classes >> static_cast<int>(CharClass::LeftDoubleQuote) & 0xFFu);
    return formatter.quoteDepth[index / 2] > 0;
}

// Whether the line, its text from `start` to `textEnd`, starts a paragraph of
// its own after one that ended a sentence: it would be dropped or be a
// heading, it is indented as the leading-spaces rule reads an indent, or it
// opens the quote again. The heading is tried in `roomSize` bytes at `room`.
bool startsParagraph(const TextFormatter& formatter, const ClassLookup& classes,
                     const TextFormatter::AsciiSet& keptInHeadings, const char* line, int start, int textEnd,
                     char* room, int roomSize) {
    bool boxedAny = false;  // a heading only tried writes nothing to warn of
    return start >= 3 || opensQuoteAgain(formatter, classes, line, start, textEnd) ||
           formatter.isSeparatorLine(classes, line, start, textEnd) ||
           formatter.layOutHeading(classes, keptInHeadings, line, start, textEnd, room, roomSize, boxedAny) >= 0;
}

// Whether the line, its text from `start` to `textEnd`, leaves the open quote
// hanging: it ends a sentence, but for the quotes, by its last character,
// which the run has made `last`, and the one before it. Read again only while
// a quote is open, so that the run need not follow it character by
// character. The character before the line's first counts as none.
bool leavesQuoteHanging(const TextFormatter& formatter, const ClassLookup& classes, const char* line, int start,
                        int textEnd, CharCode last) {
    const EncodingProfile& source = *formatter.sourceProfile;
    if (!isSentenceEnd(source, last) && !isClosingQuote(source, last)) return false;  // most lines
    const CharCode fullWidthBlank = source.primary(CharClass::Blank);
    CharCode before = 0;
    CharCode lastRead = 0;
    // A blank that trimming keeps is text after the last character.
    bool blankAfter = false;
    for (int pos = start; pos < textEnd;) {
        const CharAt c = readCharAt(line, pos, textEnd);
        pos += c.width;
        if (classes(c.code) & bit(CharClass::Blank)) {
            blankAfter = blankAfter || (c.code != ' ' && c.code != fullWidthBlank);
            continue;
        }
        blankAfter = false;
        before = lastRead;
        lastRead = c.code;
    }
    if (blankAfter) return false;
    if (formatter.autoFix() && (classes(before) & bit(CharClass::FullwidthDot))) {
        before = source.primary(CharClass::Period);
    }
    return formatter.endsSentenceOutsideQuotes(before, last);
}

}  // namespace

// Classes 9 to 16 come in opening/closing pairs, one pair per counter, and are
// tested in that order.
void TextFormatter::updateQuoteDepth(CharCode code) {
    constexpr int kFirst = static_cast<int>(CharClass::LeftDoubleQuote);
    const ClassSet quotes = doubleByteClassesOf(*sourceProfile, code) >> kFirst & 0xFF;
    if (quotes == 0) return;
    const int index = std::countr_zero(quotes);
    std::int32_t& depth = quoteDepth[index / 2];
    if (index % 2 == 0) {
        ++depth;
    } else if (depth > 0) {
        --depth;
    }
}

RunResult TextFormatter::formatFile(const char* sourcePath, const char* destinationPath) {
    return formatFile(sourcePath, destinationPath, UnconvertedPairs::Boxed);
}

RunResult TextFormatter::formatFile(const char* sourcePath, const char* destinationPath,
                                    UnconvertedPairs unconverted) {
    if (!hasBuffers()) return kOutOfMemory;
    return runFile(sourcePath, destinationPath, true, formatBody(unconverted));
}

RunResult TextFormatter::formatStreams(LineReader& source, TextWriter& destination, UnconvertedPairs unconverted) {
    if (!hasBuffers()) return kOutOfMemory;
    return runStreams(source, destination, true, formatBody(unconverted));
}

TextFormatter::RunBody TextFormatter::formatBody(UnconvertedPairs unconverted) {
    return [this, unconverted](LineReader& input, TextWriter& output) { formatLines(input, output, unconverted); };
}

std::optional<RunResult> TextFormatter::formatFile(const char* sourcePath, const char* destinationPath,
                                                   SourceJudge& judge) {
    if (!hasBuffers()) return kOutOfMemory;
    return runJudgingAsRead(sourcePath, destinationPath, judge, formatBody(UnconvertedPairs::Boxed), false);
}

std::optional<RunResult> TextFormatter::formatStreams(LineReader& source, TextWriter& destination,
                                                      SourceJudge& judge) {
    if (!hasBuffers()) return kOutOfMemory;
    return runJudgingAsRead(source, [&] { return &destination; }, judge, formatBody(UnconvertedPairs::Boxed), false);
}

void TextFormatter::formatLines(LineReader& input, TextWriter& output, UnconvertedPairs unconverted) {
    const OutputStreamScope outputScope(*this, output);
    boxesLoneLeads_ = !changesCode(*sourceProfile, *targetProfile);
    boxesInvalidPairs_ = boxesLoneLeads_ && unconverted == UnconvertedPairs::Boxed;
    forgetOpenQuotes();
    insideTag = 0;

    const EncodingProfile& source = *sourceProfile;
    const ClassLookup classesOfCode(source);
    const RunTables tables(*this, classesOfCode);
    const AsciiSet keptInHeadings = asciiKeptInHeadings(classesOfCode);
    const CharCode fullWidthBlank = source.primary(CharClass::Blank);
    // The line at hand: in the reader's own buffer when it can be taken
    // from there as it is, else read into the line buffer. Either way the
    // byte after its end can be read.
    const char* line = nullptr;
    char* paragraph = paragraphBuffer();
    int paragraphLength = 0;
    CharCode previousCode = 0;

    // The bytes of the blank at `pos` that trimming takes away (space, tab or
    // the full-width blank), 0 if it is no such blank.
    const auto trimmedBlankAt = [&](int pos, int end) {
        if (line[pos] == ' ' || line[pos] == '\t') return 1;
        if (end - pos >= 2 && static_cast<unsigned char>(line[pos]) == (fullWidthBlank >> 8) &&
            static_cast<unsigned char>(line[pos + 1]) == (fullWidthBlank & 0xFF)) {
            return 2;
        }
        return 0;
    };
    const auto onlyBlanksFrom = [&](int pos, int end) {
        for (int width; pos < end; pos += width) {
            width = trimmedBlankAt(pos, end);
            if (width == 0) return false;
        }
        return true;
    };
    // The end of the line's text. A line whose last byte can end no blank
    // ends with its text; else the end is found reading forward, character by
    // character: read backwards, the trail byte of a character and the byte
    // after it (a Big5 xxA1 before "@") could pass for a full-width blank, or
    // a trail byte for a space, and the character would be cut.
    const auto textEndOf = [&](int start, int end) {
        if (end > start) {
            const char last = line[end - 1];
            if (last != ' ' && last != '\t' && static_cast<unsigned char>(last) != (fullWidthBlank & 0xFF)) {
                return end;
            }
        }
        int textEnd = start;
        for (int pos = start; pos < end;) {
            if (const int blank = trimmedBlankAt(pos, end); blank != 0) {
                pos += blank;
            } else {
                pos += readCharAt(line, pos, end).width;
                textEnd = pos;
            }
        }
        return textEnd;
    };
    const auto endParagraph = [&] {
        breakParagraph(paragraph, paragraphLength);
        paragraphLength = 0;
        latinDoubleQuoteOpen = latinSingleQuoteOpen = latinBracketOpen = 0;
    };
    // One space, never two, after text; none where the buffer nears its end.
    const auto appendSpace = [&] {
        if (paragraphLength > 0 && paragraphLength < kBufferSize - 4 && paragraph[paragraphLength - 1] != ' ') {
            paragraph[paragraphLength++] = ' ';
        }
    };
    // A quote left open where a sentence ends at the end of a line leaves
    // the quote hanging: the paragraph would have ended there but for it.
    // If the next line starts a paragraph of its own, the quote was stray
    // (or is opened again, as a quotation over several paragraphs is): it
    // ends with its paragraph instead of holding the rest of the text.
    bool quoteHangs = false;
    const bool findsChapters = chapterHeadings_ != 0 || headingPattern_ != nullptr;
    // Mixed text puts spaces between scripts only when asked to: the test
    // is spared on every character otherwise.
    const bool spacesScripts = mixedText_ && spaceBetweenScripts_;
    // In mixed text the spaces and marks between Latin words take the steps,
    // so the quick loop takes a word's letters and digits at once and asks
    // about the character after them alone.
    const bool latinWordsAtOnce = mixedText_ && tables.keepsAlnum();

    constexpr ClassSet kFullwidthMarks = bit(CharClass::FullwidthDot) | bit(CharClass::FullwidthQuote);
    constexpr ClassSet kNestingQuotes = 0xFFu << static_cast<int>(CharClass::LeftDoubleQuote);

    constexpr std::size_t kLinesAtOnce = 1 << 14;
    const char* nextLine = nullptr;  // of the lines taken from the reader
    const char* linesStop = nullptr;
    // Their line feeds, found sixty-four bytes at a time: those not yet
    // taken in the block at `scanned`. The last line ends in a line feed, so
    // the scan never passes the block that holds it; a block may reach into
    // the bytes the reader lets be read past the lines.
    static_assert(TextReader::kReadAhead >= 64);
    const auto lineFeedsAt = [](const char* block) {
        return byte_masks::bitsOf64(reinterpret_cast<const unsigned char*>(block),
                                    [](const unsigned char* b) { return byte_masks::equalBits16(b, '\n'); });
    };
    const char* scanned = nullptr;
    std::uint64_t lineFeeds = 0;
    // In mixed text a short line that would be a heading waits for the next
    // one: a long Latin word at its start shows the short line to be a
    // paragraph's first, hard-wrapped before the word. The held line is then
    // taken as text, and the line that came after it follows.
    // Meanwhile its heading stays laid out in the paragraph buffer.
    std::string heldLine;
    int heldEnd = 0;  // of its text
    int heldHeadingLength = 0;
    bool heldHeadingBoxed = false;
    bool holdsLine = false;
    const char* lineAfterHeld = nullptr;
    int lineAfterHeldEnd = 0;
    const auto writeHeldHeading = [&] {
        holdsLine = false;
        writeLaidOutHeading(heldHeadingLength, heldHeadingBoxed);
    };
    // The next line into `line` and its length, without its line end, into
    // `end`; false at the end of the input.
    const auto takeLine = [&](int& end) {
        if (nextLine == linesStop) {
            if (const auto lines = input.takeStoredLines(kLinesAtOnce); !lines.empty()) {
                nextLine = reinterpret_cast<const char*>(lines.data());
                linesStop = nextLine + lines.size();
                scanned = nextLine;
                lineFeeds = lineFeedsAt(scanned);
            }
        }
        if (nextLine != linesStop) {
            line = nextLine;
            while (lineFeeds == 0) lineFeeds = lineFeedsAt(scanned += 64);
            const char* const lineFeed = scanned + std::countr_zero(lineFeeds);
            lineFeeds &= lineFeeds - 1;
            end = static_cast<int>(lineFeed - nextLine);
            if (end > 0 && line[end - 1] == '\r') --end;  // the CR of a CR LF
            nextLine = lineFeed + 1;
            return true;
        }
        char* const lineBuffered = lineBuffer();
        end = input.readLine(lineBuffered, kBufferSize);
        if (end == 0) return false;
        line = lineBuffered;
        if (line[end - 1] == '\n') --end;
        return true;
    };
    for (;;) {
        int end = 0;
        bool heldAsText = false;
        if (lineAfterHeld != nullptr) {
            line = std::exchange(lineAfterHeld, nullptr);
            end = lineAfterHeldEnd;
        } else if (!takeLine(end)) {
            break;
        }
        if (holdsLine) {
            if (continuesWrappedLine(heldEnd, line, end)) {
                holdsLine = false;
                lineAfterHeld = line;
                lineAfterHeldEnd = end;
                line = heldLine.data();
                end = static_cast<int>(heldLine.size());
                heldAsText = true;
            } else {
                writeHeldHeading();
            }
        }
        int start = 0;
        for (int blank; start < end && (blank = trimmedBlankAt(start, end)) != 0;) start += blank;

        bool breaksHere = paragraphLength > 0 && ((paragraphMode_ == kParagraphEmptyLine && start >= end) ||
                                                  (paragraphMode_ == kParagraphLeadingSpaces && start >= 3));
        // A chapter starts afresh: it ends the paragraph before it, and no
        // quotation goes on into it.
        const bool chapter = findsChapters && start < end &&
                             isChapterHeading(classesOfCode, line, start, textEndOf(start, end));
        if (chapter) {
            forgetOpenQuotes();
            quoteHangs = false;
            breaksHere = paragraphLength > 0;
        }
        if (quoteHangs) {
            // The empty-line and leading-spaces rules end paragraphs by
            // their own tests; the others would have ended it at the
            // sentence's end.
            const bool stray = paragraphMode_ == kParagraphEmptyLine || paragraphMode_ == kParagraphLeadingSpaces
                                   ? breaksHere
                                   : startsParagraph(*this, classesOfCode, keptInHeadings, line, start,
                                                     textEndOf(start, end), paragraph + paragraphLength,
                                                     kBufferSize - paragraphLength);
            if (stray) {
                forgetOpenQuotes();
                quoteHangs = false;
                breaksHere = paragraphLength > 0;
            }
        }
        if (breaksHere) {
            endParagraph();
            previousCode = 0;
        }
        if (paragraphLength == 0) {
            const int textEnd = textEndOf(start, end);
            if (chapter && writeChapterHeading(classesOfCode, keptInHeadings, line, start, textEnd)) continue;
            if (isSeparatorLine(classesOfCode, line, start, textEnd)) continue;
            if (mixedText_ && !heldAsText) {
                heldHeadingBoxed = false;
                heldHeadingLength = layOutHeading(classesOfCode, keptInHeadings, line, start, textEnd, paragraph,
                                                  kBufferSize, heldHeadingBoxed);
                if (heldHeadingLength >= 0) {
                    heldLine.assign(line, static_cast<std::size_t>(end));
                    heldEnd = textEnd;
                    holdsLine = true;
                    continue;
                }
            } else if (!heldAsText && tryWriteHeading(classesOfCode, keptInHeadings, line, start, textEnd)) {
                continue;
            }
        }

        if (mixedText_ && paragraphLength > 0 && start < end &&
            joinsWithSpace(previousCode, readCharAt(line, start, end).code)) {
            appendSpace();
        }

        // Whether the paragraph ends if the character taken last turns out
        // to be the last of the line: only blanks that trimming takes away
        // may follow it.
        bool endsIfLast = false;
        for (int pos = start; pos < end;) {
            // The quick loop stops short of a character that could fill the
            // buffer. It may read the byte after the line's end: the line
            // buffer holds a NUL there, the reader's lines their line end.
            // The width of the character this loop kept last, 0 while it
            // has kept none: previousCode is read back from the paragraph's
            // end once the loop stops.
            int lastKeptWidth = 0;
            // Appends what the quick table keeps of the character at
            // `source`, without a branch: kept, dropped and replaced
            // characters mix unpredictably. Two bytes are written either way.
            const auto keep = [&](const unsigned char* source, std::uint32_t entry) {
                std::uint16_t bytes;
                std::memcpy(&bytes, source, 2);
                bytes = (entry & 0xFFFF) != 0 ? static_cast<std::uint16_t>(entry) : bytes;
                std::memcpy(paragraph + paragraphLength, &bytes, 2);
                const int kept = static_cast<int>(entry >> 16);
                lastKeptWidth = kept != 0 ? kept : lastKeptWidth;
                paragraphLength += kept;
            };
            bool steps = false;  // the character at `pos` takes the steps
            while (!steps && pos < end && paragraphLength < kBufferSize - 2) {
                // One character at a time up to here: at most eight bytes,
                // which the buffer has room for, else only one, for which the
                // test above made room.
                const bool roomy = paragraphLength < kBufferSize - 16;
                int singlesEnd = roomy ? end : pos + 1;
                // Eight ASCII characters or four double-byte ones at a time,
                // when none of them takes the steps.
                if (end - pos >= 8 && roomy) {
                    const std::uint64_t high = byte_masks::wordAt(line + pos) & byte_masks::kHighBits;
                    const auto* bytes = reinterpret_cast<const unsigned char*>(line + pos);
                    // Bytes 0, 2, 4 and 6 all lead bytes: four double-byte
                    // characters, whatever their trail bytes.
                    constexpr std::uint64_t kFourLeads = 0x0080008000800080u;
                    // The eight bytes go over as they are, characters of `width` bytes.
                    const auto copyWord = [&](int width) {
                        std::memcpy(paragraph + paragraphLength, bytes, 8);
                        paragraphLength += 8;
                        lastKeptWidth = width;
                        pos += 8;
                    };
                    // Runs of spaces, which line up columns, are dropped.
                    // Mixed text asks only a run's last space about the
                    // words beside it.
                    constexpr std::uint64_t kEightSpaces = byte_masks::kOnes * ' ';
                    if (byte_masks::wordAt(line + pos) == kEightSpaces &&
                        (!mixedText_ || (end - pos > 8 && line[pos + 8] == ' '))) {
                        pos += 8;
                        continue;
                    }
                    if (high == 0) {
                        if (latinWordsAtOnce) {
                            const int plain = std::countr_zero(
                                ~byte_masks::asciiAlnumBytes(byte_masks::wordAt(line + pos)) & byte_masks::kHighBits) / 8;
                            if (plain != 0) {
                                std::memcpy(paragraph + paragraphLength, bytes, 8);
                                paragraphLength += plain;
                                lastKeptWidth = 1;
                                pos += plain;
                                if (plain == 8) continue;
                                // One space between two Latin words stays, as
                                // the steps would keep it. The next word, kept
                                // at once, is then the last character kept.
                                if (line[pos] == ' ' && end - pos >= 2 &&
                                    isAsciiAlnum(static_cast<unsigned char>(line[pos + 1]))) {
                                    paragraph[paragraphLength++] = ' ';
                                    ++pos;
                                    continue;
                                }
                            }
                            if (tables.quick(bytes[plain]) & kStepByStep) {
                                steps = true;
                                break;
                            }
                            if (plain != 0) continue;
                        }
                        std::uint32_t entries[8];
                        std::uint32_t any = 0;
                        std::uint32_t every = ~0u;
                        // Unrolled by request: left to itself, GCC stops
                        // unrolling this loop once the Latin-word path is there.
#pragma GCC unroll 8
                        for (int i = 0; i < 8; ++i) {
                            entries[i] = tables.quick(bytes[i]);
                            any |= entries[i];
                            every &= entries[i];
                        }
                        if (any == quickEntry(1, 0) && every == quickEntry(1, 0)) {
                            copyWord(1);
                            continue;
                        }
                        if ((any & ~quickEntry(1, 0)) == 0) {
                            // Each kept as it is or dropped (spaces between words).
                            int length = paragraphLength;
                            for (int i = 0; i < 8; ++i) {
                                paragraph[length] = static_cast<char>(bytes[i]);
                                length += static_cast<int>(entries[i] >> 16);
                            }
                            if (length != paragraphLength) {
                                lastKeptWidth = 1;
                                paragraphLength = length;
                            }
                            pos += 8;
                            continue;
                        }
                        if (!(any & kStepByStep)) {
                            for (int i = 0; i < 8; ++i) keep(bytes + i, entries[i]);
                            pos += 8;
                            continue;
                        }
                        const int first = firstTakingSteps(entries);
                        for (int i = 0; i < first; ++i) keep(bytes + i, entries[i]);
                        pos += first;
                        steps = true;
                        break;
                    } else if ((high & kFourLeads) == kFourLeads) {
                        // Four characters of rows that are kept whole go over as they are.
                        if (tables.pairsArePlain(bytes)) {
                            copyWord(2);
                            continue;
                        }
                        std::uint32_t entries[4];
                        std::uint32_t any = 0;
                        std::uint32_t every = ~0u;
                        for (int i = 0; i < 4; ++i) {
                            any |= entries[i] = tables.quick(static_cast<CharCode>(bytes[2 * i] << 8 | bytes[2 * i + 1]));
                            every &= entries[i];
                        }
                        if (any == quickEntry(2, 0) && every == quickEntry(2, 0)) {
                            copyWord(2);
                            continue;
                        }
                        if (!(any & kStepByStep)) {
                            for (int i = 0; i < 4; ++i) keep(bytes + 2 * i, entries[i]);
                            pos += 8;
                            continue;
                        }
                        const int first = firstTakingSteps(entries);
                        for (int i = 0; i < first; ++i) keep(bytes + 2 * i, entries[i]);
                        pos += 2 * first;
                        steps = true;
                        break;
                    }
                    // A word of mixed widths, a character at a time. Where
                    // each one starts is known from the word's lead bytes at
                    // once, so that reading a character need not wait for
                    // the width of the one before.
                    constexpr std::uint64_t kGatherHighBits = 0x0102040810204080u;
                    const auto leads = static_cast<unsigned>(
                        byte_masks::leadBytes((high >> 7) * kGatherHighBits >> 56, false));
                    unsigned starts = ~(leads << 1) & 0xFFu;
                    for (; starts != 0; starts &= starts - 1) {
                        const int i = std::countr_zero(starts);
                        const unsigned pair = leads >> i & 1;
                        const unsigned char* const at = bytes + i;
                        const std::uint32_t entry = tables.quick(static_cast<CharCode>(pair != 0 ? at[0] << 8 | at[1] : at[0]));
                        if (entry & kStepByStep) break;
                        keep(at, entry);
                    }
                    if (starts != 0) {
                        pos += std::countr_zero(starts);
                        steps = true;
                        break;
                    }
                    pos += 8 + static_cast<int>(leads >> 7);
                    continue;
                }
                while (pos < singlesEnd) {
                    const auto* bytes = reinterpret_cast<const unsigned char*>(line + pos);
                    const unsigned pair = bytes[0] >> 7;
                    const int width = static_cast<int>(1 + pair);
                    const std::uint32_t entry = tables.quick(static_cast<CharCode>(pair != 0 ? bytes[0] << 8 | bytes[1] : bytes[0]));
                    if (entry & kStepByStep) {
                        steps = true;
                        break;
                    }
                    keep(bytes, entry);
                    pos += width;
                }
            }
            if (lastKeptWidth != 0) {
                const auto* kept = reinterpret_cast<const unsigned char*>(paragraph + paragraphLength - lastKeptWidth);
                previousCode = lastKeptWidth == 2 ? static_cast<CharCode>(kept[0] << 8 | kept[1]) : kept[0];
                endsIfLast = paragraphMode_ == kParagraphOneLine;
            }
            if (pos >= end) break;

            const CharAt c = readKeptCharAt(line, pos, end);
            pos += c.width;
            CharCode code = c.code;
            if (code == '\t' && onlyBlanksFrom(pos, end)) break;  // trimmed
            ClassSet classes = classesOfCode(code);
            if (classes == 0) code = boxedIfInvalid(code);  // an invalid code is in no class
            if (classes & bit(CharClass::Blank)) {
                // Spaces between words are dropped, but for those of Latin
                // text in mixed text. A blank that trimming keeps is text
                // after the character before it.
                if (code != ' ' && code != fullWidthBlank) endsIfLast = false;
                // Of a run of spaces only the last can stay: the others have
                // a space after them.
                if (code == ' ') {
                    while (pos < end && line[pos] == ' ') ++pos;
                }
                if (mixedText_ && code == ' ' && paragraphLength > 0 && pos < end &&
                    keepsSpaceBetween(previousCode, readCharAt(line, pos, end).code)) {
                    appendSpace();
                }
                continue;
            }
            // In mixed text an ASCII mark inside Latin text stays, and ends a
            // sentence only where no word goes on after it.
            const bool keptAscii = mixedText_ && translatePunctuation_ && !isDoubleByte(code) && classes != 0 &&
                                   keepsAsciiMark(code, paragraphLength > 0 ? previousCode : 0, line, pos, end);
            const bool insideWord = keptAscii && pos < end && isWordChar(readCharAt(line, pos, end).code);
            if (spacesScripts && paragraphLength > 0 && scriptsMeet(previousCode, code)) appendSpace();
            // Each step below changes only codes of some class.
            if (translatePunctuation_ && !isDoubleByte(code) && classes != 0 && !keptAscii) {
                const CharCode translated = tables.asciiTranslation(code);
                code = translated != 0 ? translated : translateAsciiPunctuation(code);
                classes = classesOfCode(code);
            }
            if (autoFix_) {
                if (tables.rowHasForms(code)) {
                    code = fixVerticalForm(code);
                    classes = classesOfCode(code);
                }
                if (classes & kFullwidthMarks) {
                    code = fixFullwidthMark(previousCode, code);
                    classes = classesOfCode(code);
                }
            }
            if (classes & kNestingQuotes) updateQuoteDepth(code);
            if (code != 0) {
                if (isDoubleByte(code)) paragraph[paragraphLength++] = static_cast<char>(code >> 8);
                paragraph[paragraphLength++] = static_cast<char>(code & 0xFF);
            }
            if (spacesScripts && pos < end && scriptsMeet(code, readCharAt(line, pos, end).code)) appendSpace();

            // A code in no class ends no sentence.
            const auto endsHere = [&] {
                return classes != 0 && !insideWord && mayEndSentence(code, classes) && endsSentence(previousCode, code);
            };
            bool paragraphEnded = false;
            switch (paragraphMode_) {
                case kParagraphAutoDetect: endsIfLast = endsHere(); break;
                case kParagraphOneLine: endsIfLast = true; break;
                case kParagraphForce: paragraphEnded = endsHere(); break;
                default: break;
            }
            // A paragraph that fills the buffer is written out; its remaining
            // text starts the next one.
            if (paragraphLength >= kBufferSize || paragraphEnded) {
                endParagraph();
                endsIfLast = false;
            }
            previousCode = code;
        }
        if (endsIfLast) endParagraph();
        if (start < end) {
            quoteHangs = quoteIsOpen() &&
                         leavesQuoteHanging(*this, classesOfCode, line, start, textEndOf(start, end), previousCode);
        }
    }
    if (holdsLine) writeHeldHeading();
    if (paragraphLength > 0) endParagraph();
}

}  // namespace quillon
