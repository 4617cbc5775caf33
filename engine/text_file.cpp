#include "text_file.h"

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

bool TextReader::readLine(char* line, int size) {
    int count = 0;
    while (count < size - 1) {
        if (pos_ == length_ && !fill()) break;
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
    return count > 0;
}

TextWriter::~TextWriter() {
    if (file_ != nullptr) std::fclose(file_);
}

bool TextWriter::open(const char* path) {
    file_ = std::fopen(path, "wb");
    failed_ = false;
    return file_ != nullptr;
}

void TextWriter::write(const char* data, std::size_t length) {
    if (file_ == nullptr || failed_) return;
    while (length > 0) {
        const auto* lineFeed = static_cast<const char*>(std::memchr(data, '\n', length));
        const std::size_t plain = lineFeed ? static_cast<std::size_t>(lineFeed - data) : length;
        if (plain > 0 && std::fwrite(data, 1, plain, file_) != plain) failed_ = true;
        if (lineFeed == nullptr) break;
        if (std::fwrite("\r\n", 1, 2, file_) != 2) failed_ = true;
        data += plain + 1;
        length -= plain + 1;
    }
}

bool TextWriter::close() {
    if (file_ == nullptr) return false;
    if (std::fflush(file_) != 0 || std::ferror(file_) != 0) failed_ = true;
    if (std::fclose(file_) != 0) failed_ = true;
    file_ = nullptr;
    return !failed_;
}

}  // namespace quillon
