// A run's messages in the words a face shows them in, its own language.
#include <quillon/quillon.h>

#include <stdexcept>

#include "file_failure.h"
#include "messages.h"

namespace quillon::api {
namespace {

// The engine's result whose message the catalogue holds for an error.
std::optional<RunResult> catalogued(Error::Kind kind) {
    switch (kind) {
        case Error::Kind::OutOfMemory: return kOutOfMemory;
        case Error::Kind::SourceNotText: return kSourceNotText;
        case Error::Kind::SourceUnreadable: return kSourceUnreadable;
        // A scratch file stands in for the destination.
        case Error::Kind::DestinationUnwritable:
        case Error::Kind::ScratchFile: return kDestinationUnwritable;
        case Error::Kind::PlainAscii:
        case Error::Kind::BadOption: break;
    }
    return std::nullopt;
}

std::optional<RunResult> catalogued(Warning::Kind kind) {
    switch (kind) {
        case Warning::Kind::InvalidCode: return kInvalidCodeWarning;
        case Warning::Kind::Unmappable: return kUnmappableWarning;
        case Warning::Kind::HtmlAborted: return kHtmlAbortedWarning;
        case Warning::Kind::EndMark: break;
    }
    return std::nullopt;
}

std::optional<Message> messageFor(std::optional<RunResult> result) {
    if (!result) return std::nullopt;
    const std::optional<ResultMessage> message = resultMessage(*result);
    return Message{std::string(message->caption), std::string(message->text)};
}

}  // namespace

std::optional<Message> messageOf(Error::Kind kind) { return messageFor(catalogued(kind)); }

std::optional<Message> messageOf(Warning::Kind kind) { return messageFor(catalogued(kind)); }

std::string fileFailure(const std::string& path, int systemError, Error::Kind kind, const Translate& translate) {
    const std::optional<RunResult> result = catalogued(kind);
    if (!result) throw std::invalid_argument("an error of that kind names no file");
    return unicode::fileFailure(path, systemError, *result, translate);
}

int openError(const std::string& path) { return unicode::openError(path.c_str()); }

std::string endMarkWarning(std::int64_t offset, const std::string& sourceEncoding, const Translate& translate) {
    return unicode::endMarkWarning(offset, sourceEncoding.c_str(), translate);
}

}  // namespace quillon::api
