#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace quillon::unicode {

// Whether a file in `encoding` (ICU's name, or null for GB, GBK and Big5)
// holds the end mark as a code unit of two bytes rather than as a byte 1A.
inline bool endMarkIsUnit(const char* encoding) {
    return encoding != nullptr && std::strncmp(encoding, "UTF-16", 6) == 0;
}

// Text files end at a byte 1A, as the engine reads them. A Unicode source
// ends the same way at the character U+001A: one byte 1A in UTF-8 and
// GB18030, where no other character holds one, and a whole code unit of
// UTF-16.
class EndMark {
public:
    // `encoding` is ICU's name of the file's encoding: UTF-16LE and UTF-16BE
    // write the mark in two bytes, every other encoding in one.
    explicit EndMark(const char* encoding = "")
        : unitBytes_(endMarkIsUnit(encoding) ? 2 : 1),
          markByte_(std::strcmp(encoding, "UTF-16BE") == 0 ? 1 : 0) {}

    // Of `count` bytes just read from `file`, in order from its start, the
    // number that come before the mark: all of them while it has not come.
    std::size_t cut(const char* bytes, std::size_t count, std::FILE* file) {
        if (reached_) return 0;
        std::size_t at = count;
        if (unitBytes_ == 1) {
            if (const void* mark = std::memchr(bytes, 0x1A, count)) {
                at = static_cast<std::size_t>(static_cast<const char*>(mark) - bytes);
            }
        } else {
            for (std::size_t i = static_cast<std::size_t>(read_ % 2); i + 1 < count; i += 2) {
                if (bytes[i + markByte_] == 0x1A && bytes[i + 1 - markByte_] == 0) {
                    at = i;
                    break;
                }
            }
        }
        read_ += static_cast<std::int64_t>(count);
        if (at == count) return count;
        reached_ = true;
        // As in the engine, a mark with nothing after it ends no more than the file does.
        if (at + unitBytes_ < count || std::fgetc(file) != EOF) {
            offset_ = read_ - static_cast<std::int64_t>(count - at);
        }
        return at;
    }

    bool reached() const { return reached_; }
    // Where the mark lies in the file when it ended the text before the
    // file's end, else -1.
    std::int64_t offset() const { return offset_; }

private:
    std::size_t unitBytes_;
    std::size_t markByte_;  // the place of the byte 1A in a unit
    std::int64_t read_ = 0;
    bool reached_ = false;
    std::int64_t offset_ = -1;
};

}  // namespace quillon::unicode
