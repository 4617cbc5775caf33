#pragma once

#include <cstddef>
#include <cstdint>

#include "encoding_profile.h"

namespace quillon {

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
    explicit EncodingTally(bool countsMarks = true);

    // The next bytes of the text. A lead byte that ends a block pairs with the
    // first byte of the next; one that ends the text is no character.
    void add(const unsigned char* bytes, std::size_t length);

    bool needsMarks() const { return !countsMarks_ && sawLowByte_; }
    // Whether the trail of a pair lies below 40, as no profile's trail does,
    // nor that of a GB18030 two-byte code. Known as far as the tally has
    // read: one without marks stops at the first byte below A1.
    bool sawStrayTrail() const { return sawStrayTrail_; }

    // kGbId, kGbkId, kBig5Id or kPureAscId for the text added so far.
    ProfileId verdict() const;

    std::int64_t gbMarks() const { return gbMarks_; }
    std::int64_t big5Marks() const { return big5Marks_; }

private:
    void addPair(unsigned lead, unsigned trail);
    template <bool kSeeksLowByte, bool kCountsMarks>
    bool addBlock(const unsigned char* bytes, bool startsWithTrail);

    const unsigned char* marks_;  // by code less 8000: GB marks low nibble, Big5 high
    const bool countsMarks_;
    std::int64_t gbMarks_ = 0;
    std::int64_t big5Marks_ = 0;
    bool sawDoubleByte_ = false;
    bool sawLowByte_ = false;  // a lead or trail byte below A1
    bool sawStrayTrail_ = false;
    bool hasPendingLead_ = false;
    unsigned char pendingLead_ = 0;
};

}  // namespace quillon
