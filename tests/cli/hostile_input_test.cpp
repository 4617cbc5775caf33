// quillon-cli against hostile input: odd files in place of the source or the
// destination, huge, malformed and exhaustive text. Every case ends with a
// defined exit status and message, the source untouched, and no destination
// passed off as complete when it is not.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "cli_runner.h"
#include "repeated_text.h"
#include "temp_files.h"

namespace quillon::testing {
namespace {

namespace fs = std::filesystem;

const std::string kInvalidWarning = "quillon-cli: Warning: Invalid Chinese character found\n";

const std::string kGbText = "\xB9\xFA\xCE\xAA\n";      // 国为
const std::string kBig5Text = "\xB0\xEA\xAC\xB0\r\n";  // 國為
const std::string kBig5Blank = "\xA1\x40";            // the Big5 full-width blank
const std::vector<std::string> kCommands{"convert", "format"};
// Named encodings on both sides: the runs trace nothing, so both commands
// give the same messages.
const std::vector<std::string> kGbToBig5{"--from", "gb", "--to", "big5"};

CliRun run(const std::string& command, const std::vector<std::string>& options, const std::string& source,
           const std::string& destination) {
    std::vector<std::string> args{command};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back(source);
    args.push_back(destination);
    return runCli(args);
}

// Makes a file read-only for whoever runs the test. Mode bits do not bind
// root, the immutable attribute does; it is taken off again, or the file could
// not be removed.
class ReadOnlyFile {
public:
    explicit ReadOnlyFile(std::string path) : path_(std::move(path)) {
        fs::permissions(path_, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        readOnly_ = ::geteuid() != 0 || (immutable_ = setImmutable(true));
    }
    ~ReadOnlyFile() {
        if (immutable_) setImmutable(false);
    }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    // False when the file system or the missing capability refuses the attribute.
    bool isReadOnly() const { return readOnly_; }

private:
    bool setImmutable(bool on) const {
        const int descriptor = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
        int flags = 0;
        bool done = descriptor >= 0 && ::ioctl(descriptor, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        done = done && ::ioctl(descriptor, FS_IOC_SETFLAGS, &flags) == 0;
        if (descriptor >= 0) ::close(descriptor);
        return done;
    }

    std::string path_;
    bool immutable_ = false;
    bool readOnly_ = false;
};

// --- Sources that are not readable files ---

TEST(CliHostileSource, SourceThatCannotBeOpenedIsAnErrorAndTheDestinationIsKept) {
    TempDir dir;
    fs::create_directory(dir.file("folder"));
    writeFile(dir.file("secret.txt"), kGbText);
    fs::permissions(dir.file("secret.txt"), fs::perms::none);
    struct Source {
        std::string path;
        std::string reason;
    };
    std::vector<Source> sources{{dir.file("missing.txt"), "No such file or directory"},
                                {dir.file("folder"), "Is a directory"}};
    // Mode bits do not stop root, who reads the file anyway: then it is left out.
    if (std::ifstream(dir.file("secret.txt")).fail()) sources.push_back({dir.file("secret.txt"), "Permission denied"});

    for (const std::string& command : kCommands) {
        for (const Source& source : sources) {
            writeFile(dir.file("out.txt"), "kept\n");
            const CliRun result = run(command, {}, source.path, dir.file("out.txt"));
            EXPECT_EQ(result.exitCode, 2) << command << " " << source.path;
            EXPECT_EQ(result.err, "quillon-cli: " + source.path + ": " + source.reason + "\n") << command;
            EXPECT_EQ(readFile(dir.file("out.txt")), "kept\n") << command << " " << source.path;
        }
    }
}

// Reading the process's own memory at offset 0 fails for every user: a
// source that opens but cannot be read, which root's privileges cannot mend.
// The destination has been opened by then; the status says it is incomplete.
TEST(CliHostileSource, SourceThatOpensButCannotBeReadIsAnError) {
    TempDir dir;
    for (const std::string& command : kCommands) {
        const CliRun result = run(command, kGbToBig5, "/proc/self/mem", dir.file("out.txt"));
        EXPECT_EQ(result.exitCode, 2) << command;
        EXPECT_EQ(result.err, "quillon-cli: /proc/self/mem: Input/output error\n") << command;
    }
}

// Detection that cannot read its source to the end reports it unreadable
// rather than judging the part it read (it would announce "PureASC").
TEST(CliHostileSource, DetectionReportsASourceThatCannotBeRead) {
    TempDir dir;
    for (const std::string& command : kCommands) {
        const CliRun result = run(command, {}, "/proc/self/mem", dir.file("out.txt"));
        EXPECT_EQ(result.exitCode, 2) << command;
        EXPECT_EQ(result.err, "quillon-cli: /proc/self/mem: Unable to open source file\n") << command;
    }
}

TEST(CliHostileSource, DevNullIsAnEmptySource) {
    TempDir dir;
    const CliRun converted = run("convert", {}, "/dev/null", dir.file("out.txt"));
    EXPECT_EQ(converted.exitCode, 0);
    EXPECT_EQ(converted.err, "");
    EXPECT_TRUE(fs::exists(dir.file("out.txt")));
    EXPECT_EQ(readFile(dir.file("out.txt")), "");

    const CliRun formatted = run("format", {}, "/dev/null", dir.file("formatted.txt"));
    EXPECT_EQ(formatted.exitCode, 2);
    EXPECT_EQ(formatted.err,
              "quillon-cli: /dev/null: the source is plain ASCII text, there is nothing to format\n");
    EXPECT_FALSE(fs::exists(dir.file("formatted.txt")));
}

// A device without end is read for as long as it gives, as cat would: the run
// ends only when stopped. Detection reads the whole source before the
// destination is opened, so nothing is written meanwhile.
TEST(CliHostileSource, EndlessDeviceIsReadUntilTheRunIsStopped) {
    TempDir dir;
    for (const std::string& command : kCommands) {
        CliProcess process({command, "/dev/zero", dir.file("out.txt")}, {});
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        ::kill(process.pid(), SIGTERM);
        const CliRun result = process.wait();
        EXPECT_EQ(result.signal, SIGTERM) << command << " ended by itself: " << result.err;
        EXPECT_FALSE(fs::exists(dir.file("out.txt"))) << command;
    }
}

// A pipe gives its bytes once; a detecting run may read its source twice.
TEST(CliHostileSource, NamedPipeIsReadOnceAndConvertedWhole) {
    TempDir dir;
    fs::create_directory(dir.file("spool"));
    CliSetup setup;
    setup.tmpdir = dir.file("spool");
    ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0600), 0);
    const struct {
        std::string command, trace, output;
    } cases[] = {
        {"convert", "", kBig5Text},
        // A short line is a heading, centred in 38 characters with GB blanks.
        {"format", "", repeated("\xA1\xA1", 18) + "\xB9\xFA\xCE\xAA\r\n\r\n"},
    };
    for (const auto& c : cases) {
        CliProcess process({c.command, dir.file("pipe"), dir.file("out.txt")}, setup);
        // Opening the writing end waits for the reader; without one it fails.
        int writer = -1;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while ((writer = ::open(dir.file("pipe").c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC)) < 0 &&
               errno == ENXIO && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        ASSERT_GE(writer, 0) << c.command;
        ASSERT_EQ(::write(writer, kGbText.data(), kGbText.size()), ssize_t(kGbText.size()));
        ::close(writer);
        const CliRun result = process.wait();
        EXPECT_EQ(result.exitCode, 0) << c.command;
        EXPECT_EQ(result.err, c.trace) << c.command;
        EXPECT_EQ(readFile(dir.file("out.txt")), c.output) << c.command;
        EXPECT_TRUE(fs::is_empty(dir.file("spool"))) << c.command;
    }
}

// --- Destinations that cannot be written ---

TEST(CliHostileDestination, UnwritableDestinationIsAnErrorAndTheSourceIsKept) {
    TempDir dir;
    writeFile(dir.file("in.txt"), kGbText);
    fs::create_directory(dir.file("folder"));
    const std::pair<std::string, std::string> destinations[] = {
        {dir.file("no/such/folder.txt"), "No such file or directory"},
        {dir.file("folder"), "Is a directory"},
        {"/dev/full", "No space left on device"},
    };
    for (const std::string& command : kCommands) {
        for (const auto& [destination, reason] : destinations) {
            const CliRun result = run(command, kGbToBig5, dir.file("in.txt"), destination);
            EXPECT_EQ(result.exitCode, 2) << command << " " << destination;
            EXPECT_EQ(result.err, "quillon-cli: " + destination + ": " + reason + "\n") << command << " " << destination;
            EXPECT_EQ(readFile(dir.file("in.txt")), kGbText) << command << " " << destination;
        }
        EXPECT_TRUE(fs::is_empty(dir.file("folder"))) << command;
        EXPECT_FALSE(fs::exists(dir.file("no"))) << command;
    }
}

TEST(CliHostileDestination, ReadOnlyDestinationIsAnErrorAndKeepsItsContent) {
    TempDir dir;
    writeFile(dir.file("in.txt"), kGbText);
    writeFile(dir.file("out.txt"), "kept\n");
    const ReadOnlyFile readOnly(dir.file("out.txt"));
    if (!readOnly.isReadOnly()) GTEST_SKIP() << "root, and the file system refuses the immutable attribute";
    for (const std::string& command : kCommands) {
        const CliRun result = run(command, kGbToBig5, dir.file("in.txt"), dir.file("out.txt"));
        EXPECT_EQ(result.exitCode, 2) << command;
        // Root is held back by the immutable attribute, others by the mode.
        EXPECT_EQ(result.err, "quillon-cli: " + dir.file("out.txt") + ": " +
                                  (::geteuid() == 0 ? "Operation not permitted" : "Permission denied") + "\n")
            << command;
        EXPECT_EQ(readFile(dir.file("out.txt")), "kept\n") << command;
        EXPECT_EQ(readFile(dir.file("in.txt")), kGbText) << command;
    }
}

// --- Malformed text ---

struct TextCase {
    const char* name;
    std::string command;
    std::vector<std::string> options;
    std::string source;
    int exitCode;
    std::string err;
    std::string output;
};

// Compares outputs without printing megabytes: the sizes and the first difference.
::testing::AssertionResult sameBytes(const std::string& actual, const std::string& expected) {
    if (actual == expected) return ::testing::AssertionSuccess();
    const std::size_t at = static_cast<std::size_t>(
        std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end()).first - actual.begin());
    return ::testing::AssertionFailure()
           << actual.size() << " bytes instead of " << expected.size() << ", from byte " << at << ": "
           << ::testing::PrintToString(actual.substr(at, 24)) << " instead of "
           << ::testing::PrintToString(expected.substr(at, 24));
}

void expectRuns(const std::vector<TextCase>& cases) {
    TempDir dir;
    for (const TextCase& c : cases) {
        writeFile(dir.file("in.txt"), c.source);
        const CliRun result = run(c.command, c.options, dir.file("in.txt"), dir.file("out.txt"));
        EXPECT_EQ(result.exitCode, c.exitCode) << c.name;
        std::string err = c.err;  // "$IN" stands for the source's path
        if (const auto at = err.find("$IN"); at != err.npos) err.replace(at, 3, dir.file("in.txt"));
        EXPECT_EQ(result.err, err) << c.name;
        EXPECT_TRUE(sameBytes(readFile(dir.file("out.txt")), c.output)) << c.name;
        EXPECT_TRUE(sameBytes(readFile(dir.file("in.txt")), c.source)) << c.name;
    }
}

// A one-character heading centred in 38 characters, in Big5.
const std::string kCentredBig5Guo = repeated(kBig5Blank, 18) + "\xB0\xEA\r\n\r\n";

// What the engine tests pin rule by rule (1A ends the input, a NUL byte is
// text, lines arrive in pieces), seen once from outside: exit status,
// standard error and the destination's bytes. Bytes after a 1A make the run a
// warning, since the output is not all of the input.
TEST(CliHostileText, MalformedTextGivesItsStatusMessageAndBytes) {
    const auto cut = [](int offset) {
        return "quillon-cli: $IN: Warning: a byte 1A at offset " + std::to_string(offset) +
               " ends the text; the bytes after it were not read\n";
    };
    // In UTF-16 the mark is a character of two bytes, at the byte offset of its first.
    const auto cutUnit = [](int offset) {
        return "quillon-cli: $IN: Warning: the character U+001A at offset " + std::to_string(offset) +
               " ends the text; the bytes after it were not read\n";
    };
    const std::string colonA = "a\xA3\xBA";  // a：
    expectRuns({
        // The lead byte before 1A has lost its trail byte.
        {"1A in a character", "convert", kGbToBig5, "\xB9\x1A\xFA\n", 1,
         "quillon-cli: Warning: Invalid Chinese character found (1 in all, the first at line 1, column 1: bytes B9)\n" +
             cut(1),
         "\xB9\r\n"},
        {"1A in a format run", "format", kGbToBig5, "\xB9\xFA\x1A\xCE\xAA\n", 1, cut(2), kCentredBig5Guo},
        {"1A starting a line", "convert", kGbToBig5, "\xB9\xFA\n\x1A\xCE\xAA\n", 1, cut(3), "\xB0\xEA\r\n"},
        {"1A as the last byte", "convert", kGbToBig5, "\xB9\xFA\n\x1A", 0, "", "\xB0\xEA\r\n"},
        {"U+001A in UTF-16", "convert", {"--from", "utf-16"}, std::string("\xFF\xFE\xFD\x56\x1A\x00\xFD\x56", 8), 1,
         cutUnit(4), "\xEF\xBB\xBF\xE5\x9C\x8B"},
        {"U+001A in UTF-16BE", "format", {"--from", "utf-16be", "--lead-spaces=0", "--chars-per-line=-1"},
         std::string("\x56\xFD\x00\x1A\x56\xFD", 6), 1, cutUnit(2), "\xE5\x9B\xBD\n\n"},
        {"U+001A in UTF-8", "convert", {"--from", "utf-8"}, "\xE5\x9B\xBD\x1A\xE5\x9B\xBD", 1, cut(3),
         "\xE5\x9C\x8B"},
        {"1A, quiet", "convert", {"--from", "gb", "--to", "big5", "--quiet"}, "\xB9\xFA\x1A\xCE\xAA\n", 1, "",
         "\xB0\xEA\r\n"},
        // NUL bytes early on mark a file that is no text, whatever encoding is
        // named, unless it is UTF-16, and the destination keeps what the row
        // before left; further on they are text like any other byte, and the
        // rest of the line after one is kept.
        {"NUL", "convert", kGbToBig5, std::string("\xB9\xFA\0\xCE\xAA\n", 6), 2,
         "quillon-cli: $IN: Not a text file (it holds NUL bytes)\n", "\xB0\xEA\r\n"},
        {"NUL, auto", "format", {}, std::string("\xB9\xFA\0\n", 4), 2,
         "quillon-cli: $IN: Not a text file (it holds NUL bytes)\n", "\xB0\xEA\r\n"},
        {"NUL after the first block", "convert", kGbToBig5,
         std::string(7999, 'a') + std::string("\n\xB9\xFA\0\xCE\xAA\n", 7), 0, "",
         std::string(7999, 'a') + std::string("\r\n\xB0\xEA\0\xAC\xB0\r\n", 9)},
        {"NUL in UTF-16", "convert", {"--from", "utf-16"}, std::string("\xFF\xFE\xFD\x56\x0A\x00", 6), 0, "",
         "\xEF\xBB\xBF\xE5\x9C\x8B\n"},
        // A short line that punctuation translation widens past the line width
        // is no heading: laid out as a paragraph, it loses nothing at the width.
        {"Widened heading", "format", {"--from", "gb", "--lead-spaces", "0"}, repeated("a:", 26) + "a\n", 0,
         "", repeated(colonA, 25) + "a\r\n" + "\xA3\xBA" "a\r\n\r\n"},
    });
}

// --- Every two-byte code ---

// Every two-byte code, sixteen to a line, but those with a 1A byte: 1A ends
// the input. Codes with a NUL byte come last, since NUL bytes in the first
// block mark a file that is no text.
std::string everyCode() {
    std::string text;
    int onLine = 0;
    for (const bool withNul : {false, true}) {
        for (unsigned code = 0; code <= 0xFFFF; ++code) {
            const char pair[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
            if (pair[0] == '\x1A' || pair[1] == '\x1A') continue;
            if ((pair[0] == '\0' || pair[1] == '\0') != withNul) continue;
            text.append(pair, 2);
            if (++onLine == 16) {
                text += '\n';
                onLine = 0;
            }
        }
    }
    return text + '\n';
}

// The text as the engine reads it: CR LF is one line end.
std::string withLineFeeds(std::string_view text) {
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) result += text[i];
    }
    return result;
}

std::vector<std::size_t> lineLengths(std::string_view text, std::string_view lineEnd) {
    std::vector<std::size_t> lengths;
    for (std::size_t start = 0, end; (end = text.find(lineEnd, start)) != text.npos; start = end + lineEnd.size()) {
        lengths.push_back(end - start);
    }
    return lengths;
}

const std::vector<std::string> kEncodings{"gb", "gbk", "big5"};

class CliEveryCode : public ::testing::Test {
protected:
    CliRun runOn(const std::string& command, const std::string& source, const std::string& from,
                 const std::string& to) {
        writeFile(dir_.file("in.txt"), source);
        return run(command, {"--from", from, "--to", to}, dir_.file("in.txt"), dir_.file("out.txt"));
    }
    std::string output() const { return readFile(dir_.file("out.txt")); }

    TempDir dir_;
};

TEST_F(CliEveryCode, ConvertKeepsEveryLineLength) {
    const std::string source = everyCode();
    const std::vector<std::size_t> sourceLines = lineLengths(withLineFeeds(source), "\n");
    for (const std::string& from : kEncodings) {
        for (const std::string& to : kEncodings) {
            if (from == to) continue;
            const CliRun result = runOn("convert", source, from, to);
            // Only GB into GBK reads no code as invalid: it changes nothing.
            const bool widening = from == "gb" && to == "gbk";
            EXPECT_EQ(result.exitCode, widening ? 0 : 1) << from << " to " << to;
            // The codes come in order: the first with a high lead byte, 80 01, is
            // invalid in every encoding.
            EXPECT_TRUE(widening ? result.err.empty()
                                 : result.err.starts_with("quillon-cli: Warning: Invalid Chinese character found (") &&
                                       result.err.ends_with(" the first at line 9, column 30: bytes 80 01)\n"))
                << from << " to " << to << ": " << result.err;
            EXPECT_EQ(lineLengths(output(), "\r\n"), sourceLines) << from << " to " << to;
        }
    }
}

TEST_F(CliEveryCode, GbIntoGbkIsCopiedUnchanged) {
    const std::string source = everyCode();
    const CliRun result = runOn("convert", source, "gb", "gbk");
    EXPECT_EQ(result.exitCode, 0);
    std::string expected;
    for (char byte : withLineFeeds(source)) expected += byte == '\n' ? std::string("\r\n") : std::string(1, byte);
    EXPECT_EQ(output(), expected);
}

// The default width is 38 characters: no line may pass 76 bytes.
TEST_F(CliEveryCode, FormatKeepsEveryLineInsideTheWidth) {
    const std::string source = everyCode();
    for (const std::string& from : kEncodings) {
        for (const std::string& to : kEncodings) {
            const CliRun result = runOn("format", source, from, to);
            // Every family reads some codes as invalid, converted or not.
            EXPECT_EQ(result.exitCode, 1) << from << " to " << to;
            EXPECT_EQ(result.err, kInvalidWarning) << from << " to " << to;
            const std::vector<std::size_t> lengths = lineLengths(output(), "\r\n");
            ASSERT_FALSE(lengths.empty()) << from << " to " << to;
            EXPECT_LE(*std::max_element(lengths.begin(), lengths.end()), 76u) << from << " to " << to;
        }
    }
}

// --- A 200 MB single line ---

class CliHugeLine : public ::testing::Test {
protected:
    static constexpr std::size_t kCharacters = 100'000'000;  // 国, two bytes each
    // The pieces in which the engine's reader hands the line over.
    static constexpr std::size_t kCharactersPerPiece = 15999;
    static constexpr std::size_t kBlock = 100'000;  // characters written at a time
    static_assert(kCharacters % kBlock == 0);

    static void SetUpTestSuite() {
        folder_ = std::make_unique<TempDir>();
        std::ofstream out(source(), std::ios::binary);
        const std::string block = repeated("\xB9\xFA", kBlock);
        for (std::size_t written = 0; written < kCharacters; written += kBlock) {
            out.write(block.data(), std::streamsize(block.size()));
        }
        out.put('\n');
    }
    static void TearDownTestSuite() { folder_.reset(); }
    static std::string source() { return folder_->file("line.txt"); }

    // Runs on the huge source, which no run may change. How long it takes is
    // measured in bench/, not here.
    CliRun runOnSource(const std::string& command, const std::vector<std::string>& options) {
        const auto modified = fs::last_write_time(source());
        const CliRun result = run(command, options, source(), output());
        EXPECT_EQ(fs::file_size(source()), 2 * kCharacters + 1) << command;
        EXPECT_EQ(fs::last_write_time(source()), modified) << command;
        return result;
    }
    std::string output() const { return dir_.file("out.txt"); }

    static inline std::unique_ptr<TempDir> folder_;
    TempDir dir_;
};

// Read back a piece at a time against the expected bytes.
TEST_F(CliHugeLine, ConvertsEveryPiece) {
    const CliRun result = runOnSource("convert", {});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.err, "");

    std::ifstream in(output(), std::ios::binary);
    std::string expected = repeated("\xB0\xEA", kCharactersPerPiece) + "\r\n";
    std::string read(expected.size(), '\0');
    for (std::size_t left = kCharacters; left > 0;) {
        if (left < kCharactersPerPiece) expected = repeated("\xB0\xEA", left) + "\r\n";
        read.resize(expected.size());
        ASSERT_TRUE(in.read(read.data(), std::streamsize(read.size())) && read == expected)
            << (kCharacters - left) << " characters in";
        left -= std::min(left, kCharactersPerPiece);
    }
    EXPECT_EQ(in.peek(), std::ifstream::traits_type::eof());
}

// The paragraph is handed over at the engine's buffer size and wrapped at 38
// characters: every character arrives, no line passes the width.
TEST_F(CliHugeLine, FormatsEveryCharacterInsideTheWidth) {
    const CliRun result = runOnSource("format", {"--to", "big5"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.err, "");

    std::size_t characters = 0, others = 0, longestLine = 0, lineLength = 0;
    std::ifstream in(output(), std::ios::binary);
    std::vector<char> block(1 << 20);
    unsigned lead = 0;  // a lead byte waiting for its trail, across blocks
    while (in.read(block.data(), std::streamsize(block.size())) || in.gcount() > 0) {
        for (std::streamsize i = 0; i < in.gcount(); ++i) {
            const unsigned byte = static_cast<unsigned char>(block[i]);
            if (lead != 0) {
                const unsigned code = lead << 8 | byte;
                characters += code == 0xB0EA;
                others += code != 0xB0EA && code != 0xA140;  // 國 or an indenting blank
                lineLength += 2;
                lead = 0;
            } else if (byte >= 0x80) {
                lead = byte;
            } else if (byte == '\n') {
                longestLine = std::max(longestLine, lineLength - 1);  // less the CR
                lineLength = 0;
            } else {
                others += byte != '\r';
                ++lineLength;
            }
        }
    }
    EXPECT_EQ(characters, kCharacters);
    EXPECT_EQ(others, 0u);
    EXPECT_EQ(lead, 0u);
    EXPECT_EQ(longestLine, 76u);
}

}  // namespace
}  // namespace quillon::testing
