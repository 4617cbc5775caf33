#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "char_code.h"
#include "encoding_profile.h"
#include "user_phrases.h"
#include "run_result.h"

namespace quillon {

class ClassLookup;
class HeadingPattern;
class LineReader;
class SourceJudge;
class TextWriter;

// The text engine's one object: the options of a run, the state of the run in
// progress and two working buffers allocated once.
class TextFormatter {
public:
    static constexpr int kBufferSize = 32000;
    // Allocates a working buffer; may return null. Replaceable so that the
    // out-of-memory path can be exercised.
    using BufferAllocator = std::unique_ptr<char[]> (*)(std::size_t bytes);
    // Buffers that could not be had are the caller's to tell (hasBuffers()):
    // the formatter prints nothing.
    explicit TextFormatter(BufferAllocator allocate = nullptr);
    ~TextFormatter() = default;
    TextFormatter(const TextFormatter&) = delete;
    TextFormatter& operator=(const TextFormatter&) = delete;

    // --- Options: stored unchanged, never validated. ---
    void setLeadingSpaces(std::int32_t v) { leadingSpaces_ = v; }
    // Characters per line: negative means no wrapping (-1), else two bytes
    // each (saturating rather than overflowing for absurd counts).
    void setLineWidth(std::int32_t characters) {
        lineWidth_ = characters < 0 ? -1
                     : characters > INT32_MAX / 2 ? INT32_MAX
                                                  : characters * 2;
    }
    void setLineSpacing(std::int32_t v) { lineSpacing_ = v; }
    void setLeftMargin(std::int32_t v) { leftMargin_ = v; }
    void setAutoFix(std::int32_t v) { autoFix_ = v; }
    void setFullWidthSpaces(std::int32_t v) { fullWidthSpaces_ = v; }
    void setNaturalSyntax(std::int32_t v) { naturalSyntax_ = v; }
    void setHtmlAware(std::int32_t v) { htmlAware_ = v; }
    void setQuiet(std::int32_t v) { quiet_ = v; }
    void setSourceEncoding(std::int32_t v) { sourceEncoding_ = v; }
    void setOutputEncoding(std::int32_t v) { outputEncoding_ = v; }
    void setParagraphMode(std::int32_t v) { paragraphMode_ = v; }
    void setHeadingAlignment(std::int32_t v) { headingAlignment_ = v; }
    void setPhrases(std::int32_t v) { phrases_ = v; }
    void setChapterHeadings(std::int32_t v) { chapterHeadings_ = v; }
    // Lines it matches are headings too; null for none. Not owned: it must
    // outlive the runs that use it.
    void setHeadingPattern(const HeadingPattern* pattern) { headingPattern_ = pattern; }
    void setMixedText(std::int32_t v) { mixedText_ = v; }
    void setSpaceBetweenScripts(std::int32_t v) { spaceBetweenScripts_ = v; }
    void setLineStartRules(std::int32_t v) { lineStartRules_ = v; }

    std::int32_t leadingSpaces() const { return leadingSpaces_; }
    std::int32_t lineWidth() const { return lineWidth_; }  // bytes; -1 = no wrapping
    std::int32_t lineSpacing() const { return lineSpacing_; }
    std::int32_t leftMargin() const { return leftMargin_; }
    std::int32_t translatePunctuation() const { return translatePunctuation_; }
    std::int32_t autoFix() const { return autoFix_; }
    std::int32_t fullWidthSpaces() const { return fullWidthSpaces_; }
    std::int32_t naturalSyntax() const { return naturalSyntax_; }
    std::int32_t htmlAware() const { return htmlAware_; }
    std::int32_t quiet() const { return quiet_; }
    std::int32_t sourceEncoding() const { return sourceEncoding_; }
    std::int32_t outputEncoding() const { return outputEncoding_; }
    std::int32_t paragraphMode() const { return paragraphMode_; }
    std::int32_t headingAlignment() const { return headingAlignment_; }
    std::int32_t phrases() const { return phrases_; }
    std::int32_t chapterHeadings() const { return chapterHeadings_; }
    std::int32_t mixedText() const { return mixedText_; }
    std::int32_t spaceBetweenScripts() const { return spaceBetweenScripts_; }
    std::int32_t lineStartRules() const { return lineStartRules_; }

    // False when a working buffer could not be allocated; every run then
    // returns kOutOfMemory without touching a buffer.
    bool hasBuffers() const { return paragraphBuffer_ != nullptr; }

    // Id of the target profile of the last run, or 0 while no run has chosen one.
    std::int32_t targetProfileId() const { return targetProfile ? targetProfile->id : 0; }

    // --- Runs ---
    RunResult convertFile(const char* sourcePath, const char* destinationPath);
    RunResult formatFile(const char* sourcePath, const char* destinationPath);
    // What a format run that converts nothing (source and target of one
    // family) does with a pair outside the source's byte ranges: boxes it and
    // warns, as conversion does; or keeps it, for text in which such pairs
    // stand for characters on purpose (the Unicode edge carries characters
    // under the family's private codes).
    enum class UnconvertedPairs { Boxed, Kept };
    RunResult formatFile(const char* sourcePath, const char* destinationPath, UnconvertedPairs unconverted);
    // The format and convert runs between streams the caller has opened on a program's text
    // (TextReader::BlockSource, TextWriter::BlockSink), which need no files;
    // the source is in the encoding the options name.
    RunResult formatStreams(LineReader& source, TextWriter& destination, UnconvertedPairs unconverted);
    RunResult convertStreams(LineReader& source, TextWriter& destination);
    // The same runs with the source's encoding to detect, read once: `judge`
    // tells it from the blocks the run reads, and the run is made on what
    // the first block shows. None, with nothing written and nothing traced,
    // when the whole source turns out otherwise or cannot be judged in that
    // read, when it starts without a Chinese character, or when the
    // destination would be written directly (a device or a pipe) and could
    // not be taken back; the caller then detects and runs as usual.
    std::optional<RunResult> convertFile(const char* sourcePath, const char* destinationPath, SourceJudge& judge);
    std::optional<RunResult> formatFile(const char* sourcePath, const char* destinationPath, SourceJudge& judge);
    // The same between streams the caller has opened, which the run reads
    // and writes before the judge gives its verdict: when it gives none, what
    // went to `destination` is the caller's to drop.
    std::optional<RunResult> convertStreams(LineReader& source, TextWriter& destination, SourceJudge& judge);
    std::optional<RunResult> formatStreams(LineReader& source, TextWriter& destination, SourceJudge& judge);

    // --- Target selection ---
    // 0 with `result` holding 1, 2, 3 or 5; kSourceUnreadable when the file
    // cannot be opened or read to its end (`result` untouched).
    RunResult detectEncoding(const char* sourcePath, std::int32_t& result);
    RunResult selectProfiles(const char* sourcePath);
    // What detectEncoding finds for `sourcePath`, told by a caller that has
    // just read the file through: detecting that path takes it instead of
    // reading the file again. 0 forgets it.
    void setKnownDetection(const char* sourcePath, std::int32_t profileId);

    // --- Conversion: in place, length-preserving ---
    void convertLine(char* line, const EncodingProfile& from, const EncodingProfile& to);
    // The same over the first `length` bytes, without needing a NUL after them.
    void convertText(char* text, std::size_t length, const EncodingProfile& from,
                     const EncodingProfile& to);
    // A line of a run: convertText, except that with the phrases option set a
    // character that a phrase covers gets the phrase's counterpart, and a
    // user's phrase (setUserPhrases) wins over both. Each character still
    // becomes one character of its own byte length.
    void convertRunLine(char* text, std::size_t length, const EncodingProfile& from,
                        const EncodingProfile& to);
    // The user's own phrases for the runs to come; null for none. Kept by
    // the caller while they run.
    void setUserPhrases(const LegacyUserPhrases* phrases) { userPhrases_ = phrases; }
    // Whole lines as stored (TextReader::takeStoredLines) that the table has
    // converted into `converted`, each line end written as CR LF: writes over
    // them the counterparts that the phrases option chooses. False when a
    // phrase converts cleanly a character that the table flags: the run's
    // flags for these lines are then raised here, as each line alone raises
    // them, and the table's do not count. Uses the line buffer.
    bool choosePhrasesInLines(std::span<const unsigned char> lines, unsigned char* converted,
                              const EncodingProfile& from, const EncodingProfile& to);

    // --- Sentence ends, read through sourceProfile and quoteDepth ---
    bool endsSentence(CharCode previous, CharCode current) const;
    // Whether `current` would end a sentence if no quote were open.
    bool endsSentenceOutsideQuotes(CharCode previous, CharCode current) const;
    // Whether a quote or corner bracket is open: by a counter, or by a
    // straight-quote toggle. Neither is ever negative.
    bool quoteIsOpen() const {
        return (doubleQuoteOpen | singleQuoteOpen | quoteDepth[0] | quoteDepth[1] | quoteDepth[2] | quoteDepth[3]) != 0;
    }
    // Closes every open quote: the toggles and the counters start afresh.
    void forgetOpenQuotes();

    // --- Punctuation translation and quote fixing ---
    CharCode translateAsciiPunctuation(CharCode code);
    CharCode fixVerticalForm(CharCode code) const;
    // By lead byte: whether a code of that row is one fixVerticalForm changes.
    std::array<bool, 0x100> rowsWithVerticalForms() const;
    CharCode fixFullwidthMark(CharCode previousCode, CharCode code);

    // --- Line output (format runs, onto outputStream) ---
    // One line aligned, then `lineFeeds` line ends.
    void writeLine(char* text, int length, std::int32_t alignment, std::int64_t lineFeeds);
    void breakParagraph(char* text, int length);

    // --- Line tests of the format run ---
    // They take the classes of the source profile's codes.
    bool isSeparatorLine(const ClassLookup& classes, const char* line, int start, int end) const;
    // The ASCII codes that a heading keeps as they are wherever they stand.
    using AsciiSet = std::array<bool, 0x80>;
    AsciiSet asciiKeptInHeadings(const ClassLookup& classes) const;
    bool tryWriteHeading(const ClassLookup& classes, const AsciiSet& keptAscii, const char* line, int start, int end);
    // Writes the heading that layOutHeading left in the paragraph buffer.
    void writeLaidOutHeading(int length, bool boxedAny);
    // Whether a line `length` bytes long (leading blanks counted) is short
    // enough to be taken for a heading.
    bool isShortLine(int length) const { return length < 0.7 * lineWidth_; }
    // Whether the line at `line` (`end` bytes) starts with a Latin word or
    // number too long to have stood on the short line of `shortLength` bytes before it:
    // that line was a paragraph's first, hard-wrapped before the word.
    bool continuesWrappedLine(int shortLength, const char* line, int end) const;
    // Whether the line opens a chapter (with chapter headings on) or the
    // heading pattern matches it: a heading whatever its length or marks.
    bool isChapterHeading(const ClassLookup& classes, const char* line, int start, int end) const;
    // Writes such a line as a heading, wrapped like a paragraph where it is
    // wider than a line; false when it is too long to lay out (it is then
    // paragraph text).
    bool writeChapterHeading(const ClassLookup& classes, const AsciiSet& keptAscii, const char* line, int start,
                             int end);
    // Which lines layOutHeading takes: short ones without sentence marks, or any.
    enum class HeadingTest { ShortUnpunctuated, AnyLine };
    // The heading's bytes laid out in the `room` bytes at `heading`, and
    // their length; -1 when the line is no heading or does not fit.
    // `boxedAny` tells whether an invalid code became the box in it.
    int layOutHeading(const ClassLookup& classes, const AsciiSet& keptAscii, const char* line, int start, int end,
                      char* heading, int room, bool& boxedAny,
                      HeadingTest test = HeadingTest::ShortUnpunctuated) const;
    void updateQuoteDepth(CharCode code);
    // The same for a heading: the last character it has taken (0 for none)
    // and the line's text after the mark.
    bool keptInMixedHeading(CharCode code, CharCode previous, const char* line, int pos, int end) const;

    // --- Text with Latin words and numbers (mixedText) ---
    // Whether an ASCII mark stays as it is: inside a Latin word or number,
    // or as a quote around Latin text, whose own toggles it keeps. `previous`
    // is the paragraph's last character, 0 for none; the line's text after
    // the mark runs from `pos` to `end`.
    bool keepsAsciiMark(CharCode code, CharCode previous, const char* line, int pos, int end);
    // Whether an ASCII mark other than a quote stays between two characters
    // (0 for none, before or after it): it stands in Latin text.
    bool keepsInLatinText(CharCode previous, CharCode next) const;
    // Whether a space between two characters (0 for none) stays.
    bool keepsSpaceBetween(CharCode previous, CharCode next) const;
    // Whether a line end between two characters becomes one space.
    bool joinsWithSpace(CharCode previous, CharCode next) const;
    // Whether spaceBetweenScripts puts a space between the two.
    bool scriptsMeet(CharCode previous, CharCode next) const;
    // Where a line of mixed text, or one under the line-start rules, ends
    // when it could take the text up to `end`, where a character starts (or
    // the line's one byte ends): its text ends at `end`, the next line
    // starts at `next`, and `overhang` bytes of it hang past the width.
    struct LineBreak {
        int end;
        int next;
        int overhang;
    };
    LineBreak placeLineBreak(const char* text, int lineStart, int end, int length) const;
    // Whether the format run in progress boxes the pairs outside its
    // source's byte ranges as it reads them: when it converts nothing and
    // does not keep them.
    bool boxesInvalidPairs() const { return boxesInvalidPairs_; }
    // The code the format run keeps for one read with readKeptCharAt: where
    // it converts nothing, a lone lead byte, and an invalid pair when it boxes
    // them, become the source's box, with the invalid-code warning. A run that
    // converts leaves them to conversion.
    CharCode boxedIfInvalid(CharCode code) {
        if (!isBoxed(code)) return code;
        sawInvalidCode = 1;
        return sourceProfile->replacementCode();
    }
    bool isBoxed(CharCode code) const {
        if (!isDoubleByte(code) || !boxesLoneLeads_) return false;
        return code == kLoneLeadMark || (boxesInvalidPairs_ && !sourceProfile->holds(code));
    }

    // Forgets all that an earlier run left in the run state below (its
    // profiles, flags, quotes, open tag, report and a known detection).
    void clearRunState();

    // --- Run state: set by runs, readable by callers and tests. ---
    const EncodingProfile* sourceProfile = nullptr;
    const EncodingProfile* targetProfile = nullptr;
    std::int32_t doubleQuoteOpen = 0;
    std::int32_t singleQuoteOpen = 0;
    std::int32_t insideTag = 0;
    std::int32_t sawInvalidCode = 0;
    std::int32_t sawUnmappable = 0;
    std::int32_t htmlAborted = 0;
    // Nesting of double quotes, single quotes, corner and white corner brackets.
    std::int32_t quoteDepth[4] = {0, 0, 0, 0};
    // Set while a straight quote around Latin text is open (mixedText).
    std::int32_t latinDoubleQuoteOpen = 0;
    std::int32_t latinSingleQuoteOpen = 0;
    // Set while a bracket around Latin text is open (mixedText).
    std::int32_t latinBracketOpen = 0;
    // The destination of a format run; null outside one.
    TextWriter* outputStream = nullptr;
    // Why the last run could not open, read or write a file (errno), else 0.
    std::int32_t systemError = 0;
    // The offset of a byte 1A that ended the last run's source while more
    // bytes followed it, else -1.
    std::int64_t endMarkOffset = -1;
    // Set when the last run made its whole output but could not put it in
    // the destination's place (kDestinationUnwritable; the destination
    // stays as it was): conversionResult() and endMarkOffset still tell the
    // warnings of that output.
    bool outputUnplaced = false;

    // The warning that the run's flags above make its result, or kSuccess.
    RunResult conversionResult() const;

    char* lineBuffer() { return lineBuffer_.get(); }
    char* paragraphBuffer() { return paragraphBuffer_.get(); }

private:
    void convertRunLineByBuiltIns(char* text, std::size_t length, const EncodingProfile& from,
                                  const EncodingProfile& to);
    // What a run does with its text, once its profiles are chosen and its
    // files open: reads the source to its end and writes the destination.
    using RunBody = std::function<void(LineReader& source, TextWriter& destination)>;
    // A run around `body`: chooses the profiles, opens the files, finishes.
    // With `needsChinese`, a source of plain ASCII is refused.
    RunResult runFile(const char* sourcePath, const char* destinationPath, bool needsChinese, const RunBody& body);
    // runFile between open streams.
    RunResult runStreams(LineReader& source, TextWriter& destination, bool needsChinese, const RunBody& body);
    // The start of both: the profiles chosen, and the run's refusal if any.
    std::optional<RunResult> startRun(const char* sourcePath, bool needsChinese);
    // The run of `body` once the source and the destination are open.
    RunResult runOpened(LineReader& source, TextWriter& destination, const RunBody& body);
    // runFile for a source that `judge` detects as `body` reads it. A body
    // that `converts` may meet the pairs that rule out GB in the judge's
    // place (convertMeetsLowBytes).
    std::optional<RunResult> runJudgingAsRead(const char* sourcePath, const char* destinationPath, SourceJudge& judge,
                                              const RunBody& body, bool converts);
    // runJudgingAsRead on an open source, and the destination `openDestination`
    // opens once the first block is judged (null: it cannot be taken back).
    std::optional<RunResult> runJudgingAsRead(LineReader& source, const std::function<TextWriter*()>& openDestination,
                                              SourceJudge& judge, const RunBody& body, bool converts);
    // A convert run's target family: another unless the options name one.
    void aimConversion();
    // The bodies of the convert and format runs.
    void convertLines(LineReader& source, TextWriter& destination);
    void formatLines(LineReader& input, TextWriter& output, UnconvertedPairs unconverted);
    RunBody convertBody();
    RunBody formatBody(UnconvertedPairs unconverted);
    void chooseProfiles(std::int32_t sourceId);
    // The trace lines of the profiles chosen.
    void traceProfiles() const;
    // Raises the run's flags for what convertText and convertLines found.
    void noteProblems(unsigned problems);
    // Whether the convert run looks every pair of its GB source up in the
    // conversion table, and so notes any with a byte below A1.
    bool convertMeetsLowBytes() const;
    void clearConversionFlags();
    void clearRunReport();
    RunResult failedSystemCall(RunResult result, int error);
    RunResult finishRun(LineReader& source, TextWriter& destination);
    int backOffFromPunctuation(const ClassLookup& classes, const char* text, int lineStart, int end) const;
    void writeLineFeeds(std::int32_t count);
    void writeLinePieces(std::int64_t units, const char* text, int length, std::int64_t lineFeeds);
    // Cuts to the width, or `overhang` bytes past it, and converts.
    int fitLine(char* text, int length, int overhang = 0);

    std::int32_t leadingSpaces_ = 2;
    std::int32_t lineWidth_ = 76;
    std::int32_t lineSpacing_ = 1;
    std::int32_t leftMargin_ = 0;
    std::int32_t translatePunctuation_ = 1;
    std::int32_t autoFix_ = 1;
    // Every run is preceded by setFullWidthSpaces; off until then.
    std::int32_t fullWidthSpaces_ = 0;
    std::int32_t naturalSyntax_ = 0;
    std::int32_t htmlAware_ = 0;
    std::int32_t quiet_ = 0;
    std::int32_t sourceEncoding_ = 0;
    std::int32_t outputEncoding_ = 0;
    std::int32_t paragraphMode_ = 0;
    std::int32_t headingAlignment_ = 1;
    std::int32_t phrases_ = 0;
    const LegacyUserPhrases* userPhrases_ = nullptr;
    std::int32_t chapterHeadings_ = 0;
    const HeadingPattern* headingPattern_ = nullptr;
    std::int32_t mixedText_ = 0;
    std::int32_t spaceBetweenScripts_ = 0;
    std::int32_t lineStartRules_ = 0;
    // What the format run in progress boxes as it reads (boxedIfInvalid).
    bool boxesLoneLeads_ = false;
    bool boxesInvalidPairs_ = false;
    // Set by a conversion that met a pair, or a lead without its trail, with a
    // byte below A1.
    bool sawLowBytePair_ = false;

    // Each buffer has a little room past kBufferSize: a double-byte character
    // appended to a paragraph at its last byte stays inside.
    std::unique_ptr<char[]> lineBuffer_;
    std::unique_ptr<char[]> paragraphBuffer_;

    std::string knownDetectionPath_;
    std::int32_t knownDetection_ = 0;
};

}  // namespace quillon
