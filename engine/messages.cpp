#include "messages.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <utility>

namespace quillon {

std::optional<ResultMessage> resultMessage(RunResult code) {
    switch (code) {
        case kOutOfMemory: return ResultMessage{"Error", "Out of memory"};
        case kSourceUnreadable: return ResultMessage{"Error", "Unable to open source file"};
        case kDestinationUnwritable:
            return ResultMessage{"Error", "Unable to create destination file"};
        case kSourceNotText: return ResultMessage{"Error", "Not a text file (it holds NUL bytes)"};
        case kHeadingPatternInvalid: return ResultMessage{"Error", "The heading pattern is no regular expression"};
        case kInvalidCodeWarning:
            return ResultMessage{"Warning", "Warning: Invalid Chinese character found"};
        case kUnmappableWarning:
            return ResultMessage{"Warning", "Warning: Unable to convert some Chinese characters"};
        case kHtmlAbortedWarning:
            return ResultMessage{
                "Warning", "Warning: Invalid HTML syntax encountered. HTML handling aborted"};
        default: return std::nullopt;
    }
}

namespace {

TraceSink& threadTraceSink() {
    thread_local TraceSink sink;
    return sink;
}

}  // namespace

void setTraceSink(TraceSink sink) { threadTraceSink() = std::move(sink); }

void trace(const char* format, ...) {
    char line[256];
    std::va_list args;
    va_start(args, format);
    const int length = std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    const std::string_view text(line, static_cast<std::size_t>(std::clamp(length, 0, int(sizeof line) - 1)));
    if (const TraceSink& sink = threadTraceSink()) {
        sink(text);
    } else {
        std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
    }
}

}  // namespace quillon
