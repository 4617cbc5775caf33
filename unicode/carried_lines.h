#pragma once

#include <cstring>
#include <optional>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include <unicode/utf8.h>

#include "chinese_conversion.h"
#include "code_point_stream.h"
#include "family_maps.h"
#include "meta_charset.h"
#include "text_formatter.h"

// Lines of legacy text on their way through a run, with the characters that
// travel beside the engine because the run cannot carry them.
namespace quillon::unicode {

inline constexpr char16_t kBox = 0x25A1;  // □, what the engine writes for a lost character

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

// Writes legacy text to the destination: converted by the engine from `from`
// to `to`, then as Unicode text or as the bytes of `to`, each LF as the chosen
// line end.
class LineWriter {
public:
    LineWriter(TextFormatter& formatter, const EncodingProfile& from, const EncodingProfile& to,
               bool unicode, bool crLf, TextSink& sink)
        : formatter_(formatter), from_(from), to_(to), unicode_(unicode), crLf_(crLf),
          sink_(sink) {}

    // Whole lines, LF included, or a piece of a long line; the engine takes
    // them in one call, so with phrases or tags at work they are one line or
    // piece. The text holds a box at the place of every carrier, in order of
    // place.
    void write(char* text, std::size_t length, const std::vector<Carrier>& carriers) {
        const std::size_t content = length - (length > 0 && text[length - 1] == '\n');
        const bool converts = convertsThroughEngine();
        // Characters inside HTML tags stay unconverted: a copy of the line
        // with a box for every character shows which ones the engine left.
        const bool probing = converts && formatter_.htmlAware() && !formatter_.htmlAborted;
        if (probing) probe(text, content);
        // Unicode output keeps what is no hanzi as it went into the conversion.
        if (converts && unicode_) unconverted_.assign(text, content);
        if (converts) formatter_.convertRunLine(text, content, from_, to_);
        if (unicode_) {
            writeUnicode(text, length, carriers, converts, probing);
        } else {
            if (probing) recodeTagText(text, content);
            writeLegacy(text, length, carriers);
        }
    }

    // Whether the writer converts the text by the formatter's tables, and so
    // uses the formatter's state.
    bool convertsThroughEngine() const { return &from_ != &to_; }
    // Whether many lines written at once come out as each written alone:
    // true unless something the writer does may look past a line end.
    bool takesLinesTogether() const { return !convertsThroughEngine() && converter_ == nullptr && charset_.empty(); }

    // Whether the engine's output may skip the writer and go to the sink in
    // blocks (EngineUtf8Blocks): Unicode text as the engine left it, with
    // nothing looking at its lines, to a sink that takes UTF-8 as it is.
    bool writesBlocks() const { return unicode_ && takesLinesTogether() && sink_.takesUtf8AsIs(); }
    const EncodingProfile& family() const { return from_; }
    bool writesCrLf() const { return crLf_; }

    // Unicode text is written converted by `converter` as well, whole lines
    // at a time.
    void convertBy(ChineseConverter* converter) { converter_ = converter; }

    // HTML is written with its <meta> tags naming `charset`, the encoding
    // written.
    void nameCharset(std::string_view charset) { charset_ = charset; }

    bool sawInvalid = false;
    bool sawUnmappable = false;

private:
    // The engine leaves the characters inside tags in the bytes of `from`'s
    // family: they become the same characters in the bytes of `to`.
    void recodeTagText(char* text, std::size_t length) {
        const Utf8Code* const fromTable = maps_.utf8Table(from_);
        for (std::size_t pos = 0; pos + 1 < length;) {
            if (static_cast<unsigned char>(text[pos]) < 0x80) {
                ++pos;
                continue;
            }
            if (pairAt(probe_.data(), pos) == from_.replacementCode()) {
                const Utf8Code character = fromTable[pairAt(text, pos) - FamilyMaps::kFirstPair];
                CharCode code = character != 0 ? maps_.encode(to_, to_, characterOf(character)) : 0;
                if (code == 0) {
                    code = to_.replacementCode();
                    sawUnmappable = true;
                }
                putPair(text, pos, code);
            }
            pos += 2;
        }
    }

    void writeLegacy(char* text, std::size_t length, const std::vector<Carrier>& carriers) {
        for (const Carrier& carrier : carriers) {
            putPair(text, carrier.position, to_.replacementCode());
            sawUnmappable = true;
        }
        if (charsetNamed({text, length})) {
            text = named_.data();
            length = named_.size();
        }
        for (std::size_t start = 0; start < length;) {
            const void* const lineFeed = std::memchr(text + start, '\n', length - start);
            const std::size_t end =
                lineFeed ? static_cast<std::size_t>(static_cast<const char*>(lineFeed) - text) : length;
            sink_.writeBytes(text + start, end - start);
            if (lineFeed) sink_.writeBytes(crLf_ ? "\r\n" : "\n", crLf_ ? 2 : 1);
            start = end + 1;
        }
    }

    // The character a pair the engine converted is written as: the converted
    // one for a hanzi, the one it was for anything else and inside a tag.
    Utf8Code convertedCharacter(std::size_t pos, Utf8Code converted, bool probing) const {
        const Utf8Code original = maps_.utf8Table(from_)[pairAt(unconverted_.data(), pos) - FamilyMaps::kFirstPair];
        if (probing && pairAt(probe_.data(), pos) == from_.replacementCode()) return original;
        if (original == 0 || original == converted || isHanzi(characterOf(original))) return converted;
        return original;
    }

    void writeUnicode(const char* text, std::size_t length, const std::vector<Carrier>& carriers,
                      bool converts, bool probing) {
        const Utf8Code* const toTable = maps_.utf8Table(to_);
        // A byte becomes three at most (a lead without its trail, a box), and
        // a copy writes a byte past the character.
        if (utf8_.size() < 3 * length + 1) utf8_.resize(3 * length + 1);
        auto* out = reinterpret_cast<std::uint8_t*>(utf8_.data());
        std::size_t count = 0;
        const auto put = [&](Utf8Code code) { count = static_cast<std::size_t>(putUtf8(out + count, code) - out); };
        const auto putInvalid = [&] {
            put(kBoxUtf8);
            sawInvalid = true;
        };
        // Most text is ASCII and characters of the source's own, written as
        // they are, in runs between the carriers.
        const Utf8Code* const ownTable = converts ? nullptr : ownTable_;
        auto carrier = carriers.begin();
        std::size_t carrierPosition = carrier != carriers.end() ? carrier->position : length;
        for (std::size_t pos = 0; pos < length;) {
            if (ownTable != nullptr) {
                const std::size_t stop = std::min(carrierPosition, length - 1);
                std::uint8_t* written = out + count;
                while (pos < stop) {
                    const auto lead = static_cast<unsigned char>(text[pos]);
                    if (lead < 0x80) {
                        if (lead == '\n' && crLf_) *written++ = '\r';
                        *written++ = lead;
                        ++pos;
                        continue;
                    }
                    const Utf8Code code = ownTable[pairAt(text, pos) - FamilyMaps::kFirstPair];
                    if (code == 0) break;
                    written = putUtf8(written, code);
                    pos += 2;
                }
                count = static_cast<std::size_t>(written - out);
                if (pos == length) break;
            }
            // One character of any other kind.
            const auto lead = static_cast<unsigned char>(text[pos]);
            if (lead < 0x80) {
                if (lead == '\n' && crLf_) out[count++] = '\r';
                out[count++] = lead;
                ++pos;
                continue;
            }
            if (pos + 1 == length || text[pos + 1] == '\n') {  // a lead byte without its trail
                putInvalid();
                ++pos;
                continue;
            }
            const std::size_t index = pairAt(text, pos) - FamilyMaps::kFirstPair;
            if (pos == carrierPosition) {
                U8_APPEND_UNSAFE(out, count, (carrier++)->character);
                carrierPosition = carrier != carriers.end() ? carrier->position : length;
            } else if (!converts && !from_.holds(pairAt(text, pos))) {
                putInvalid();  // outside the source's own ranges (GB's within GBK's, say)
            } else if (const Utf8Code code =
                           converts ? convertedCharacter(pos, toTable[index], probing) : toTable[index]) {
                put(code);
            } else {
                putInvalid();  // a code that stands for no character
            }
            pos += 2;
        }
        std::string_view written(utf8_.data(), count);
        if (converter_ != nullptr) {
            converted_.clear();
            converter_->convert(written, converted_);
            written = converted_;
        }
        if (charsetNamed(written)) written = named_;
        sink_.writeText(written.data(), written.size());
    }

    // Whether the text had <meta> tags to rewrite: named_ holds it rewritten.
    bool charsetNamed(std::string_view text) {
        if (charset_.empty()) return false;
        std::optional<std::string> named = withMetaCharset(text, charset_);
        if (named) named_ = std::move(*named);
        return named.has_value();
    }

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

    static constexpr Utf8Code kBoxUtf8 = utf8Of(kBox);

    const FamilyMaps& maps_ = FamilyMaps::instance();
    TextFormatter& formatter_;
    const EncodingProfile& from_;
    const EncodingProfile& to_;
    const Utf8Code* const ownTable_ = maps_.heldUtf8Table(from_);
    const bool unicode_;
    const bool crLf_;
    TextSink& sink_;
    std::vector<char> utf8_;
    std::string probe_;
    std::string unconverted_;
    ChineseConverter* converter_ = nullptr;
    std::string converted_;
    std::string_view charset_;
    std::string named_;
};

// Puts characters into a line of `from`'s family for a run to `to`. What the
// run cannot carry becomes a carrier: beside the line, or under one of the
// family's private codes when the line has to pass through a whole engine run.
class LineEncoder {
public:
    LineEncoder(const EncodingProfile& from, const EncodingProfile& to, bool privateCodes)
        : maps_(FamilyMaps::instance()), from_(from),
          table_(maps_.encodeTable(from, to)), privateCodes_(privateCodes),
          carryingCodes_(maps_.privateCodes(from)) {}

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
        if (codeOfCharacter_.empty()) return;  // none was carried
        for (std::size_t pos = 0; pos + 1 < length;) {
            if (static_cast<unsigned char>(line[pos]) < 0x80) {
                ++pos;
                continue;
            }
            const CharCode code = pairAt(line, pos);
            if (const char32_t c = carriedBy(code)) {
                carriers.push_back({pos, c});
                putPair(line, pos, from_.replacementCode());
            }
            pos += 2;
        }
    }

    // The character a line that went through an engine run carries under
    // `code`, else 0.
    char32_t carriedBy(CharCode code) const { return characterOfCode_.empty() ? 0 : characterOfCode_[code]; }

    // By BMP character: the code under which the run carries it in the line
    // itself, else 0 (and 0 for ASCII).
    const CharCode* losslessCodes() const { return table_; }

    // True when the text held more distinct characters to carry than there
    // were codes to carry them.
    bool ranOutOfCodes() const { return sawUnmappable; }

    // Before the text is read again: the codes of the family's hanzi that the
    // text does not use (`used`, by code, as the first reading found them)
    // carry characters too, once the private codes are taken. The engine
    // treats every hanzi alike, so a carried character fares as one would.
    void addUnusedHanziCodes(const std::vector<bool>& used) {
        codeOfCharacter_.clear();
        characterOfCode_.clear();
        sawUnmappable = false;
        const std::vector<CharCode>& privateCodes = maps_.privateCodes(from_);
        const std::vector<bool> isPrivate = [&] {
            std::vector<bool> marks(FamilyMaps::kBmpSize);
            for (const CharCode code : privateCodes) marks[code] = true;
            return marks;
        }();
        const auto addRange = [&](unsigned lead, unsigned firstTrail, unsigned lastTrail) {
            for (unsigned trail = firstTrail; trail <= lastTrail; ++trail) {
                const auto code = static_cast<CharCode>(lead << 8 | trail);
                if (!used[code] && !isPrivate[code]) carryingCodes_.push_back(code);
            }
        };
        const bool big5 = from_.id == kBig5Id;
        for (unsigned lead = big5 ? 0xA4 : 0x81; lead <= (big5 ? 0xF9u : 0xFEu); ++lead) {
            if (!big5 && lead >= 0xA1 && lead <= 0xAF) continue;  // GBK's rows of symbols
            addRange(lead, 0x40, 0x7E);
            addRange(lead, 0xA1, 0xFE);
        }
    }

    bool sawInvalid = false;
    bool sawUnmappable = false;

private:
    CharCode privateCodeFor(char32_t c) {
        if (const auto known = codeOfCharacter_.find(c); known != codeOfCharacter_.end()) {
            return known->second;
        }
        const std::vector<CharCode>& codes = carryingCodes_;
        if (codeOfCharacter_.size() == codes.size()) {
            sawUnmappable = true;  // more distinct characters than codes to carry them
            return from_.replacementCode();
        }
        const CharCode code = codes[codeOfCharacter_.size()];
        if (characterOfCode_.empty()) characterOfCode_.assign(0x10000, 0);
        codeOfCharacter_.emplace(c, code);
        characterOfCode_[code] = c;
        return code;
    }

    const FamilyMaps& maps_;
    const EncodingProfile& from_;
    const CharCode* const table_;
    const bool privateCodes_;
    std::vector<CharCode> carryingCodes_;  // the family's private codes first
    std::vector<char32_t> characterOfCode_;
    std::unordered_map<char32_t, CharCode> codeOfCharacter_;
};

}  // namespace quillon::unicode
