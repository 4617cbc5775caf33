// The library's API as a program outside the project uses it: only the
// public header.
#include <quillon/quillon.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <tuple>

#include <gtest/gtest.h>

namespace {

using namespace quillon::api;
using WarningKinds = std::vector<Warning::Kind>;

Options named(std::string from, std::string to) {
    Options options;
    options.from = std::move(from);
    options.to = std::move(to);
    return options;
}

Options narrowUtf8() {
    Options options = named("utf-8", "");
    options.charsPerLine = 4;
    return options;
}

// A run's options other than its encodings, as `set` gives them.
Options with(void (*set)(Options&)) {
    Options options;
    set(options);
    return options;
}

struct RunCase {
    const char* name;
    Task task;
    Options options;
    std::string input;
    std::string output;
    WarningKinds warnings;
    std::string sourceEncoding;
    std::string outputEncoding;
};

void PrintTo(const RunCase& c, std::ostream* out) { *out << c.name; }

class Runs : public testing::TestWithParam<RunCase> {};

TEST_P(Runs, GiveTheBytesAndWarnings) {
    const RunCase& c = GetParam();
    std::string output;
    const Result result = run(c.task, c.input, output, c.options);
    EXPECT_EQ(output, c.output);
    WarningKinds kinds;
    for (const Warning& warning : result.warnings) kinds.push_back(warning.kind);
    EXPECT_EQ(kinds, c.warnings);
    EXPECT_EQ(result.sourceEncoding, c.sourceEncoding);
    EXPECT_EQ(result.outputEncoding, c.outputEncoding);
}

INSTANTIATE_TEST_SUITE_P(
    Library, Runs,
    testing::Values(
        // 中国 from GB to Big5, byte for byte as the engine has it.
        RunCase{"GbToBig5", Task::Convert, named("gb", "big5"), "\xD6\xD0\xB9\xFA\r\n", "\xA4\xA4\xB0\xEA\r\n", {},
                "GB", "BIG5"},
        RunCase{"Utf8ToTraditional", Task::Convert, {}, "汉语\n", "漢語\n", {}, "UTF-8", "UTF-8"},
        // A1 40 is no GB code: boxed, with its warning.
        RunCase{"InvalidCode", Task::Convert, named("gb", "big5"), "\xD6\xD0\xA1\x40\r\n", "\xA4\xA4\xA1\xBC\r\n",
                {Warning::Kind::InvalidCode}, "GB", "BIG5"},
        // GB has no euro sign.
        RunCase{"Unmappable", Task::Convert, named("", "gb"), "中€\n", "\xD6\xD0\xA1\xF5\r\n",
                {Warning::Kind::Unmappable}, "UTF-8", "GB"},
        RunCase{"FormatNarrow", Task::Format, narrowUtf8(), "中文的段落很长很长。\n",
                "　　中文\n的段落很\n长很长。\n\n", {}, "UTF-8", "UTF-8"},
        // A Unicode run adds no line end to a text that has none; the
        // engine's legacy run does, as it always has.
        RunCase{"Utf8WithoutLineEnd", Task::Convert, {}, "头发", "頭髮", {}, "UTF-8", "UTF-8"},
        RunCase{"Utf16WithoutLineEnd", Task::Convert, named("utf-16le", "utf-16le"), std::string("\x34\x59\xD1\x53"),
                std::string("\x2D\x98\xEE\x9A"), {}, "UTF-16LE", "UTF-16LE"},
        RunCase{"GbToUtf8WithoutLineEnd", Task::Convert, named("gb", "utf-8"), "\xCD\xB7\xB7\xA2", "頭髮", {}, "GB",
                "UTF-8"},
        RunCase{"Utf8LineEndKept", Task::Convert, {}, "头发\r\n", "頭髮\n", {}, "UTF-8", "UTF-8"},
        RunCase{"GbToBig5WithoutLineEnd", Task::Convert, named("gb", "big5"), "\xD6\xD0\xB9\xFA",
                "\xA4\xA4\xB0\xEA\r\n", {}, "GB", "BIG5"},
        RunCase{"CornerQuotes", Task::Convert, with([](Options& o) { o.quotes = "corner"; }), "“头发”\n",
                "「頭髮」\n", {}, "UTF-8", "UTF-8"},
        RunCase{"MarkAdded", Task::Convert, with([](Options& o) { o.bom = "add"; }), "头发\n",
                "\xEF\xBB\xBF頭髮\n", {}, "UTF-8", "UTF-8"},
        // Unicode text takes the mixed-text rules unless told not to.
        RunCase{"MixedTextByRun", Task::Format, with([](Options& o) { o.leadSpaces = 0; }), "版本 2.100 发布。\n",
                "版本 2.100 发布。\n\n", {}, "UTF-8", "UTF-8"},
        RunCase{"MixedTextOff", Task::Format,
                with([](Options& o) {
                    o.leadSpaces = 0;
                    o.mixedText = false;
                }),
                "版本 2.100 发布。\n", "版本2。100发布。\n\n", {}, "UTF-8", "UTF-8"}),
    [](const auto& info) { return std::string(info.param.name); });

struct PlacedCase {
    const char* name;
    Options options;
    std::string input;
    Warning placed;
};

void PrintTo(const PlacedCase& c, std::ostream* out) { *out << c.name; }

class Placed : public testing::TestWithParam<PlacedCase> {};

// Text in memory is read again to place the warning.
TEST_P(Placed, WarningsTellCountAndFirstPlace) {
    const PlacedCase& c = GetParam();
    Result result;
    convert(c.input, c.options, &result);
    ASSERT_EQ(result.warnings.size(), 1u);
    const Warning& warning = result.warnings[0];
    EXPECT_EQ(warning.kind, c.placed.kind);
    EXPECT_EQ(std::tie(warning.count, warning.line, warning.column, warning.text),
              std::tie(c.placed.count, c.placed.line, c.placed.column, c.placed.text));
}

Warning placedAt(Warning::Kind kind, std::int64_t count, std::int64_t line, std::int64_t column, std::string text) {
    Warning warning;
    warning.kind = kind;
    warning.count = count;
    warning.line = line;
    warning.column = column;
    warning.text = std::move(text);
    return warning;
}

INSTANTIATE_TEST_SUITE_P(
    Library, Placed,
    testing::Values(
        // A1 40 is no GB code.
        PlacedCase{"InvalidGb", named("gb", "big5"), "\xD6\xD0\r\n\xA1\x40\xA1\x40\r\n",
                   placedAt(Warning::Kind::InvalidCode, 2, 2, 1, "A1 40")},
        PlacedCase{"UnmappableInUtf8", named("", "gb"), "中€\n", placedAt(Warning::Kind::Unmappable, 1, 1, 2, "€")}),
    [](const auto& info) { return std::string(info.param.name); });

// Runs between legacy encodings named in the options go between memory or
// streams and the engine directly, the others through scratch files: both
// ways in give the same bytes and the same refusals.
struct WayInCase {
    const char* name;
    Options options;
    std::string input;
    std::string output;  // empty: refused as no text
};

void PrintTo(const WayInCase& c, std::ostream* out) { *out << c.name; }

class WaysIn : public testing::TestWithParam<WayInCase> {};

TEST_P(WaysIn, GiveTheSameBytesAndRefusals) {
    const WayInCase& c = GetParam();
    std::istringstream input(c.input);
    std::ostringstream output;
    if (c.output.empty()) {
        EXPECT_THROW(convert(c.input, c.options), Error);
        try {
            run(Task::Convert, input, output, c.options);
            FAIL() << "no refusal";
        } catch (const Error& error) {
            EXPECT_EQ(error.kind(), Error::Kind::SourceNotText);
        }
        return;
    }
    EXPECT_EQ(convert(c.input, c.options), c.output);
    run(Task::Convert, input, output, c.options);
    EXPECT_EQ(output.str(), c.output);

    // A stream that takes nothing fails the run with its own message.
    std::ostringstream failing;
    failing.setstate(std::ios::badbit);
    std::istringstream again(c.input);
    try {
        run(Task::Convert, again, failing, c.options);
        FAIL() << "no failure";
    } catch (const Error& error) {
        EXPECT_EQ(error.kind(), Error::Kind::DestinationUnwritable);
        EXPECT_STREQ(error.what(), "Unable to write the output stream");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Library, WaysIn,
    testing::Values(WayInCase{"LegacyDirect", named("gb", "big5"), "\xD6\xD0\r\n", "\xA4\xA4\r\n"},
                    WayInCase{"LegacyDetected", named("", "big5"), "\xD6\xD0\r\n", "\xA4\xA4\r\n"},
                    WayInCase{"Unicode", {}, "头发\n", "頭髮\n"},
                    WayInCase{"LegacyNotText", named("gb", "big5"), std::string("\xD6\xD0\0\r\n", 5), ""},
                    WayInCase{"UnicodeNotText", named("utf-8", ""), std::string("中\0\n", 5), ""}),
    [](const auto& info) { return std::string(info.param.name); });

// A run in memory reads the text where it lies, and through scratch files
// only where the run needs them: either way, the bytes and the placed
// warnings of the same run between files.
struct KindCase {
    const char* name;
    Task task;
    Options options;
    std::string input;
};

void PrintTo(const KindCase& c, std::ostream* out) { *out << c.name; }

class InMemoryAsByFile : public testing::TestWithParam<KindCase> {};

TEST_P(InMemoryAsByFile, GivesTheSameBytesAndWarnings) {
    const KindCase& c = GetParam();
    const std::filesystem::path source = testing::TempDir() + c.name + ".in";
    const std::filesystem::path destination = testing::TempDir() + c.name + ".out";
    std::ofstream(source, std::ios::binary) << c.input;
    const Result byFile = runFile(c.task, source.string(), destination.string(), c.options);
    std::ifstream written(destination, std::ios::binary);
    const std::string expected{std::istreambuf_iterator<char>(written), {}};

    std::string output;
    const Result inMemory = run(c.task, c.input, output, c.options);
    EXPECT_EQ(output, expected);
    ASSERT_EQ(inMemory.warnings.size(), byFile.warnings.size());
    for (std::size_t i = 0; i < byFile.warnings.size(); ++i) {
        const Warning& a = inMemory.warnings[i];
        const Warning& b = byFile.warnings[i];
        EXPECT_EQ(std::tie(a.kind, a.message, a.count, a.line, a.column, a.text, a.offset),
                  std::tie(b.kind, b.message, b.count, b.line, b.column, b.text, b.offset));
    }
    EXPECT_EQ(inMemory.sourceEncoding, byFile.sourceEncoding);
    EXPECT_EQ(inMemory.outputEncoding, byFile.outputEncoding);
    // A sink that cannot drop what it took is written only by runs that
    // never take their output back.
    std::string appended;
    run(c.task, c.input, OutputSink{[&](const char* data, std::size_t length) {
                                        appended.append(data, length);
                                        return true;
                                    },
                                    nullptr},
        c.options);
    EXPECT_EQ(appended, expected);
    std::filesystem::remove(source);
    std::filesystem::remove(destination);
}

Options phrasesOff() {
    Options options;
    options.phrases = false;
    return options;
}

// A run from GB to Big5 with more options, as `set` gives them.
Options legacyWith(void (*set)(Options&)) {
    Options options = named("gb", "big5");
    set(options);
    return options;
}

// More than the engine's first read: a judge of the first block alone would
// take the text for what the rest shows it is not.
std::string pastFirstRead(const std::string& unit, const std::string& rest) {
    std::string text;
    while (text.size() < (std::size_t(1) << 18) + 1024) text += unit;
    return text + rest;
}

INSTANTIATE_TEST_SUITE_P(
    Library, InMemoryAsByFile,
    testing::Values(
        KindCase{"DetectedUtf8ByDictionary", Task::Convert, {}, "头发\n中文\n"},
        KindCase{"Utf8ByTable", Task::Convert, phrasesOff(), "头发\n"},
        KindCase{"Utf8WithoutLineEnd", Task::Convert, named("utf-8", ""), "头发"},
        KindCase{"Utf8ToUtf16", Task::Convert, named("utf-8", "utf-16le"), "头发 ok\n"},
        KindCase{"Utf16Source", Task::Convert, named("utf-16le", "utf-8"), std::string("\x34\x59\xD1\x53\n\0", 6)},
        KindCase{"MarkedUtf16Detected", Task::Convert, {}, std::string("\xFF\xFE\x34\x59\xD1\x53", 6)},
        // 82 35 8F 33 is a four-byte code: U+3400.
        KindCase{"Gb18030Source", Task::Convert, named("gb18030", ""), "\xCD\xB7\x82\x35\x8F\x33\r\n"},
        KindCase{"InvalidUtf8", Task::Convert, named("utf-8", ""), "中\n头\xFF发\xFF\n"},
        KindCase{"UnmappableToGb", Task::Convert, named("utf-8", "gb"), "中\n€中€\n"},
        KindCase{"EndMark", Task::Convert, named("utf-8", ""), "头发\n\x1A尾\n"},
        KindCase{"FormatUtf8", Task::Format, narrowUtf8(), "中文的段落很长很长。\n"},
        KindCase{"FormatUtf8ToBig5", Task::Format, named("utf-8", "big5"), "中文的段落。\n"},
        KindCase{"LegacyToUtf8", Task::Convert, named("gb", "utf-8"), "\xCD\xB7\xB7\xA2\r\n"},
        KindCase{"LegacyDetected", Task::Convert, named("", "big5"), "\xD6\xD0\xB9\xFA\r\n"},
        KindCase{"LegacyDetectedBothWays", Task::Convert, {}, "\xD6\xD0\xB9\xFA\r\n"},
        KindCase{"Big5Detected", Task::Convert, {}, "\xA4\xA4\xB0\xEA\r\n"},
        KindCase{"LegacyDetectedFormat", Task::Format, {},
                 "\xD6\xD0\xCE\xC4\xB5\xC4\xB6\xCE\xC2\xE4\xA1\xA3\r\n"},
        // A1 40 is no GB code: the warning is placed in the text in memory.
        KindCase{"LegacyDetectedInvalid", Task::Convert, {}, "\xD6\xD0\xB9\xFA\xA1\x40\r\n\xD6\xD0\r\n"},
        // GB in the first read, Big5 (A4 40) after it: the run starts again.
        KindCase{"LegacyJudgedOtherwise", Task::Convert, {}, pastFirstRead("\xD6\xD0\r\n", "\xA4\x40\r\n")},
        KindCase{"LegacyAfterAscii", Task::Convert, {}, pastFirstRead("ascii\r\n", "\xD6\xD0\r\n")},
        KindCase{"LegacyDetectedToUtf8", Task::Convert, named("", "utf-8"), "\xD6\xD0\xB9\xFA\r\n"},
        // Named legacy sources whose output the edge rewrites as the engine writes it.
        KindCase{"LegacyLfEnds", Task::Convert, legacyWith([](Options& o) { o.lineEnds = "lf"; }),
                 "\xD6\xD0\r\n\xB9\xFA\r\n"},
        KindCase{"LegacyCornerQuotes", Task::Convert, legacyWith([](Options& o) { o.quotes = "corner"; }),
                 "\xA1\xB0\xD6\xD0\xA1\xB1\r\n"},
        KindCase{"LegacyToUtf16WithoutLineEnd", Task::Convert, named("big5", "utf-16le"), "\xA4\xA4\xB0\xEA"},
        KindCase{"LegacyFormatToUtf8", Task::Format, named("gb", "utf-8"),
                 "\xD6\xD0\xCE\xC4\xB5\xC4\xB6\xCE\xC2\xE4\xA1\xA3\r\n"},
        KindCase{"LegacyHtmlToUtf8", Task::Convert, legacyWith([](Options& o) {
                     o.to = "utf-8";
                     o.html = true;
                 }),
                 "<meta charset=gb2312><p>\xD6\xD0</p>\r\n"},
        // By the engine's tables the writer converts as it writes: through files.
        KindCase{"LegacyToUtf8ByTable", Task::Convert, legacyWith([](Options& o) {
                     o.to = "utf-8";
                     o.phrases = false;
                 }),
                 "\xCD\xB7\xB7\xA2\r\n"},
        // Longer than the engine's line: written in pieces.
        KindCase{"LegacyLongLineToUtf8", Task::Convert, named("gb", "utf-8"),
                 pastFirstRead("\xD6\xD0", "\r\n\xB9\xFA\xA1\x40\r\n")}),
    [](const auto& info) { return std::string(info.param.name); });

// A sink that takes nothing fails the run as an unwritable destination,
// whichever way the run goes.
class RefusingSink : public testing::TestWithParam<KindCase> {};

TEST_P(RefusingSink, FailsTheRun) {
    const KindCase& c = GetParam();
    const OutputSink refusing{[](const char*, std::size_t) { return false; }, [] {}};
    try {
        run(c.task, c.input, refusing, c.options);
        FAIL() << "no failure";
    } catch (const Error& error) {
        EXPECT_EQ(error.kind(), Error::Kind::DestinationUnwritable);
        EXPECT_STREQ(error.what(), "the output: Unable to create destination file");
    }
}

INSTANTIATE_TEST_SUITE_P(Library, RefusingSink,
                         testing::Values(KindCase{"Streamed", Task::Convert, named("gb", "big5"), "\xD6\xD0\r\n"},
                                         KindCase{"Unicode", Task::Convert, named("utf-8", ""), "头发\n"},
                                         KindCase{"Spooled", Task::Convert, named("gb", "utf-8"), "\xD6\xD0\r\n"}),
                         [](const auto& info) { return std::string(info.param.name); });

struct RefusalCase {
    const char* name;
    Task task;
    Options options;
    std::string message;
};

void PrintTo(const RefusalCase& c, std::ostream* out) { *out << c.name; }

class Refusals : public testing::TestWithParam<RefusalCase> {};

TEST_P(Refusals, ThrowTheCommandLinesMessage) {
    const RefusalCase& c = GetParam();
    try {
        std::string output;
        run(c.task, "中文\n", output, c.options);
        FAIL() << "no refusal";
    } catch (const Error& error) {
        EXPECT_EQ(error.kind(), Error::Kind::BadOption);
        EXPECT_EQ(std::string(error.what()), c.message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Library, Refusals,
    testing::Values(
        RefusalCase{"UnknownEncoding", Task::Convert, named("latin1", ""),
                    "'latin1' is not a value of '--from' (auto, gb, gbk, big5, utf-8, utf-16, gb18030, utf-16le, utf-16be)"},
        RefusalCase{"ZeroWidth", Task::Format, with([](Options& o) { o.charsPerLine = 0; }),
                    "'--chars-per-line' cannot be 0"},
        RefusalCase{"NegativeMargin", Task::Format, with([](Options& o) { o.leftMargin = -1; }),
                    "'--left-margin' must be 0 or more"},
        RefusalCase{"MissingWordList", Task::Convert,
                    with([](Options& o) { o.dictionaries = {"/nonexistent/words.txt"}; }),
                    "/nonexistent/words.txt: No such file or directory"},
        RefusalCase{"FormatOptionInConvert", Task::Convert, with([](Options& o) { o.leftMargin = 2; }),
                    "option '--left-margin' is only for format"},
        RefusalCase{"UnknownOpencc", Task::Convert, with([](Options& o) { o.opencc = "x2y"; }),
                    "'x2y' is not a value of '--opencc' (" + [] {
                        std::string names;
                        for (const OpenccConfiguration& c : openccConfigurations()) {
                            names += (names.empty() ? "" : ", ") + c.name;
                        }
                        return names;
                    }() + ")"}),
    [](const auto& info) { return std::string(info.param.name); });

struct DetectCase {
    const char* name;
    std::string bytes;
    Detection detection;
};

void PrintTo(const DetectCase& c, std::ostream* out) { *out << c.name; }

class Detections : public testing::TestWithParam<DetectCase> {};

TEST_P(Detections, TellEncodingFormAndLineEnds) {
    const Detection found = detect(GetParam().bytes);
    EXPECT_EQ(found.encoding, GetParam().detection.encoding);
    EXPECT_EQ(found.form, GetParam().detection.form);
    EXPECT_EQ(found.lineEnds, GetParam().detection.lineEnds);
}

INSTANTIATE_TEST_SUITE_P(
    Library, Detections,
    testing::Values(DetectCase{"Utf8Simplified", "汉语词典的内容\n", {"UTF-8", "simplified", "LF"}},
                    DetectCase{"Utf16Bom", std::string("\xFF\xFE\x2D\x4E\r\0\n\0", 8), {"UTF-16LE", "none", "CRLF"}},
                    DetectCase{"Ascii", "plain\n", {"PureASC", "none", "LF"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LibraryErrors, PlainAsciiHasNothingToFormat) {
    try {
        format("plain\n");
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(error.kind(), Error::Kind::PlainAscii);
        EXPECT_STREQ(error.what(), "the source is plain ASCII text, there is nothing to format");
    }
}

TEST(LibraryErrors, MissingSourceIsNamedWithItsReason) {
    try {
        runFile(Task::Convert, "/nonexistent/a.txt", "/nonexistent/b.txt");
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(error.kind(), Error::Kind::SourceUnreadable);
        EXPECT_EQ(error.systemError(), ENOENT);
        EXPECT_STREQ(error.what(), "/nonexistent/a.txt: No such file or directory");
    }
}

TEST(LibraryStreams, ConvertAndTraceTheDetection) {
    std::istringstream input("\xD6\xD0\xB9\xFA\r\n");
    std::ostringstream output;
    Options options = named("", "big5");
    std::vector<std::string> lines;
    options.trace = [&](std::string_view line) { lines.emplace_back(line); };
    run(Task::Convert, input, output, options);
    EXPECT_EQ(output.str(), "\xA4\xA4\xB0\xEA\r\n");
    EXPECT_EQ(lines, std::vector<std::string>{"GB encoding is detected."});
}

}  // namespace
