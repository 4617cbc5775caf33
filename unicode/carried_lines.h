#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "code_point_stream.h"
#include "family_maps.h"
#include "text_formatter.h"

// Lines of legacy text on their way through a run, with the characters that
// travel beside the engine because the run cannot carry them.
namespace quillon::unicode {

inline constexpr char32_t kBox = 0x25A1;  // □, what the engine writes for a lost character

// A character that travels beside the engine: its place in a line of legacy
// text, where the line holds a box in its stead.
struct Carrier {
    std::size_t position;
    char32_t character;
};

inline void putPair(char* line, std::size_t position, CharCode code) {
    line[position] = static_cast<char>(code >> 8);
    line[position + 1] = static_cast<char>(code & 0xFF);
}

inline CharCode pairAt(const char* line, std::size_t position) {
    return static_cast<CharCode>(static_cast<unsigned char>(line[position]) << 8 |
                                 static_cast<unsigned char>(line[position + 1]));
}

// Writes lines of legacy text to the destination: converted by the engine from
// `from` to `to`, then as Unicode text or as the bytes of `to`, with the
// chosen line end.
class LineWriter {
public:
    LineWriter(TextFormatter& formatter, const EncodingProfile& from, const EncodingProfile& to,
               bool unicode, bool crLf, TextSink& sink)
        : formatter_(formatter), from_(from), to_(to), unicode_(unicode), crLf_(crLf),
          sink_(sink) {}

    // The line holds a box at the place of every carrier, in order of place.
    void write(char* line, std::size_t length, const std::vector<Carrier>& carriers,
               bool endsLine) {
        const bool converts = &from_ != &to_;
        // Characters inside HTML tags stay unconverted: a copy of the line
        // with a box for every character shows which ones the engine left.
        const bool probing = converts && formatter_.htmlAware() && !formatter_.htmlAborted;
        if (probing) probe(line, length);
        if (converts) formatter_.convertRunLine(line, length, from_, to_);

        if (!unicode_) {
            for (const Carrier& carrier : carriers) {
                putPair(line, carrier.position, to_.replacementCode());
                sawUnmappable = true;
            }
            sink_.writeBytes(line, length);
            if (endsLine) sink_.writeBytes(crLf_ ? "\r\n" : "\n", crLf_ ? 2 : 1);
            return;
        }

        const char32_t* const fromTable = maps_.decodeTable(from_);
        const char32_t* const toTable = maps_.decodeTable(to_);
        if (text_.size() < length + 2) text_.resize(length + 2);
        char32_t* const text = text_.data();
        std::size_t count = 0;
        auto carrier = carriers.begin();
        for (std::size_t pos = 0; pos < length;) {
            const auto lead = static_cast<unsigned char>(line[pos]);
            if (lead < 0x80) {
                text[count++] = lead;
                ++pos;
                continue;
            }
            if (pos + 1 == length) {  // a lead byte without its trail
                text[count++] = kBox;
                break;
            }
            const CharCode code = pairAt(line, pos);
            if (carrier != carriers.end() && carrier->position == pos) {
                text[count++] = (carrier++)->character;
            } else if (probing && pairAt(probe_.data(), pos) == from_.replacementCode()) {
                text[count++] = fromTable[code];
            } else {
                text[count++] = toTable[code];
            }
            pos += 2;
        }
        if (endsLine) {
            if (crLf_) text[count++] = '\r';
            text[count++] = '\n';
        }
        sink_.write(text, count);
    }

    bool sawUnmappable = false;

private:
    void probe(const char* line, std::size_t length) {
        probe_.assign(line, length);
        for (std::size_t pos = 0; pos + 1 < length;) {
            if (static_cast<unsigned char>(probe_[pos]) < 0x80) {
                ++pos;
            } else {
                putPair(probe_.data(), pos, from_.replacementCode());
                pos += 2;
            }
        }
        TextFormatter& f = formatter_;
        const auto saved = std::make_tuple(f.insideTag, f.htmlAborted, f.sawInvalidCode, f.sawUnmappable);
        f.convertText(probe_.data(), probe_.size(), from_, to_);
        std::tie(f.insideTag, f.htmlAborted, f.sawInvalidCode, f.sawUnmappable) = saved;
    }

    const FamilyMaps& maps_ = FamilyMaps::instance();
    TextFormatter& formatter_;
    const EncodingProfile& from_;
    const EncodingProfile& to_;
    const bool unicode_;
    const bool crLf_;
    TextSink& sink_;
    std::vector<char32_t> text_;
    std::string probe_;
};

// Puts characters into a line of `from`'s family for a run to `to`. What the
// run cannot carry becomes a carrier: beside the line, or under one of the
// family's private codes when the line has to pass through a whole engine run.
class LineEncoder {
public:
    LineEncoder(const EncodingProfile& from, const EncodingProfile& to, bool privateCodes)
        : maps_(FamilyMaps::instance()), from_(from), to_(to),
          table_(maps_.encodeTable(from, to)), privateCodes_(privateCodes) {
        if (privateCodes_) characterOfCode_.assign(0x10000, 0);
    }

    // Appends one or two bytes at line[length].
    void append(char32_t c, char* line, std::size_t& length, std::vector<Carrier>& carriers) {
        if (c < 0x80) {
            line[length++] = static_cast<char>(c);
            return;
        }
        CharCode code = 0;
        if (c == kInvalidMarker) {
            sawInvalid = true;
            c = kBox;
        } else if (c < FamilyMaps::kBmpSize) {
            code = table_[c];
        }
        if (code == 0 && !privateCodes_) {
            carriers.push_back({length, c});
            code = from_.replacementCode();
        } else if (code == 0) {
            code = privateCodeFor(c);
        }
        putPair(line, length, code);
        length += 2;
    }

    // Takes the carriers out of a line that went through an engine run.
    void recover(char* line, std::size_t length, std::vector<Carrier>& carriers) const {
        for (std::size_t pos = 0; pos + 1 < length;) {
            if (static_cast<unsigned char>(line[pos]) < 0x80) {
                ++pos;
                continue;
            }
            const CharCode code = pairAt(line, pos);
            if (const char32_t c = characterOfCode_[code]) {
                carriers.push_back({pos, c});
                putPair(line, pos, from_.replacementCode());
            }
            pos += 2;
        }
    }

    bool sawInvalid = false;
    bool sawUnmappable = false;

private:
    CharCode privateCodeFor(char32_t c) {
        if (const auto known = codeOfCharacter_.find(c); known != codeOfCharacter_.end()) {
            return known->second;
        }
        const std::vector<CharCode>& codes = maps_.privateCodes(from_);
        if (codeOfCharacter_.size() == codes.size()) {
            sawUnmappable = true;  // more distinct characters than codes to carry them
            return from_.replacementCode();
        }
        const CharCode code = codes[codeOfCharacter_.size()];
        codeOfCharacter_.emplace(c, code);
        characterOfCode_[code] = c;
        return code;
    }

    const FamilyMaps& maps_;
    const EncodingProfile& from_;
    const EncodingProfile& to_;
    const CharCode* const table_;
    const bool privateCodes_;
    std::vector<char32_t> characterOfCode_;
    std::unordered_map<char32_t, CharCode> codeOfCharacter_;
};

}  // namespace quillon::unicode
