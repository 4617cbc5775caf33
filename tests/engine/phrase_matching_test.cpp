// Phrase matching against a plain reading of its rule: at each character, left
// to right, the longest phrase wins and its characters are passed over; the
// table converts whatever lies between phrases. Lines are long and awkward, so
// that the engine's shortcuts (characters read a block at a time, matching
// only near characters some phrase changes, phrases patched after the table)
// meet block edges, trail bytes below 80, invalid pairs and long chains.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "legacy_text.h"
#include "phrase_tables.h"
#include "temp_files.h"
#include "text_formatter.h"

namespace quillon {
namespace {

using testing::big5;
using testing::gb;

struct Converted {
    std::string text;
    bool invalid, unmappable;
    bool operator==(const Converted&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Converted& c) {
    out << c.invalid << c.unmappable << ' ';
    for (const unsigned char byte : c.text) out << "0123456789ABCDEF"[byte >> 4] << "0123456789ABCDEF"[byte & 15];
    return out;
}

// The phrases of one table that `from` can hold, by their source codes.
class ReferencePhrases {
public:
    ReferencePhrases(const std::uint16_t* records, std::size_t size, const EncodingProfile& from) {
        for (std::size_t at = 0; at < size; at += 1 + 2 * std::size_t(records[at])) {
            const std::size_t n = records[at];
            std::string source;
            for (std::size_t i = 1; i <= n; ++i) {
                const unsigned lead = records[at + i] >> 8;
                const unsigned trail = records[at + i] & 0xFF;
                if (lead < from.leadMin || lead > from.leadMax || trail < from.trailMin ||
                    trail > from.trailMax) {
                    source.clear();
                    break;
                }
                source += static_cast<char>(lead);
                source += static_cast<char>(trail);
            }
            if (source.empty()) continue;
            std::string target;
            for (std::size_t i = 1; i <= n; ++i) {
                target += static_cast<char>(records[at + n + i] >> 8);
                target += static_cast<char>(records[at + n + i] & 0xFF);
            }
            sources_.push_back(source);
            targets_[source] = target;
            if (n > longest_) longest_ = n;
        }
    }

    // Every phrase's source bytes, to build test lines from.
    const std::vector<std::string>& sources() const { return sources_; }

    Converted convert(std::string text, const EncodingProfile& from, const EncodingProfile& to) const {
        TextFormatter table;
        std::size_t converted = 0;
        std::size_t pos = 0;
        while (pos + 3 < text.size()) {
            if (static_cast<unsigned char>(text[pos]) < 0x80) {
                ++pos;
                continue;
            }
            const std::string* target = nullptr;
            for (std::size_t n = 2; n <= longest_ && pos + 2 * n <= text.size(); ++n) {
                const auto found = targets_.find(text.substr(pos, 2 * n));
                if (found != targets_.end()) target = &found->second;
            }
            if (target == nullptr) {
                pos += 2;
                continue;
            }
            table.convertText(text.data() + converted, pos - converted, from, to);
            text.replace(pos, target->size(), *target);
            pos += target->size();
            converted = pos;
        }
        table.convertText(text.data() + converted, text.size() - converted, from, to);
        return {text, table.sawInvalidCode != 0, table.sawUnmappable != 0};
    }

private:
    std::vector<std::string> sources_;
    std::map<std::string, std::string> targets_;
    std::size_t longest_ = 0;
};

Converted convertByEngine(std::string text, const EncodingProfile& from, const EncodingProfile& to) {
    TextFormatter f;
    f.setPhrases(1);
    f.convertRunLine(text.data(), text.size(), from, to);
    return {text, f.sawInvalidCode != 0, f.sawUnmappable != 0};
}

// Lines of phrases whole and in part, single characters, ASCII, pairs of any
// two high bytes, and now and then a lone lead byte at the end.
std::vector<std::string> awkwardLines(const std::vector<std::string>& phrases, unsigned seed) {
    std::mt19937 random(seed);
    const auto below = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
    const char* const ascii[] = {" ", "a", "<", ">", "\t", "x y"};
    std::vector<std::string> lines;
    for (int line = 0; line < 300; ++line) {
        std::string text;
        const std::size_t pieces = below(60);
        for (std::size_t p = 0; p < pieces; ++p) {
            const std::string& phrase = phrases[below(phrases.size())];
            switch (below(6)) {
                case 0:
                case 1: text += phrase; break;
                case 2: text += phrase.substr(0, 2 * (1 + below(phrase.size() / 2))); break;
                case 3: text += phrase.substr(2 * below(phrase.size() / 2)); break;
                case 4: text += ascii[below(std::size(ascii))]; break;
                default:
                    text += static_cast<char>(0x81 + below(0x7E));
                    text += static_cast<char>(0x40 + below(0xBF));
            }
        }
        if (below(8) == 0) text += '\xB7';
        lines.push_back(text);
    }
    return lines;
}

struct Direction {
    const EncodingProfile *from, *to;
    const std::uint16_t* records;
    std::size_t size;
};
const Direction kDirections[] = {
    {&profiles::GB, &profiles::BIG5, GbkToBig5Phrases, GbkToBig5PhrasesSize},
    {&profiles::GBK, &profiles::BIG5, GbkToBig5Phrases, GbkToBig5PhrasesSize},
    {&profiles::BIG5, &profiles::GB, Big5ToGbPhrases, Big5ToGbPhrasesSize},
    {&profiles::BIG5, &profiles::GBK, Big5ToGbPhrases, Big5ToGbPhrasesSize},
};

TEST(PhraseMatching, AgreesWithTheLongestMatchReadLeftToRight) {
    const EncodingProfile& BIG5 = profiles::BIG5;
    unsigned seed = 1;
    for (const auto& d : kDirections) {
        const ReferencePhrases reference(d.records, d.size, *d.from);
        std::vector<std::string> lines = awkwardLines(reference.sources(), seed++);
        // More phrases to patch than one stretch holds, and a long run of
        // characters that phrases join, each of which a phrase changes.
        std::string& many = lines.emplace_back();
        for (int i = 0; i < 300; ++i) many += reference.sources()[i % 7];
        const std::string dry = "干干干干干干干干干干干干干干干干干干干干干干干干干干干干干干干干干干干干干干干净净";
        const std::string hair = "头发头发头发头发头发头发头发头发头发头发头发头发头发头发头发头发头发头发头发";
        if (d.from == &BIG5) {
            lines.push_back(big5("乾乾乾乾乾乾乾乾乾乾乾乾乾乾乾乾乾乾乾乾乾乾乾乾乾乾乾乾乾乾乾乾乾乾乾乾乾乾乾淨淨"));
            lines.push_back(big5("頭髮頭髮頭髮頭髮頭髮頭髮頭髮頭髮頭髮頭髮頭髮頭髮頭髮頭髮頭髮頭髮頭髮頭髮頭髮"));
        } else {
            lines.push_back(gb(dry));
            lines.push_back(gb(hair));
        }
        for (const std::string& line : lines) {
            ASSERT_EQ(convertByEngine(line, *d.from, *d.to), reference.convert(line, *d.from, *d.to))
                << d.from->name << " to " << d.to->name << ": " << Converted{line, false, false};
        }
    }
}

// A convert run takes many lines at once where it can: each line must still
// come out as it does when converted alone, flags included.
TEST(PhraseMatching, AConvertRunReadsEachLineAlone) {
    unsigned seed = 11;
    for (const auto& d : kDirections) {
        const ReferencePhrases reference(d.records, d.size, *d.from);
        std::string source;
        std::string expected;
        bool invalid = false;
        bool unmappable = false;
        int count = 0;
        for (const std::string& line : awkwardLines(reference.sources(), seed++)) {
            const Converted converted = reference.convert(line, *d.from, *d.to);
            // Now and then a line the reader must look at on its own.
            source += line + (++count % 40 == 0 ? "\r\n" : "\n");
            expected += converted.text + "\r\n";
            invalid |= converted.invalid;
            unmappable |= converted.unmappable;
        }
        const testing::TempDir dir;
        testing::writeFile(dir.file("in"), source);
        TextFormatter f;
        f.setPhrases(1);
        f.setSourceEncoding(d.from->id);
        f.setOutputEncoding(d.to->id);
        const RunResult result = f.convertFile(dir.file("in").c_str(), dir.file("out").c_str());
        EXPECT_EQ(result, invalid ? kInvalidCodeWarning : unmappable ? kUnmappableWarning : kSuccess)
            << d.from->name << " to " << d.to->name;
        EXPECT_EQ(testing::readFile(dir.file("out")), expected) << d.from->name << " to " << d.to->name;
    }
}

TEST(PhraseMatching, PatchesEveryPhraseOfALongLine) {
    std::string line;
    std::string expected;
    for (int i = 0; i < 600; ++i) {
        line += gb("头发");
        expected += big5("頭髮");
    }
    EXPECT_EQ(convertByEngine(line, profiles::GB, profiles::BIG5), (Converted{expected, false, false}));
}

}  // namespace
}  // namespace quillon
