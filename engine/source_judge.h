#pragma once

#include <cstdint>
#include <span>

namespace quillon {

// Tells the encoding of a source from its blocks as a run reads them, for a
// run that detects its source in its own read (TextFormatter::convertFile
// and formatFile with a judge).
class SourceJudge {
public:
    virtual ~SourceJudge() = default;

    // The next block of the source as it is stored. False once the source
    // cannot be judged in this read: the run then stops reading.
    virtual bool add(std::span<const unsigned char> block) = 0;
    // The id of the legacy profile (kGbId, kGbkId, kBig5Id or kPureAscId)
    // that detection gives the blocks added so far, or 0 when it gives none:
    // a Unicode text, or one that cannot be judged in this read.
    virtual std::int32_t verdict() const = 0;
    // Asked once the first block has been added, by a run that meets every
    // pair of the source itself and tells when one has a byte below A1: true
    // when the judge stops looking for such pairs, because only one of them
    // could still change its verdict. The run then stands only if it met none.
    virtual bool leaveLowBytesToRun() { return false; }

protected:
    SourceJudge() = default;
    SourceJudge(const SourceJudge&) = default;
    SourceJudge& operator=(const SourceJudge&) = default;
};

}  // namespace quillon
