#include "text_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace quillon {

TextReader::~TextReader() { close(); }

bool TextReader::open(const char* path) {
    close();
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        error_ = EISDIR;
        return false;
    }
    file_ = std::fopen(path, "rb");
    restart();
    error_ = file_ == nullptr ? errno : 0;
    return file_ != nullptr;
}

void TextReader::open(BlockSource source) {
    close();
    source_ = std::move(source);
    restart();
    error_ = 0;
}

void TextReader::restart() {
    pos_ = length_ = 0;
    bufferOffset_ = 0;
    endMarkOffset_ = -1;
    ended_ = failed_ = false;
}

void TextReader::close() {
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
    source_ = nullptr;
}

std::size_t TextReader::readInto(unsigned char* into, std::size_t room) {
    return file_ != nullptr ? std::fread(into, 1, room, file_) : source_(into, room);
}

bool TextReader::fill() {
    if (ended_ || (file_ == nullptr && !source_)) return false;
    bufferOffset_ += static_cast<std::int64_t>(length_);
    pos_ = 0;
    length_ = readInto(buffer_.get(), kBufferSize);
    // What is read past the data is defined, if meaningless.
    std::memset(buffer_.get() + length_, 0, kReadAhead);
    if (length_ == 0) {
        ended_ = true;
        failed_ = file_ != nullptr && std::ferror(file_) != 0;
        if (failed_) error_ = errno;
    }
    if (length_ > 0 && watcher_ && !watcher_({buffer_.get(), length_})) {
        length_ = 0;
        ended_ = true;
    }
    return length_ > 0;
}

void TextReader::stopAtEndMark() {
    const std::int64_t offset = bufferOffset_ + static_cast<std::int64_t>(pos_);
    unsigned char next = 0;
    const bool more = pos_ + 1 < length_ || readInto(&next, 1) != 0;
    if (more) endMarkOffset_ = offset;
    ended_ = true;
    pos_ = length_;
}

std::span<const unsigned char> TextReader::readBlock() {
    if (pos_ == length_ && !fill()) return {};
    const unsigned char* const start = buffer_.get() + pos_;
    const std::size_t available = length_ - pos_;
    const auto* const stop = static_cast<const unsigned char*>(std::memchr(start, 0x1A, available));
    pos_ = length_;
    if (stop == nullptr) return {start, available};
    ended_ = true;
    return {start, static_cast<std::size_t>(stop - start)};
}

std::span<const unsigned char> TextReader::takeStoredLines(std::size_t limit) {
    if (pos_ == length_ && !fill()) return {};
    const unsigned char* const start = buffer_.get() + pos_;
    std::size_t length = std::min(length_ - pos_, limit);
    // Stop before the line that holds a 1A, and before a line that has not
    // been read to its end.
    if (const auto* const mark = static_cast<const unsigned char*>(std::memchr(start, 0x1A, length))) {
        length = static_cast<std::size_t>(mark - start);
    }
    while (length > 0 && start[length - 1] != '\n') --length;
    pos_ += length;
    return {start, length};
}

int TextReader::readLine(char* line, int size) {
    const std::size_t limit = size > 0 ? std::size_t(size - 1) : 0;
    std::size_t count = 0;
    while (count < limit) {
        if (pos_ == length_ && !fill()) break;
        // Copy the run of bytes that need no attention in one go: LF, CR and
        // 1A all lie at or below 1A.
        const unsigned char* run = buffer_.get() + pos_;
        const std::size_t available = std::min(length_ - pos_, limit - count);
        std::size_t plain = 0;
        // Eight bytes at a time while none of them is 1A or below.
        for (std::uint64_t word; plain + 8 <= available; plain += 8) {
            std::memcpy(&word, run + plain, 8);
            constexpr std::uint64_t kOnes = 0x0101010101010101u;
            if (((word - 0x1B * kOnes) & ~word & 0x80 * kOnes) != 0) break;
        }
        while (plain < available && run[plain] > 0x1A) ++plain;
        std::memcpy(line + count, run, plain);
        count += plain;
        pos_ += plain;
        if (plain == available) continue;

        unsigned char byte = buffer_[pos_];
        if (byte == 0x1A) {
            stopAtEndMark();
            break;
        }
        ++pos_;
        if (byte == '\r') {
            if (pos_ == length_) fill();
            if (pos_ < length_ && buffer_[pos_] == '\n') {
                ++pos_;
                byte = '\n';
            }
        }
        line[count++] = static_cast<char>(byte);
        if (byte == '\n') break;
    }
    line[count] = '\0';
    return static_cast<int>(count);
}

TextReader::BlockSource blockSourceOf(std::string_view text) {
    return [text](unsigned char* into, std::size_t room) mutable {
        const std::size_t n = std::min(room, text.size());
        std::memcpy(into, text.data(), n);
        text.remove_prefix(n);
        return n;
    };
}

bool TextWriter::open(const char* path, bool onlyReplacing) {
    used_ = 0;
    failed_ = false;
    sink_ = nullptr;
    return file_.open(path, onlyReplacing);
}

void TextWriter::open(BlockSink sink) {
    used_ = 0;
    failed_ = false;
    sink_ = std::move(sink);
}

void TextWriter::flush() {
    if (used_ > 0 && !failed_ && !(sink_ ? sink_(buffer_.get(), used_) : file_.write(buffer_.get(), used_))) {
        failed_ = true;
    }
    used_ = 0;
}

void TextWriter::append(const char* data, std::size_t length) {
    while (length > 0) {
        if (used_ == kBufferSize) flush();
        const std::size_t n = std::min(length, kBufferSize - used_);
        std::memcpy(buffer_.get() + used_, data, n);
        used_ += n;
        data += n;
        length -= n;
    }
}

void TextWriter::write(const char* data, std::size_t length) {
    while (length > 0) {
        const auto* lineFeed = static_cast<const char*>(std::memchr(data, '\n', length));
        const std::size_t plain = lineFeed ? static_cast<std::size_t>(lineFeed - data) : length;
        append(data, plain);
        if (lineFeed == nullptr) break;
        append("\r\n", 2);
        data += plain + 1;
        length -= plain + 1;
    }
}

void TextWriter::writeLine(const char* data, std::size_t length) {
    append(data, length);
    append("\r\n", 2);
}

bool TextWriter::close() {
    flush();
    if (failed_) {
        file_.discard();
        return false;
    }
    return sink_ ? true : file_.commit();
}

}  // namespace quillon
