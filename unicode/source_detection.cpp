#include "source_detection.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <span>

#include "byte_masks.h"
#include "code_point_stream.h"
#include "encoding_tally.h"
#include "encoding_profile.h"
#include "source_judge.h"
#include "text_formatter.h"

namespace quillon::unicode {
namespace {

// Follows a byte stream through UTF-8's rules (no overlong forms, no
// surrogates, nothing past U+10FFFF).
class Utf8Check {
public:
    void take(unsigned char byte) {
        if (remaining_ > 0) {
            if (byte < low_ || byte > high_) valid_ = false;
            --remaining_;
            low_ = 0x80;
            high_ = 0xBF;
            return;
        }
        if (byte < 0x80 || !valid_) return;
        nonAscii_ = true;
        if (byte >= 0xC2 && byte <= 0xDF) {
            expect(1, 0x80, 0xBF);
        } else if (byte >= 0xE0 && byte <= 0xEF) {
            expect(2, byte == 0xE0 ? 0xA0 : 0x80, byte == 0xED ? 0x9F : 0xBF);
        } else if (byte >= 0xF0 && byte <= 0xF4) {
            expect(3, byte == 0xF0 ? 0x90 : 0x80, byte == 0xF4 ? 0x8F : 0xBF);
        } else {
            valid_ = false;
        }
    }
    bool possible() const { return valid_; }
    bool isUtf8Text() const { return valid_ && remaining_ == 0 && nonAscii_; }
    // Whether the text read so far may turn out UTF-8 text.
    bool mayBeUtf8Text() const { return valid_ && nonAscii_; }

private:
    void expect(int remaining, unsigned char low, unsigned char high) {
        remaining_ = remaining;
        low_ = low;
        high_ = high;
    }
    bool valid_ = true;
    bool nonAscii_ = false;
    int remaining_ = 0;
    unsigned char low_ = 0x80;
    unsigned char high_ = 0xBF;
};

// Follows a byte stream through GB18030's structure: single bytes, two-byte
// codes and four-byte codes whose first byte lies where Unicode is mapped.
class Gb18030Check {
public:
    void take(unsigned char byte) {
        switch (state_) {
            case 0:
                if (byte >= 0x81 && byte <= 0xFE) {
                    first_ = byte;
                    state_ = 1;
                } else if (byte >= 0x80) {
                    state_ = kInvalid;
                }
                break;
            case 1:
                if (byte >= 0x30 && byte <= 0x39) {
                    const bool mapped = first_ <= 0x84 || (first_ >= 0x90 && first_ <= 0xE3);
                    state_ = mapped ? 2 : kInvalid;
                } else {
                    state_ = byte >= 0x40 && byte <= 0xFE && byte != 0x7F ? 0 : kInvalid;
                }
                break;
            case 2: state_ = byte >= 0x81 && byte <= 0xFE ? 3 : kInvalid; break;
            case 3:
                state_ = byte >= 0x30 && byte <= 0x39 ? 0 : kInvalid;
                fourByte_ = true;
                break;
            default: break;
        }
    }
    // Sixty-four bytes. Where each is a single byte or a byte of a two-byte
    // code, as in all of a GB or Big5 text, the lead bytes tell the structure
    // at once; anything else is followed a byte at a time.
    void takeBlock(const unsigned char* bytes) {
        using namespace byte_masks;
        if (state_ <= 1) {
            const bool startsWithTrail = state_ == 1;
            const std::uint64_t leads = leadBytes(bitsOf64(bytes, highBits16), startsWithTrail);
            const std::uint64_t trails = leads << 1 | (startsWithTrail ? 1 : 0);
            // 80 and FF lead nothing; a byte below 40 after a lead is part of
            // a four-byte code or none, 7F none.
            const std::uint64_t unusual = bitsOf64(bytes, [](const unsigned char* b) {
                return equalBits16(b, 0x80) | equalBits16(b, 0xFF);
            });
            const std::uint64_t noTrail = bitsOf64(bytes, [](const unsigned char* b) {
                return belowBits16(b, 0x40) | equalBits16(b, 0x7F);
            });
            if (unusual == 0 && (trails & noTrail) == 0) {
                state_ = int(leads >> 63);
                first_ = bytes[63];
                return;
            }
        }
        for (int i = 0; i < 64; ++i) take(bytes[i]);
    }
    bool possible() const { return state_ != kInvalid; }
    bool isGb18030Text() const { return state_ == 0 && fourByte_; }
    bool mayBeGb18030Text() const { return possible() && fourByte_; }

private:
    static constexpr int kInvalid = 4;
    int state_ = 0;
    unsigned char first_ = 0;
    bool fourByte_ = false;
};

const char* chartOf(std::int32_t profileId) { return profileId == kBig5Id ? "Big5" : "GBK"; }

}  // namespace

const char* nameOf(UnicodeEncoding encoding) {
    switch (encoding) {
        case UnicodeEncoding::Utf8: return "UTF-8";
        case UnicodeEncoding::Utf16Le: return "UTF-16LE";
        case UnicodeEncoding::Utf16Be: return "UTF-16BE";
        case UnicodeEncoding::Gb18030: return "GB18030";
        case UnicodeEncoding::None: break;
    }
    return "";
}

const char* nameOf(Form form) {
    return form == Form::Simplified ? "simplified" : form == Form::Traditional ? "traditional" : "none";
}

const char* nameOf(LineEndStyle style) {
    switch (style) {
        case LineEndStyle::Lf: return "LF";
        case LineEndStyle::CrLf: return "CRLF";
        case LineEndStyle::Mixed: return "mixed";
        case LineEndStyle::None: break;
    }
    return "none";
}

namespace {

// One pass over a file: which Unicode encodings it may be in, and, for the
// legacy algorithm, the tally of its bytes up to a 1A that ends it.
class SourceScan {
public:
    // How much a pass follows. A GB18030 text has a four-byte code, whose
    // second byte is a trail below 40 to the tally: a text read to its end
    // without one needs no GB18030 check. Without a byte below A1 it needs no
    // marks either.
    enum class Depth { WithoutMarks, WithoutGb18030, Thorough };

    SourceScan(bool tallies, Depth depth)
        : depth_(depth), tallying_(tallies), tally_(depth != Depth::WithoutMarks) {}

    // Reads the file from where it stands until nothing more can be learnt.
    // False on a read error that the Unicode answer depends on.
    bool read(std::FILE* file, unsigned char* buffer, std::size_t size, std::size_t got) {
        for (; got > 0 && (unicodePossible() || tallying_); got = std::fread(buffer, 1, size, file)) {
            take(buffer, got);
            if (!settles()) return true;
        }
        // Only the tally was still reading: the legacy detection meets the error itself.
        if (std::ferror(file)) return !unicodePossible();
        // A tally still open has read to the end.
        if (tallying_) readToEnd_ = true;
        return true;
    }

    // Whether the answers stand, or a deeper pass must give them.
    bool settled() const { return depth_ == Depth::Thorough || (readToEnd_ && settles()); }

    UnicodeEncoding found() const {
        if (utf8_.isUtf8Text()) return UnicodeEncoding::Utf8;
        if (gb18030_.isGb18030Text()) return UnicodeEncoding::Gb18030;
        return UnicodeEncoding::None;
    }
    // The legacy profile when the whole text was tallied, else 0.
    std::int32_t legacyProfile() const { return readToEnd_ || sawEndMark_ ? talliedProfile() : 0; }

    // The next bytes of the text, for a pass fed by its caller.
    void take(std::span<const unsigned char> bytes) { take(bytes.data(), bytes.size()); }
    // Whether the tally has stopped at a 1A.
    bool sawEndMark() const { return sawEndMark_; }
    // Whether what has been read so far leaves the answers to this pass.
    bool settles() const {
        switch (depth_) {
            case Depth::WithoutMarks: return !tally_.needsMarks();
            case Depth::WithoutGb18030: return !tally_.sawStrayTrail();
            case Depth::Thorough: break;
        }
        return true;
    }
    // Stops looking for pairs with a byte below A1 when nothing else could
    // change the answers: a pass without marks, over a text that can no
    // longer be UTF-8. Returns whether it has.
    bool leaveLowBytes() {
        lowBytesLeft_ = depth_ == Depth::WithoutMarks && !utf8_.possible() && tallying_ && !tally_.needsMarks();
        return lowBytesLeft_;
    }
    // The legacy profile of the text taken so far, if it is none of the
    // Unicode encodings, else 0; 0 too while the tally lacks marks it needs.
    std::int32_t profileSoFar() const {
        const bool mayBeUnicode = utf8_.mayBeUtf8Text() || (checksGb18030() && gb18030_.mayBeGb18030Text());
        return mayBeUnicode ? 0 : talliedProfile();
    }

private:
    std::int32_t talliedProfile() const { return tally_.needsMarks() ? 0 : tally_.verdict(); }
    bool checksGb18030() const { return depth_ == Depth::Thorough; }
    bool unicodePossible() const { return utf8_.possible() || (checksGb18030() && gb18030_.possible()); }

    void take(const unsigned char* bytes, std::size_t length) {
        if (utf8_.possible()) {
            for (std::size_t i = 0; i < length; ++i) utf8_.take(bytes[i]);
        }
        if (checksGb18030() && gb18030_.possible()) {
            std::size_t i = 0;
            for (; i + 64 <= length; i += 64) gb18030_.takeBlock(bytes + i);
            for (; i < length; ++i) gb18030_.take(bytes[i]);
        }
        if (tallying_) {
            const auto* const endMark = static_cast<const unsigned char*>(std::memchr(bytes, 0x1A, length));
            if (!lowBytesLeft_) tally_.add(bytes, endMark ? std::size_t(endMark - bytes) : length);
            if (endMark != nullptr) {
                tallying_ = false;
                sawEndMark_ = true;
            }
        }
    }

    Utf8Check utf8_;
    Gb18030Check gb18030_;
    const Depth depth_;
    bool tallying_;
    bool readToEnd_ = false;   // tallied to the end of the file
    bool sawEndMark_ = false;  // tallied up to a 1A
    bool lowBytesLeft_ = false;  // to the caller, who tells whether a pair has one
    EncodingTally tally_;
};

// The encoding that a byte-order mark at the start of `first` names.
std::optional<UnicodeEncoding> byteOrderMarkOf(std::span<const unsigned char> first) {
    const auto startsWith = [&](std::initializer_list<unsigned char> mark) {
        return first.size() >= mark.size() && std::equal(mark.begin(), mark.end(), first.begin());
    };
    if (startsWith({0xEF, 0xBB, 0xBF})) return UnicodeEncoding::Utf8;
    if (startsWith({0xFF, 0xFE})) return UnicodeEncoding::Utf16Le;
    if (startsWith({0xFE, 0xFF})) return UnicodeEncoding::Utf16Be;
    return std::nullopt;
}

// What detectUnicodeEncoding finds, judged from the blocks a run reads: the
// pass that the first block shows to be needed, taken over every block. A
// text that shows later that it needs a deeper pass cannot be judged so, nor
// one that holds a 1A, where the run stops reading and detection does not.
class OneReadJudge final : public SourceJudge {
public:
    bool add(std::span<const unsigned char> block) override {
        if (!judgeable_) return false;
        if (!scan_) {
            judgeable_ = !byteOrderMarkOf(block);
            if (!judgeable_) return false;
            startScan(block);
        } else {
            scan_->take(block);
            judgeable_ = scan_->settles();
        }
        judgeable_ = judgeable_ && !scan_->sawEndMark();
        return judgeable_;
    }
    std::int32_t verdict() const override { return judgeable_ && scan_ ? scan_->profileSoFar() : 0; }
    bool leaveLowBytesToRun() override { return judgeable_ && scan_ && scan_->leaveLowBytes(); }

private:
    void startScan(std::span<const unsigned char> block) {
        using enum SourceScan::Depth;
        for (const SourceScan::Depth depth : {WithoutMarks, WithoutGb18030, Thorough}) {
            scan_.emplace(true, depth);
            scan_->take(block);
            if (scan_->settles()) return;
        }
    }

    std::optional<SourceScan> scan_;
    bool judgeable_ = true;
};

}  // namespace

std::unique_ptr<SourceJudge> makeOneReadJudge() { return std::make_unique<OneReadJudge>(); }

std::optional<UnicodeEncoding> detectUnicodeEncoding(const SourceText& source, std::int32_t* legacyProfile) {
    if (legacyProfile != nullptr) *legacyProfile = 0;
    const FilePtr file = source.open();
    if (!file) return std::nullopt;

    static constexpr std::size_t kBufferSize = 1 << 18;
    auto buffer = std::make_unique_for_overwrite<unsigned char[]>(kBufferSize);
    std::size_t got = std::fread(buffer.get(), 1, kBufferSize, file.get());
    if (const auto marked = byteOrderMarkOf({buffer.get(), got})) return *marked;

    // Reading stops as soon as neither Unicode encoding can be the answer,
    // unless the legacy tally is wanted too. A pass that cannot settle the
    // answers gives way to a deeper one, which reads from the start again.
    const bool tallies = legacyProfile != nullptr;
    using enum SourceScan::Depth;
    std::optional<SourceScan> scan;
    for (const SourceScan::Depth depth : {WithoutMarks, WithoutGb18030, Thorough}) {
        if (!tallies && depth != Thorough) continue;
        if (scan) {
            std::rewind(file.get());
            got = std::fread(buffer.get(), 1, kBufferSize, file.get());
        }
        scan.emplace(tallies, depth);
        if (!scan->read(file.get(), buffer.get(), kBufferSize, got)) return std::nullopt;
        if (scan->settled()) break;
    }
    if (tallies && scan->found() == UnicodeEncoding::None) *legacyProfile = scan->legacyProfile();
    return scan->found();
}

std::optional<SourceDescription> describeSource(const char* path) {
    std::int32_t id = 0;
    const std::optional<UnicodeEncoding> unicode = detectUnicodeEncoding(path, &id);
    if (!unicode) return std::nullopt;
    SourceDescription description;
    const char* chart = nullptr;
    if (*unicode != UnicodeEncoding::None) {
        description.encoding = nameOf(*unicode);
        chart = nameOf(*unicode);
    } else {
        TextFormatter formatter;
        if (!formatter.hasBuffers()) return std::nullopt;
        formatter.setKnownDetection(path, id);
        if (formatter.detectEncoding(path, id) != kSuccess) return std::nullopt;
        description.encoding = profileById(id)->name;
        chart = chartOf(id);
    }

    CodePointReader reader;
    if (!reader.open(path, chart)) return std::nullopt;
    const FamilyMaps& maps = FamilyMaps::instance();
    FormCount count;
    std::uint64_t crlf = 0;
    std::uint64_t lf = 0;
    char32_t previous = 0;
    char32_t text[4096];
    while (const std::size_t n = reader.read(text, std::size(text))) {
        for (std::size_t i = 0; i < n; ++i) {
            if (text[i] == '\n') ++(previous == '\r' ? crlf : lf);
            maps.count(text[i], count);
            previous = text[i];
        }
    }
    if (reader.failed()) return std::nullopt;
    description.form = count.form();
    description.lineEnds = crlf == 0 && lf == 0 ? LineEndStyle::None
                           : crlf == 0          ? LineEndStyle::Lf
                           : lf == 0            ? LineEndStyle::CrLf
                                                : LineEndStyle::Mixed;
    return description;
}

}  // namespace quillon::unicode
