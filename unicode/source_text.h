#pragma once

#include <cstdio>
#include <memory>
#include <string_view>

namespace quillon::unicode {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// A run's source, which the run may read more than once: a file by path, or
// text the caller holds in memory, read where it lies.
class SourceText {
public:
    // The file at `path`.
    SourceText(const char* path) : path_(path) {}  // NOLINT(google-explicit-constructor): a path names a source
    static SourceText inMemory(std::string_view text);

    // The source from its start; null when it cannot be read (a folder cannot).
    FilePtr open() const;
    // The file's path; null for text in memory.
    const char* path() const { return path_; }

private:
    SourceText() = default;

    const char* path_ = nullptr;
    std::string_view text_;
};

}  // namespace quillon::unicode
