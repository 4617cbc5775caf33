#pragma once

// libquillon: converts Chinese plain text between simplified and traditional
// characters and between GB2312, GBK, Big5, UTF-8, UTF-16 and GB18030, reflows
// it into paragraphs, and tells a text's encoding; the engine of quillon-cli
// and the Quillon dialog, for any program.
//
// Errors: a run that cannot give its whole output throws quillon::api::Error
// and writes nothing usable (a named destination file keeps its old
// contents). A run that completes returns a Result; its warnings tell what
// the output could not keep, and stay with the Error where the complete
// output then could not take its place. Bad options throw Error with Kind::BadOption
// before anything is read.
//
// Every function may be called from several threads at once; each call has
// a working object of its own.

#include <cstddef>
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
    // A failure after the run's output was complete, with the warnings the
    // run gave, which are not to be lost with it.
    Error(Kind kind, const std::string& message, int systemError, std::vector<Warning> warnings);
    Kind kind() const noexcept { return kind_; }
    // errno of the failure, 0 where the system was not asked.
    int systemError() const noexcept { return systemError_; }
    // The warnings of a run that failed only after its output was complete
    // (the result could not take the destination's or, in place, the file's
    // place); else none.
    const std::vector<Warning>& warnings() const noexcept { return warnings_; }

private:
    Kind kind_;
    int systemError_;
    std::vector<Warning> warnings_;
};

enum class Task {
    Convert,  // simplified <-> traditional, and from encoding to encoding
    Format,   // reflow into paragraphs, and convert as `to` and `form` ask
};

// A run on bytes in memory; returns the output.
QUILLON_API std::string convert(std::string_view input, const Options& options = {}, Result* result = nullptr);
QUILLON_API std::string format(std::string_view input, const Options& options = {}, Result* result = nullptr);
QUILLON_API Result run(Task task, std::string_view input, std::string& output, const Options& options = {});

// Where a run on bytes in memory puts its output as it goes: `write` takes
// each piece in order (false: the run stops and throws, as on a destination
// it cannot write); `restart` drops all that `write` took, for a run that
// starts its output afresh. The output is whole when the run returns.
struct OutputSink {
    std::function<bool(const char* data, std::size_t length)> write;
    std::function<void()> restart;
};
QUILLON_API Result run(Task task, std::string_view input, const OutputSink& output, const Options& options = {});

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

// Every option a run of either task takes when not given, named as Options
// names it: each field that has a default is set to it; those a run decides
// by its text (phrases, mixed text) and those without one stay unset.
QUILLON_API Options defaultOptions();

// The library's version: "1.0.0".
QUILLON_API const char* version() noexcept;

// ---------------------------------------------------------------------------
// For front ends: what a face such as quillon-cli needs beyond the runs
// above to behave as the command-line tool does.
// ---------------------------------------------------------------------------

// How a run's messages name its files where the paths would not do: a
// standard stream reached through its descriptor, a scratch file.
struct FileNames {
    std::string source;
    std::string destination;
};

// A task and its options read once for many runs: their words checked and
// the dictionaries read, which every run above does anew. Throws Error
// (BadOption) as such a run would. Runs on several threads may share one.
class QUILLON_API PreparedOptions {
public:
    PreparedOptions(Task task, const Options& options);
    ~PreparedOptions();
    PreparedOptions(const PreparedOptions&) = delete;
    PreparedOptions& operator=(const PreparedOptions&) = delete;

    struct Run;  // the library's own
    const Run& run() const noexcept { return *run_; }

private:
    Run* run_;
};

// runFile with prepared options, its messages naming the files as `names`
// does.
QUILLON_API Result runFile(const PreparedOptions& prepared, const std::string& source,
                           const std::string& destination, const FileNames& names);

// The file at `path` run onto itself: the result is written beside it and
// takes its place, with the file's owner and mode, only when complete. With
// `backupSuffix`, the original is kept as path + suffix. Messages name the
// file by its path.
QUILLON_API Result runInPlace(const PreparedOptions& prepared, const std::string& path,
                              const std::optional<std::string>& backupSuffix);

// True when a run with `options` may read its source more than once (it
// detects the encoding, or reads Unicode): a stream that gives its bytes
// once must be kept in a file first. Throws Error (BadOption) for an unknown
// `from`.
QUILLON_API bool readsSourceTwice(const Options& options);

// True when both paths name one existing file, however they are spelled.
QUILLON_API bool sameFile(const std::string& first, const std::string& second);

// A file of the caller's own in the scratch folder ($TMPDIR, else /tmp),
// with no name there from the moment it exists; path() reaches it through
// its descriptor. Closed with the object.
class QUILLON_API ScratchFile {
public:
    ScratchFile();
    ~ScratchFile();
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    // created() tells whether it worked, error() (errno) why not.
    bool created() const noexcept;
    int error() const noexcept;
    int descriptor() const noexcept;
    const char* path() const noexcept;
    // Where scratch files are made.
    static std::string folder();

private:
    struct File;
    File* file_;
};

// Removes every output file of a run not yet complete, and the files of
// in-place runs not yet complete, for a process about to end: from then on
// no output file opens. Safe in a signal handler, in any thread.
QUILLON_API void removeUnfinishedOutputs() noexcept;

// Makes each signal that would end the process (hangup, interrupt, quit,
// terminate, broken pipe, file too large) call `handler`, which may call
// removeUnfinishedOutputs() first. A signal ignored so far stays ignored.
QUILLON_API void catchEndingSignals(void (*handler)(int));

// Puts an English text of the library's into the reader's language, as a
// front end's translations hold it; an empty one keeps the English.
using Translate = std::function<std::string(std::string_view english)>;

// A run's messages as a face shows them, in the words of Error's and
// Warning's messages; where a `translate` is taken, each English text goes
// through it.

// The box for an error or a warning of `kind`: its caption ("Error" or
// "Warning") and text, in English. None for the kinds whose own message
// says what a box could not: BadOption, PlainAscii, EndMark.
struct Message {
    std::string caption;
    std::string text;
};
QUILLON_API std::optional<Message> messageOf(Error::Kind kind);
QUILLON_API std::optional<Message> messageOf(Warning::Kind kind);
// "PATH: reason" for an error of `kind` over the file at `path`: the
// system's reason for `systemError`, or where that is 0 the text of
// messageOf(kind) (a kind without one throws std::invalid_argument).
QUILLON_API std::string fileFailure(const std::string& path, int systemError, Error::Kind kind,
                                    const Translate& translate = {});
// Why the file at `path` cannot be opened for reading (errno; EISDIR for a
// folder), or 0: for a failure told without its reason.
QUILLON_API int openError(const std::string& path);
// The EndMark warning for a mark at byte `offset` of a source read in
// `sourceEncoding` (as Result names it).
QUILLON_API std::string endMarkWarning(std::int64_t offset, const std::string& sourceEncoding,
                                       const Translate& translate = {});

// The first option of `options` that a run of `task` refuses, named as
// quillon-cli names it ("chars-per-line"), so that a form can point at its
// field, with quillon-cli's message; a heading pattern that does not compile
// gets its reason in `translate`'s words. Options are tried one by one in
// the order of Options, then together: a refusal of them together names no
// option. None when the run takes them all. Dictionaries are read, as a run
// reads them.
struct OptionRefusal {
    std::string option;
    std::string message;
};
QUILLON_API std::optional<OptionRefusal> refusedOption(Task task, const Options& options,
                                                       const Translate& translate = {});

// quillon-cli's command line, read as quillon-cli reads it: its options,
// their defaults and its refusals, in one place for every face.
struct CommandLine {
    enum class Action { Run, Help, Version, ListEncodings, UsageError };
    Action action = Action::UsageError;
    // With Help, Version and ListEncodings: what to print. With UsageError:
    // the one line that names the problem.
    std::string text;

    std::string command;  // convert, format or detect; empty with the overall help
    Options options;      // the run's options, its dictionaries read and found good
    bool quiet = false;   // errors only: no warnings, no batch progress or summary
    bool verbose = false; // tell what detection finds
    // The one-file form; "-" names a standard stream.
    std::string source;
    std::string destination;
    // The batch forms: several sources, into a folder or in place.
    std::vector<std::string> sources;
    std::string outputDir;
    bool recursive = false;
    bool inPlace = false;
    std::optional<std::string> backupSuffix;
    int jobs = 0;  // 0: one per processor
    std::vector<std::string> files;  // the files of detect
};
// `words` are the arguments after the program's name.
QUILLON_API CommandLine readCommandLine(const std::vector<std::string>& words);

}  // namespace quillon::api

#undef QUILLON_API
