#include "source_text.h"

#include <filesystem>
#include <system_error>

namespace quillon::unicode {

SourceText SourceText::inMemory(std::string_view text) {
    SourceText source;
    source.text_ = text;
    return source;
}

FilePtr SourceText::open() const {
    if (path_ == nullptr) {
        // Read in place: a stream opened for reading never writes its buffer.
        static char nothing;
        char* const bytes = text_.empty() ? &nothing : const_cast<char*>(text_.data());
        return FilePtr(fmemopen(bytes, text_.size(), "r"));
    }
    std::error_code error;
    if (std::filesystem::is_directory(path_, error)) return nullptr;
    return FilePtr(std::fopen(path_, "rb"));
}

}  // namespace quillon::unicode
