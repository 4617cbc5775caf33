// Deciding a run's source and target profiles.
#include "encoding_tally.h"
#include "messages.h"
#include "run_options.h"
#include "text_file.h"
#include "text_formatter.h"

namespace quillon {

namespace {

// Tallies a file as it is stored, up to a 1A that ends it: a pair whose trail
// is the CR of a CR LF is judged as it would be with the LF, its trail below
// A1 and no mark. Stops early when the tally needs its marks. Returns 0, or
// the errno of a failed open or read: a source that stopped reading half-way
// would be judged on part of its text.
int tallyFile(const char* path, EncodingTally& tally) {
    TextReader source;
    if (!source.open(path)) return source.error();
    for (auto block = source.readBlock(); !block.empty() && !tally.needsMarks();
         block = source.readBlock()) {
        tally.add(block.data(), block.size());
    }
    source.close();
    return source.failed() ? source.error() : 0;
}

}  // namespace

void TextFormatter::setKnownDetection(const char* sourcePath, std::int32_t profileId) {
    knownDetectionPath_ = profileId != 0 ? sourcePath : "";
    knownDetection_ = profileId;
}

RunResult TextFormatter::detectEncoding(const char* sourcePath, std::int32_t& result) {
    if (knownDetection_ != 0 && knownDetectionPath_ == sourcePath) {
        result = knownDetection_;
        return kSuccess;
    }
    // The marks are counted only when a byte below A1 shows that they decide;
    // the text is then read again from its start.
    EncodingTally scan(false);
    int error = tallyFile(sourcePath, scan);
    EncodingTally counted;
    if (error == 0 && scan.needsMarks()) error = tallyFile(sourcePath, counted);
    if (error != 0) return failedSystemCall(kSourceUnreadable, error);
    result = scan.needsMarks() ? counted.verdict() : scan.verdict();
    return kSuccess;
}

RunResult TextFormatter::selectProfiles(const char* sourcePath) {
    std::int32_t sourceId = sourceEncoding_;
    if (sourceEncoding_ == kSourceAuto) {
        if (detectEncoding(sourcePath, sourceId) != kSuccess) return kSourceUnreadable;
    }
    chooseProfiles(sourceId);
    traceProfiles();
    return kSuccess;
}

// A target that cannot be derived from the options keeps the previous run's;
// before any run has chosen one, it is the source profile itself, so nothing
// is converted.
void TextFormatter::chooseProfiles(std::int32_t sourceId) {
    // Any value without a profile of its own reads as plain ASCII.
    const EncodingProfile* source = profileById(sourceId);
    sourceProfile = source ? source : &profiles::PureASC;

    const EncodingProfile* kept = targetProfile ? targetProfile : sourceProfile;
    switch (outputEncoding_) {
        case kOutputSame: targetProfile = sourceProfile; break;
        case kGbId:
        case kGbkId:
        case kBig5Id: targetProfile = profileById(outputEncoding_); break;
        case kOutputDifferent:
            if (sourceProfile->id == kGbId || sourceProfile->id == kGbkId) {
                targetProfile = &profiles::BIG5;
            } else if (sourceProfile->id == kBig5Id) {
                targetProfile = &profiles::GB;
            } else {
                targetProfile = kept;
            }
            break;
        default: targetProfile = kept; break;
    }
}

void TextFormatter::traceProfiles() const {
    if (sourceEncoding_ == kSourceAuto) trace("%s encoding is detected.", sourceProfile->name);
    if (outputEncoding_ == kOutputDifferent) trace("Convert to %s encoding.", targetProfile->name);
}

}  // namespace quillon
