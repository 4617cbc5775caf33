#pragma once

#include <cstddef>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "encoding_profile.h"
#include "end_mark.h"
#include "output_file.h"
#include "quote_style.h"
#include "source_text.h"
#include "text_file.h"

struct UConverter;

namespace quillon::unicode {

// Stands in the decoded text for a sequence the source's encoding does not
// allow. A noncharacter, reserved for such internal use: one met in a source
// counts as invalid as well.
inline constexpr char32_t kInvalidMarker = 0xFDD0;

// ICU's name of UTF-8, read and written without ICU's converters.
inline constexpr const char* kUtf8Name = "UTF-8";

struct ConverterCloser {
    void operator()(UConverter* converter) const;
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterCloser>;

// Reads a file in any encoding ICU knows as code points, a buffer at a time,
// so that memory stays flat whatever the file's size. A byte-order mark at
// the start is dropped (one only: a second is text); U+001A ends the text.
// UTF-16 is read in the byte order its name tells (UTF-16LE, UTF-16BE).
class CodePointReader {
public:
    CodePointReader() = default;
    ~CodePointReader();
    CodePointReader(const CodePointReader&) = delete;
    CodePointReader& operator=(const CodePointReader&) = delete;

    // False when the source cannot be opened or the encoding is unknown.
    bool open(const SourceText& source, const char* encoding);
    // Up to `capacity` code points into `out`; 0 at the end of the text.
    std::size_t read(char32_t* out, std::size_t capacity);
    // True when reading stopped on an error rather than the end of the file.
    bool failed() const { return failed_; }
    // Where U+001A ended the text before the end of the file, else -1.
    std::int64_t endMarkOffset() const { return endMark_.offset(); }
    // True once a byte-order mark at the start has been dropped.
    bool droppedMark() const { return droppedMark_; }

private:
    std::size_t readUtf8(char32_t* out, std::size_t capacity);
    bool refill();

    static constexpr std::size_t kBufferSize = 1 << 16;
    std::FILE* file_ = nullptr;
    bool utf8_ = false;  // decoded here directly: the commonest case, and twice as fast
    ConverterPtr source_;
    ConverterPtr utf32_;
    EndMark endMark_;
    char bytes_[kBufferSize];
    const char* next_ = bytes_;
    const char* end_ = bytes_;
    char16_t pivot_[kBufferSize / 4];
    char16_t* pivotSource_ = pivot_;
    char16_t* pivotTarget_ = pivot_;
    bool atStart_ = true;
    bool atStartOfText_ = true;
    bool droppedMark_ = false;
    bool ended_ = false;
    bool flushed_ = false;
    bool failed_ = false;
};

// Writes a file: UTF-8 text in an encoding ICU knows, or bytes as they are.
class TextSink {
public:
    TextSink() = default;
    ~TextSink();
    TextSink(const TextSink&) = delete;
    TextSink& operator=(const TextSink&) = delete;

    // Starts the file; `encoding` may be null when only bytes are written.
    // False when that is not possible. An existing file keeps its bytes until
    // close() succeeds: a sink destroyed before that leaves it as it was.
    bool open(const char* path, const char* encoding);
    // Starts text for `sink`, which takes the bytes as they come (false: the
    // rest is lost); `restart`, where given, drops all it took.
    bool open(TextWriter::BlockSink sink, std::function<void()> restart, const char* encoding);
    // Gives what is written from here on the quote style: the text, and
    // the bytes where they are text of `legacy`'s encoding (not null).
    void restyleQuotes(QuoteStyle style, const EncodingProfile* legacy) {
        quoteStyle_ = style;
        legacy_ = legacy;
    }
    // Leaves out a line end that would end the file, for a source that ends
    // without one: a Unicode run does not add what it need not.
    void dropFinalLineEnd() { dropsFinalLineEnd_ = true; }
    // Whole characters of UTF-8, encoded for the file.
    void writeText(const char* utf8, std::size_t length);
    // Bytes from a character's start to a character's end.
    void writeBytes(const char* bytes, std::size_t count);
    // Whether UTF-8 text goes to the file as it is given, so that it may be
    // written in place: room() and advance() stand for writeText().
    bool takesUtf8AsIs() const { return !target_ && quoteStyle_ == kQuotesKeep && !dropsFinalLineEnd_; }
    // Room for `count` bytes (at most kRoom) written in place; advance()
    // then takes those written.
    static constexpr std::size_t kRoom = 1 << 16;
    char* room(std::size_t count);
    void advance(std::size_t count) { outUsed_ += count; }
    // True when every byte reached the file and it took the old one's place.
    bool close();
    // Whether what was written can still be dropped: the file takes the
    // destination's place only at close(), rather than being written directly;
    // a sink in memory, when it can be restarted.
    bool restartable() const { return open_ && (memory_ ? bool(restartMemory_) : file_.replacesDestination()); }
    // Drops what was written and starts the file afresh; false when it cannot.
    bool restart();
    // True once a write or an encoding has failed: whatever follows is lost too.
    bool failed() const { return failed_; }
    // errno of the file's first failure, 0 while none (or when only the
    // encoding failed).
    int error() const { return file_.error(); }

private:
    bool openConverters(const char* encoding);
    bool emit(const char* bytes, std::size_t count);
    void convert(const char* source, std::size_t length, bool flush);
    void put(const char* bytes, std::size_t count);
    void writeTextNow(const char* utf8, std::size_t length);
    void writeBytesNow(const char* bytes, std::size_t count);
    // With dropFinalLineEnd, writes the line end held back so far, holds
    // back the one that ends `data`, and returns the length of what is left.
    std::size_t holdFinalLineEnd(const char* data, std::size_t length, bool text);

    static constexpr std::size_t kBufferSize = kRoom;
    OutputFile file_;
    std::string path_;
    TextWriter::BlockSink memory_;  // in place of the file
    std::function<void()> restartMemory_;
    bool open_ = false;
    ConverterPtr target_;  // none for UTF-8: its text is written as it is
    ConverterPtr utf8_;
    char bytes_[kBufferSize];
    // Bytes on their way to the file, written a quarter megabyte at a time,
    // as the engine's own files are: fewer and larger writes cost the system
    // less for each byte.
    static constexpr std::size_t kOutSize = 1 << 18;
    std::unique_ptr<char[]> out_ = std::make_unique_for_overwrite<char[]>(kOutSize);
    std::size_t outUsed_ = 0;
    char16_t pivot_[kBufferSize / 4];
    char16_t* pivotSource_ = pivot_;
    char16_t* pivotTarget_ = pivot_;
    bool atStart_ = true;
    bool failed_ = false;
    QuoteStyle quoteStyle_ = kQuotesKeep;
    const EncodingProfile* legacy_ = nullptr;
    bool dropsFinalLineEnd_ = false;
    char heldLineEnd_[2] = {};  // CR LF at most
    std::size_t heldLength_ = 0;
    bool heldAsText_ = false;
    std::string restyled_;  // text given the quote style, kept for its room
};

}  // namespace quillon::unicode
