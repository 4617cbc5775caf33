// Deciding a run's source and target profiles.
#include <algorithm>

#include "character_classes.h"
#include "line_reader.h"
#include "messages.h"
#include "run_options.h"
#include "text_formatter.h"

namespace quillon {
namespace {

// The marks whose frequency tells GB text from Big5 text: blank, full stop,
// comma, colon and the character 的, each in the profile's own coding.
bool isCommonMark(const EncodingProfile& profile, CharCode code) {
    using enum CharClass;
    constexpr ClassSet kMarks = 1u << int(Blank) | 1u << int(Period) | 1u << int(Comma) |
                                1u << int(Colon);
    return (doubleByteClassesOf(profile, code) & kMarks) != 0 || code == profile.headingWords[0];
}

}  // namespace

RunResult TextFormatter::detectEncoding(const char* sourcePath, std::int32_t& result) {
    LineReader source;
    if (!source.open(sourcePath)) return failedSystemCall(kSourceUnreadable, source.error());

    std::int32_t gbkCount = 0;
    std::int32_t big5Count = 0;
    unsigned lowestLead = 0xFF;
    unsigned lowestTrail = 0xFF;
    bool sawDoubleByte = false;

    char* line = lineBuffer();
    while (const int end = source.readLine(line, kBufferSize)) {
        // The newline stays part of the line: a lead byte before it pairs with it.
        for (int pos = 0; pos < end;) {
            const CharAt c = readCharAt(line, pos, end);
            pos += c.width;
            if (!isDoubleByte(c.code)) continue;
            sawDoubleByte = true;
            lowestLead = std::min(lowestLead, unsigned(c.code >> 8));
            lowestTrail = std::min(lowestTrail, unsigned(c.code & 0xFF));
            if (isCommonMark(profiles::GB, c.code)) ++gbkCount;
            if (isCommonMark(profiles::BIG5, c.code)) ++big5Count;
        }
    }
    source.close();
    // A source that stopped reading half-way would be judged on part of its text.
    if (source.failed()) return failedSystemCall(kSourceUnreadable, source.error());

    if (!sawDoubleByte) {
        result = kPureAscId;
    } else if (lowestLead >= 0xA1 && lowestTrail >= 0xA1) {
        result = kGbId;
    } else if (gbkCount > big5Count) {
        result = kGbkId;
    } else {
        result = kBig5Id;  // a tie, 0 against 0 included
    }
    return kSuccess;
}

// A target that cannot be derived from the options keeps the previous run's;
// before any run has chosen one, it is the source profile itself, so nothing
// is converted.
RunResult TextFormatter::selectProfiles(const char* sourcePath) {
    std::int32_t sourceId = sourceEncoding_;
    if (sourceEncoding_ == kSourceAuto) {
        if (detectEncoding(sourcePath, sourceId) != kSuccess) return kSourceUnreadable;
    }
    // Any value without a profile of its own reads as plain ASCII.
    const EncodingProfile* source = profileById(sourceId);
    sourceProfile = source ? source : &profiles::PureASC;
    if (sourceEncoding_ == kSourceAuto) trace("%s encoding is detected.", sourceProfile->name);

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
    if (outputEncoding_ == kOutputDifferent) trace("Convert to %s encoding.", targetProfile->name);
    return kSuccess;
}

}  // namespace quillon
