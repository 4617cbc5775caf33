#pragma once

#include <cstddef>
#include <cstdint>

#include "encoding_profile.h"

namespace quillon {

// How many bytes the tally's scan tests at once: sixteen, or thirty-two
// where the processor has AVX2. Both find the same.
enum class TallyLanes { Narrow, Wide };
// Wide where the processor runs it, else Narrow.
TallyLanes widestTallyLanes();

// What tells the encodings of a text apart, gathered over its bytes block by
// block: whether it holds double-byte characters at all, whether any byte of
// one lies below A1 (which rules out GB), and how many common marks it holds
// in GB's coding and in Big5's. The counts are 64-bit: a text of a few
// gigabytes can hold more than 2^31 marks.
class EncodingTally {
public:
    // Counting the marks is most of the work, and only a text with a byte
    // below A1 needs the counts. A tally made without `countsMarks` skips
    // them; needsMarks() then tells when the text must be tallied again, from
    // its start, with them.
    // Wide lanes are taken only where the processor runs them.
    explicit EncodingTally(bool countsMarks = true, TallyLanes lanes = TallyLanes::Wide);

    // The next bytes of the text. A lead byte that ends a block pairs with the
    // first byte of the next; one that ends the text is no character.
    void add(const unsigned char* bytes, std::size_t length);

    bool needsMarks() const { return !countsMarks_ && found_.sawLowByte; }
    // Whether the trail of a pair lies below 40, as no profile's trail does,
    // nor that of a GB18030 two-byte code. Known as far as the tally has
    // read: one without marks stops at the first byte below A1.
    bool sawStrayTrail() const { return found_.sawStrayTrail; }

    // kGbId, kGbkId, kBig5Id or kPureAscId for the text added so far.
    ProfileId verdict() const;

    std::int64_t gbMarks() const { return found_.gbMarks; }
    std::int64_t big5Marks() const { return found_.big5Marks; }

    // What the bytes added so far have shown.
    struct Findings {
        std::int64_t gbMarks = 0;
        std::int64_t big5Marks = 0;
        bool sawDoubleByte = false;
        bool sawLowByte = false;  // a lead or trail byte below A1
        bool sawStrayTrail = false;
    };

private:
    Findings found_;
    const bool countsMarks_;
    const TallyLanes lanes_;
    bool hasPendingLead_ = false;
    unsigned char pendingLead_ = 0;
};

}  // namespace quillon
