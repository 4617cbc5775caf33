#include "file_run.h"

#include <cstdio>

#include "error_output.h"

namespace quillon::cli {
namespace {

using Kind = FileOutcome::Kind;

// The code point of the UTF-8 character that `text` starts with.
char32_t firstCodePoint(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    const int trailing = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : 1;
    char32_t code = lead & (0x3F >> trailing);
    for (int i = 1; i <= trailing && std::size_t(i) < text.size(); ++i) {
        code = (code << 6) | (static_cast<unsigned char>(text[std::size_t(i)]) & 0x3F);
    }
    return code;
}

// " (N in all, the first at line L, column C: bytes XX XX)", or "character
// U+XXXX" in a Unicode source, for a warning the run could place.
std::string whereWarned(const api::Warning& warning) {
    if (warning.count == 0) return {};
    std::string text = " (" + std::to_string(warning.count) + " in all, the first at line " +
                       std::to_string(warning.line) + ", column " + std::to_string(warning.column);
    // A legacy source's bytes are spelled in hex digits; a character is itself.
    if (!warning.text.empty() && static_cast<unsigned char>(warning.text[0]) < 0x80) {
        text += ": bytes " + warning.text;
    } else if (!warning.text.empty()) {
        char code[32];
        std::snprintf(code, sizeof code, ": character U+%04X", static_cast<unsigned>(firstCodePoint(warning.text)));
        text += code;
    }
    return text + ")";
}

// The lines that tell a run's warnings; none when quiet.
std::string warningLines(const FileRun& run, const std::vector<api::Warning>& warnings) {
    std::string lines;
    if (run.quiet) return lines;
    for (const api::Warning& warning : warnings) {
        // The end mark is told after the source's name alone and in a batch.
        const bool named = run.batch || warning.kind == api::Warning::Kind::EndMark;
        lines += messageLine((named ? run.sourceName + ": " : "") + warning.message + whereWarned(warning));
    }
    return lines;
}

// A failure's message: the library's, named after the source where it does
// not name a file itself.
std::string failureText(const FileRun& run, const api::Error& error) {
    using ErrorKind = api::Error::Kind;
    switch (error.kind()) {
        case ErrorKind::PlainAscii: return run.sourceName + ": " + error.what();
        case ErrorKind::SourceUnreadable:
        case ErrorKind::SourceNotText:
        case ErrorKind::DestinationUnwritable: return error.what();
        case ErrorKind::BadOption:
        case ErrorKind::OutOfMemory:
        case ErrorKind::ScratchFile: break;
    }
    return (run.batch ? run.sourceName + ": " : "") + error.what();
}

}  // namespace

std::string scratchTrouble(std::string_view what) {
    return std::string(what).append(" in ").append(api::ScratchFile::folder());
}

FileOutcome outcomeOf(const FileRun& run, const std::function<api::Result()>& attempt) {
    try {
        const api::Result result = attempt();
        if (result.warnings.empty()) return {};
        return {.kind = Kind::Warned, .exitStatus = kExitWarning, .messages = warningLines(run, result.warnings)};
    } catch (const api::Error& error) {
        // Warnings of a complete output that then failed to take its place
        // are told before the failure.
        return {.kind = Kind::Failed,
                .exitStatus = kExitFailure,
                .messages = warningLines(run, error.warnings()) + messageLine(failureText(run, error))};
    }
}

FileOutcome runFile(const FileRun& run) {
    return outcomeOf(run, [&] { return api::runFile(*run.options, run.source, run.destination, run.names); });
}

}  // namespace quillon::cli
