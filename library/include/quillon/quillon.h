#pragma once

// libquillon: converts Chinese plain text between simplified and traditional
// characters and between GB2312, GBK, Big5, UTF-8, UTF-16 and GB18030, reflows
// it into paragraphs, and tells a text's encoding; the engine of quillon-cli
// and the Quillon dialog, for any program.
//
// Errors: a run that cannot give its whole output throws quillon::api::Error
// and writes nothing usable (a named destination file keeps its old
// contents). A run that completes returns a Result; its warnings tell what
// the output could not keep. Bad options throw Error with Kind::BadOption
// before anything is read.
//
// Every function may be called from several threads at once; each call has
// a working object of its own.

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#define QUILLON_API __attribute__((visibility("default")))

namespace quillon::api {

// The options of a run, as quillon-cli names them (the names of its long
// options and of their values, in any case). An unset field takes
// quillon-cli's default. The run refuses what quillon-cli refuses, with its
// message: an unknown value, a format option in a convert run.
struct Options {
    // --from: auto, gb, gbk, big5, utf-8, utf-16, gb18030, ...
    std::string from;
    // --to: same, different, gb, gbk, big5, utf-8, gb18030, ...
    std::string to;
    // --form: auto, simplified, traditional (Unicode output).
    std::string form;
    // --line-ends: auto, crlf, lf.
    std::string lineEnds;
    // --standard: auto, taiwan, hongkong, generic.
    std::string standard;
    // --regional-words.
    std::optional<bool> regionalWords;
    // --opencc: one of openccConfigurations(), in place of form, standard
    // and regional words.
    std::string opencc;
    // --phrases / --no-phrases; unset: by run.
    std::optional<bool> phrases;
    // --html: leave HTML tags unconverted.
    std::optional<bool> html;
    // --quotes: keep, corner (「」『』), curly (“”‘’).
    std::string quotes;
    // --bom: keep, add, drop (the byte-order mark of Unicode output).
    std::string bom;
    // --dictionary: own word lists in OpenCC's text format, read in turn.
    std::vector<std::string> dictionaries;

    // Format runs only.
    std::optional<std::int32_t> charsPerLine;  // not 0; negative: no wrapping
    std::optional<std::int32_t> lineSpacing;
    std::optional<std::int32_t> leadSpaces;
    std::optional<std::int32_t> leftMargin;
    std::string paragraph;  // auto, one-line, empty-line, leading-spaces, force
    std::string heading;    // left, middle, right, normal
    std::optional<bool> fullwidthSpaces;
    std::optional<bool> autoFix;
    std::optional<bool> naturalSyntax;
    // Unset: as the run's text suggests (on where text is Unicode).
    std::optional<bool> mixedText;
    std::optional<bool> lineStartRules;
    std::optional<bool> chapterHeadings;
    std::optional<bool> spaceBetweenScripts;
    std::string headingPattern;  // an ICU regular expression over the line

    // Receives each line the run tells about its text as it goes (the
    // encoding detected, the conversion chosen); the lines are dropped when
    // this is empty.
    std::function<void(std::string_view line)> trace;
};

// Something the output of a completed run could not keep.
struct Warning {
    enum class Kind {
        InvalidCode,    // a code that is no character of the source's encoding
        Unmappable,     // a character the output's encoding does not hold
        HtmlAborted,    // an HTML tag was left open: the rest was converted as text
        EndMark,        // a byte 1A ended the text before its end
    };
    Kind kind = Kind::InvalidCode;
    std::string message;  // the message quillon-cli prints for it
    // How often it happened, and where first: a 1-based line and column
    // (in characters) and the character (UTF-8) or a legacy source's bytes
    // ("A1 40"); 0 and empty where the run does not tell (tags, the engine's
    // phrases, a stream run as it comes).
    std::int64_t count = 0;
    std::int64_t line = 0;
    std::int64_t column = 0;
    std::string text;
    // A byte offset in the source (EndMark); -1 where none.
    std::int64_t offset = -1;
};

struct Result {
    std::vector<Warning> warnings;
    // The encodings read and written: GB, GBK, BIG5, UTF-8, UTF-16LE,
    // UTF-16BE or GB18030.
    std::string sourceEncoding;
    std::string outputEncoding;

    // --- The written forms of the text ---
    // The forms read and written: simplified, traditional, or none for
    // plain ASCII text.
    std::string sourceForm;
    std::string outputForm;
};

class QUILLON_API Error : public std::runtime_error {
public:
    enum class Kind {
        BadOption,              // an option's name or value is refused
        OutOfMemory,
        PlainAscii,             // a plain-ASCII source: nothing to convert or format
        SourceNotText,          // NUL bytes: the source is plainly no text
        SourceUnreadable,
        DestinationUnwritable,
        ScratchFile,            // a scratch file in $TMPDIR (else /tmp) failed
    };
    // `message` is whole: what failed and, where the system told it, why.
    Error(Kind kind, const std::string& message, int systemError = 0);
    Kind kind() const noexcept { return kind_; }
    // errno of the failure, 0 where the system was not asked.
    int systemError() const noexcept { return systemError_; }

private:
    Kind kind_;
    int systemError_;
};

enum class Task {
    Convert,  // simplified <-> traditional, and from encoding to encoding
    Format,   // reflow into paragraphs, and convert as `to` and `form` ask
};

// A run on bytes in memory; returns the output.
QUILLON_API std::string convert(std::string_view input, const Options& options = {}, Result* result = nullptr);
QUILLON_API std::string format(std::string_view input, const Options& options = {}, Result* result = nullptr);
QUILLON_API Result run(Task task, std::string_view input, std::string& output, const Options& options = {});

// A run from one stream to another. The output reaches `output` only when
// the run has completed.
QUILLON_API Result run(Task task, std::istream& input, std::ostream& output, const Options& options = {});

// A run from one file to another by path. A destination file is replaced
// only when the run completes; a device or a pipe is written as the run
// goes.
QUILLON_API Result runFile(Task task, const std::string& source, const std::string& destination,
                           const Options& options = {});

// What a text is, as `quillon-cli detect` tells it.
struct Detection {
    // UTF-8, UTF-16LE, UTF-16BE, GB18030, GB, GBK, BIG5, or PureASC for
    // plain ASCII.
    std::string encoding;
    std::string form;      // simplified, traditional or none
    std::string lineEnds;  // LF, CRLF, mixed or none
};
QUILLON_API Detection detect(std::string_view bytes);
// Throws Error (SourceUnreadable) when the file cannot be read.
QUILLON_API Detection detectFile(const std::string& path);

// The names `opencc` takes, and the title of each.
struct OpenccConfiguration {
    std::string name;
    std::string title;
};
QUILLON_API std::vector<OpenccConfiguration> openccConfigurations();

// --- Ending a program while a run goes on ---
// Removes the files that runs under way in this process have made and not
// yet committed (the new file a destination's old contents stay in place
// of), so that a program ended by a signal leaves none behind: call it from
// the signal's handler, where it is safe. No run of this process writes a
// file after it.
QUILLON_API void removeUnfinishedFiles() noexcept;

// The library's version: "1.0.0".
QUILLON_API const char* version() noexcept;

}  // namespace quillon::api

#undef QUILLON_API
