#pragma once

#include <utility>

#include "text_file.h"

namespace quillon {

// Reads a text file line by line as every run does: at most size - 1 bytes at
// a time, so a longer line arrives in pieces. A piece never ends inside a
// double-byte character: a lead byte that would end it starts the next piece
// instead, so no character is cut in two and the rest of the line stays in step.
class LineReader {
public:
    bool open(const char* path) { return reader_.open(path); }
    void open(TextReader::BlockSource source) { reader_.open(std::move(source)); }
    void close() { reader_.close(); }
    bool failed() const { return reader_.failed(); }
    int error() const { return reader_.error(); }
    std::int64_t endMarkOffset() const { return reader_.endMarkOffset(); }
    void watchBlocks(TextReader::BlockWatcher watcher) { reader_.watchBlocks(std::move(watcher)); }
    // True when nothing is left to read: a reader just opened reads its first block.
    bool atEnd() { return !hasCarried_ && reader_.atEnd(); }

    // The bytes read, followed by a NUL; returns their number, 0 at the end.
    int readLine(char* line, int size);

    // Whole lines that readLine would return, as they are stored, each
    // shorter than its size limit: see TextReader::takeStoredLines. Empty in
    // the middle of a long line.
    std::span<const unsigned char> takeStoredLines(std::size_t limit) {
        return midLine_ ? std::span<const unsigned char>() : reader_.takeStoredLines(limit);
    }

private:
    TextReader reader_;
    char carried_ = 0;
    bool hasCarried_ = false;
    bool midLine_ = false;  // the last piece read did not end its line
};

}  // namespace quillon
