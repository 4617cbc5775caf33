#include "file_failure.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "end_mark.h"
#include "messages.h"

namespace quillon::unicode {
namespace {

std::string inLanguage(std::string_view english, const Translate& translate) {
    return translate ? translate(english) : std::string(english);
}

}  // namespace

std::string fileFailure(std::string_view path, int error, RunResult result, const Translate& translate) {
    // strerror speaks the language of the program's locale already.
    const std::string reason =
        error != 0 ? std::string(std::strerror(error)) : inLanguage(resultMessage(result)->text, translate);
    return std::string(path) + ": " + reason;
}

int openError(const char* path) {
    errno = 0;
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return errno;
    std::fclose(file);
    // A folder opens, but holds no text to read.
    std::error_code error;
    return std::filesystem::is_directory(path, error) ? EISDIR : 0;
}

std::string endMarkWarning(std::int64_t offset, const char* unicodeSource, const Translate& translate) {
    std::string text =
        inLanguage(endMarkIsUnit(unicodeSource) ? kEndMarkCharacterWarning : kEndMarkWarning, translate);
    if (const auto at = text.find("%1"); at != std::string::npos) text.replace(at, 2, std::to_string(offset));
    return text;
}

}  // namespace quillon::unicode
