#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <span>
#include <string_view>

#include "output_file.h"

namespace quillon {

// Reads a file as a text-mode stream, the same on every platform: a CR LF
// pair reads as one LF, a CR not followed by LF stays a CR, and a byte 1A
// ends the input.
class TextReader {
public:
    TextReader() = default;
    ~TextReader();
    TextReader(const TextReader&) = delete;
    TextReader& operator=(const TextReader&) = delete;

    // False when the path cannot be opened for reading (a folder cannot).
    bool open(const char* path);
    // Reads text that a program makes as it goes rather than a file: `source`
    // puts up to `room` bytes `into` the reader and returns their number, 0
    // at the end of the text. The caller tells its own failures.
    using BlockSource = std::function<std::size_t(unsigned char* into, std::size_t room)>;
    void open(BlockSource source);
    void close();

    // Reads as fgets does: stops after a LF, at the end of the input, or after
    // size - 1 bytes, and puts a NUL after the text. Returns the number of
    // bytes read, 0 at the end of the input. NUL bytes in the file are text
    // like any other byte: callers take the returned length, not strlen.
    int readLine(char* line, int size);

    // The next bytes of the input as they are stored, CR LF pairs as two
    // bytes, up to the 1A that ends it; empty at the end of the input.
    std::span<const unsigned char> readBlock();

    // Whole lines already buffered, as they are stored: each ends in a LF or
    // a CR LF, which readLine gives as a LF, and none holds a 1A. A CR that no
    // LF follows is text, as readLine keeps it. At most `limit` bytes of the
    // file; empty when the next line needs readLine. The lines count as read.
    // The kReadAhead bytes after them may be read too, whatever they hold.
    std::span<const unsigned char> takeStoredLines(std::size_t limit);
    static constexpr std::size_t kReadAhead = 64;
    // The bytes one read from the file asks for: large reads cost the system
    // less per byte.
    static constexpr std::size_t kBufferSize = 1 << 18;

    // Called with the bytes of each read from the file, in order, as they are
    // stored: CR LF pairs as two bytes, and a 1A with whatever follows it in
    // the same read. Returning false ends the input there, as if the file
    // ended.
    using BlockWatcher = std::function<bool(std::span<const unsigned char> block)>;
    void watchBlocks(BlockWatcher watcher) { watcher_ = std::move(watcher); }

    // True when no byte is left to read.
    bool atEnd() { return pos_ == length_ && !fill(); }
    // True when reading stopped on an error rather than the end of the input.
    bool failed() const { return failed_; }
    // errno of the failed open or read, 0 while none.
    int error() const { return error_; }
    // The offset of a byte 1A that ended the input while more bytes followed
    // it, else -1: the text read is then not all of the file.
    std::int64_t endMarkOffset() const { return endMarkOffset_; }

private:
    void restart();
    // Up to `room` bytes from the file or the source.
    std::size_t readInto(unsigned char* into, std::size_t room);
    bool fill();
    void stopAtEndMark();

    std::FILE* file_ = nullptr;
    BlockSource source_;
    BlockWatcher watcher_;
    // On the heap, as callers keep readers on the stack.
    std::unique_ptr<unsigned char[]> buffer_ = std::make_unique_for_overwrite<unsigned char[]>(kBufferSize + kReadAhead);
    std::size_t pos_ = 0;
    std::size_t length_ = 0;
    std::int64_t bufferOffset_ = 0;  // of buffer_[0] in the file
    std::int64_t endMarkOffset_ = -1;
    bool ended_ = false;
    bool failed_ = false;
    int error_ = 0;
};

// A source that hands the engine `text`, which must outlive the reading.
TextReader::BlockSource blockSourceOf(std::string_view text);

// Writes a file as a text-mode stream: every LF written becomes CR LF.
// Write errors are remembered and reported by close(). The destination takes
// the written text only at close(); until then, and whenever the writer is
// discarded instead, it stays as it was (see OutputFile).
class TextWriter {
public:
    TextWriter() = default;
    ~TextWriter() = default;
    TextWriter(const TextWriter&) = delete;
    TextWriter& operator=(const TextWriter&) = delete;

    // Prepares to replace the file, or to create it. False when that is not
    // possible; with `onlyReplacing`, also for a destination that would be
    // written directly (see OutputFile::open).
    bool open(const char* path, bool onlyReplacing = false);
    // Hands the text to a program rather than a file: `sink` takes each
    // block as it would be written, CR LF and all, and returns false when
    // it fails.
    using BlockSink = std::function<bool(const char* data, std::size_t length)>;
    void open(BlockSink sink);
    void write(const char* data, std::size_t length);
    void put(char byte) { write(&byte, 1); }
    void putLineFeed() { put('\n'); }
    // Writes `length` bytes that hold no LF, then a line end: write() and
    // putLineFeed() without the search for line feeds.
    void writeLine(const char* data, std::size_t length);
    // Room for `length` bytes (at most the buffer's size) written in place,
    // without line feed translation; advance() then takes the bytes written.
    char* space(std::size_t length) {
        if (kBufferSize - used_ < length) flush();
        return buffer_.get() + used_;
    }
    void advance(std::size_t length) { used_ += length; }
    // True when every byte reached the file and it took the destination's
    // place.
    bool close();
    // Drops what was written: the destination stays as it was.
    void discard() { file_.discard(); }
    // True once a write has failed: whatever follows would be lost too.
    bool failed() const { return failed_; }
    // errno of the first failure, 0 while none.
    int error() const { return file_.error(); }

private:
    void append(const char* data, std::size_t length);
    void flush();

    // Large writes cost the system less per byte.
    static constexpr std::size_t kBufferSize = 1 << 18;
    OutputFile file_;
    BlockSink sink_;
    std::unique_ptr<char[]> buffer_ = std::make_unique_for_overwrite<char[]>(kBufferSize);
    std::size_t used_ = 0;
    bool failed_ = false;
};

}  // namespace quillon
