// The frame of every run: its profiles chosen, its files opened around what
// the run does with the text, and the run finished.
#include "line_reader.h"
#include "run_options.h"
#include "source_judge.h"
#include "text_file.h"
#include "text_formatter.h"

namespace quillon {

RunResult TextFormatter::runFile(const char* sourcePath, const char* destinationPath, bool needsChinese,
                                 const RunBody& body) {
    if (const std::optional<RunResult> refused = startRun(sourcePath, needsChinese)) return *refused;
    LineReader source;
    if (!source.open(sourcePath)) return failedSystemCall(kSourceUnreadable, source.error());
    TextWriter destination;
    if (!destination.open(destinationPath)) return failedSystemCall(kDestinationUnwritable, destination.error());
    return runOpened(source, destination, body);
}

RunResult TextFormatter::runStreams(LineReader& source, TextWriter& destination, bool needsChinese,
                                    const RunBody& body) {
    // Streams are not read twice: their encoding is the one the options name.
    if (sourceEncoding_ == kSourceAuto) return kSourceUnreadable;
    if (const std::optional<RunResult> refused = startRun(nullptr, needsChinese)) return *refused;
    return runOpened(source, destination, body);
}

std::optional<RunResult> TextFormatter::startRun(const char* sourcePath, bool needsChinese) {
    clearRunReport();
    if (selectProfiles(sourcePath) != kSuccess) return kSourceUnreadable;
    if (needsChinese && sourceProfile->id == kPureAscId) return kPlainAsciiSource;
    clearConversionFlags();
    return std::nullopt;
}

RunResult TextFormatter::runOpened(LineReader& source, TextWriter& destination, const RunBody& body) {
    // A full disk ends the run at once, rather than after the whole source.
    source.watchBlocks([&](std::span<const unsigned char>) { return !destination.failed(); });
    body(source, destination);
    return finishRun(source, destination);
}

// Whatever is out of the way (an unreadable source, a destination that could
// not be taken back, a first block without a Chinese character) is left to
// the usual run, which meets it and reports it as it always has.
//
// A conversion from GB meets every pair that would rule GB out as an invalid
// one of its own: the judge may leave those pairs to it. A run that meets
// one reads no further block and stands down.
std::optional<RunResult> TextFormatter::runJudgingAsRead(const char* sourcePath, const char* destinationPath,
                                                         SourceJudge& judge, const RunBody& body, bool converts) {
    LineReader source;
    if (!source.open(sourcePath)) return std::nullopt;
    TextWriter destination;
    return runJudgingAsRead(
        source, [&] { return destination.open(destinationPath, true) ? &destination : nullptr; }, judge, body,
        converts);
}

std::optional<RunResult> TextFormatter::runJudgingAsRead(LineReader& source,
                                                         const std::function<TextWriter*()>& openDestination,
                                                         SourceJudge& judge, const RunBody& body, bool converts) {
    bool lowBytesLeftToRun = false;
    const TextWriter* written = nullptr;
    source.watchBlocks([&](std::span<const unsigned char> block) {
        return judge.add(block) && !(lowBytesLeftToRun && sawLowBytePair_) && !(written && written->failed());
    });
    if (source.atEnd()) return std::nullopt;
    const std::int32_t firstBlock = judge.verdict();
    if (firstBlock == 0 || firstBlock == kPureAscId) return std::nullopt;
    TextWriter* const destination = openDestination();
    if (destination == nullptr) return std::nullopt;
    written = destination;

    const EncodingProfile* const previousSource = sourceProfile;
    const EncodingProfile* const previousTarget = targetProfile;
    clearRunReport();
    chooseProfiles(firstBlock);
    clearConversionFlags();
    lowBytesLeftToRun = converts && convertMeetsLowBytes() && judge.leaveLowBytesToRun();
    body(source, *destination);
    if (!source.failed() && judge.verdict() == firstBlock && !(lowBytesLeftToRun && sawLowBytePair_)) {
        traceProfiles();
        return finishRun(source, *destination);
    }
    // The destination drops what was written as it goes.
    sourceProfile = previousSource;
    targetProfile = previousTarget;
    return std::nullopt;
}

}  // namespace quillon
