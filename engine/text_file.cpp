#include "text_file.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace quillon {

TextReader::~TextReader() { close(); }

bool TextReader::open(const char* path) {
    close();
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) return false;
    file_ = std::fopen(path, "rb");
    pos_ = length_ = 0;
    ended_ = failed_ = false;
    return file_ != nullptr;
}

void TextReader::close() {
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
}

bool TextReader::fill() {
    if (ended_ || file_ == nullptr) return false;
    pos_ = 0;
    length_ = std::fread(buffer_, 1, kBufferSize, file_);
    if (length_ == 0) {
        ended_ = true;
        failed_ = std::ferror(file_) != 0;
    }
    return length_ > 0;
}

std::span<const unsigned char> TextReader::readBlock() {
    if (pos_ == length_ && !fill()) return {};
    const unsigned char* const start = buffer_ + pos_;
    const std::size_t available = length_ - pos_;
    const auto* const stop = static_cast<const unsigned char*>(std::memchr(start, 0x1A, available));
    pos_ = length_;
    if (stop == nullptr) return {start, available};
    ended_ = true;
    return {start, static_cast<std::size_t>(stop - start)};
}

int TextReader::readLine(char* line, int size) {
    const std::size_t limit = size > 0 ? std::size_t(size - 1) : 0;
    std::size_t count = 0;
    while (count < limit) {
        if (pos_ == length_ && !fill()) break;
        // Copy the run of bytes that need no attention in one go: LF, CR and
        // 1A all lie at or below 1A.
        const unsigned char* run = buffer_ + pos_;
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
            ended_ = true;
            pos_ = length_;
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

TextWriter::~TextWriter() {
    if (file_ != nullptr) std::fclose(file_);
}

bool TextWriter::open(const char* path) {
    file_ = std::fopen(path, "wb");
    // This writer buffers itself; a second buffer would only copy.
    if (file_ != nullptr) std::setvbuf(file_, nullptr, _IONBF, 0);
    used_ = 0;
    failed_ = false;
    return file_ != nullptr;
}

void TextWriter::flush() {
    if (used_ > 0 && !failed_ && std::fwrite(buffer_, 1, used_, file_) != used_) failed_ = true;
    used_ = 0;
}

void TextWriter::append(const char* data, std::size_t length) {
    while (length > 0) {
        if (used_ == kBufferSize) flush();
        const std::size_t n = std::min(length, kBufferSize - used_);
        std::memcpy(buffer_ + used_, data, n);
        used_ += n;
        data += n;
        length -= n;
    }
}

void TextWriter::write(const char* data, std::size_t length) {
    if (file_ == nullptr) return;
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
    if (file_ == nullptr) return;
    append(data, length);
    append("\r\n", 2);
}

bool TextWriter::close() {
    if (file_ == nullptr) return false;
    flush();
    if (std::fflush(file_) != 0 || std::ferror(file_) != 0) failed_ = true;
    if (std::fclose(file_) != 0) failed_ = true;
    file_ = nullptr;
    return !failed_;
}

}  // namespace quillon
