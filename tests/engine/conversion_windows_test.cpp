// Conversion takes many bytes at a time; these texts put every kind of
// character at every offset from those steps and compare with the character
// by character rule.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "run_options.h"
#include "temp_files.h"
#include "text_formatter.h"

namespace quillon {
namespace {

struct Piece {
    std::string bytes;
    bool lineEnd = false;  // a LF or CR LF, or a lead byte and the line end after it
};

// Characters of both families: hanzi, marks, a Big5 pair with an ASCII trail,
// invalid and unmappable pairs, a box, ASCII, a lead byte before its line
// end, line ends stored as LF and as CR LF, and a CR that is text.
const std::vector<Piece>& pieces() {
    static const std::vector<Piece> all = {
        {"\xB9\xFA"}, {"\xB0\xA1"}, {"\xA3\xAC"}, {"\xA4\x40"}, {"\xB0\x41"}, {"\x81\x40"},
        {"\xF9\xD5"}, {"\xA1\xF5"}, {"\xA1\xBC"}, {"\xFF\xFF"}, {"a"},        {" "},
        {"<"},        {"\n", true}, {"\xB9\n", true}, {"\r\n", true}, {"\xB9\r\n", true}, {"\rx"},
    };
    return all;
}

// A random text of `count` pieces, weighted towards long runs of hanzi as in
// real text, ending in a LF.
std::vector<const Piece*> randomText(unsigned& state, int count) {
    const auto next = [&state] { return (state = state * 1103515245u + 12345u) >> 16; };
    std::vector<const Piece*> text;
    for (int i = 0; i < count; ++i) {
        const unsigned pick = next() % 40;
        text.push_back(&pieces()[pick < pieces().size() ? pick : 0]);
    }
    text.push_back(&pieces()[13]);
    return text;
}

class ConversionWindows : public ::testing::TestWithParam<int> {
protected:
    // The piece converted on its own: a lead byte before the line end stays,
    // and the line ends as the writer ends it.
    std::string expectedOf(const Piece& piece, const EncodingProfile& from, const EncodingProfile& to,
                           unsigned& flags) {
        std::string bytes = piece.bytes;
        if (bytes.size() == 2 && !piece.lineEnd) {
            formatter.sawInvalidCode = formatter.sawUnmappable = 0;
            formatter.convertText(bytes.data(), 2, from, to);
            flags |= (formatter.sawInvalidCode ? 1 : 0) | (formatter.sawUnmappable ? 2 : 0);
        }
        if (piece.lineEnd && static_cast<unsigned char>(bytes[0]) >= 0x80) flags |= 1;
        if (piece.lineEnd) bytes = bytes.substr(0, bytes.find_first_of("\r\n")) + "\r\n";
        return bytes;
    }

    testing::TempDir dir;
    TextFormatter formatter;
};

TEST_P(ConversionWindows, RunsAndLinesAgreeWithTheCharacterRule) {
    const std::int32_t sourceId = GetParam();
    const EncodingProfile& from = *profileById(sourceId);
    const EncodingProfile& to = sourceId == kBig5Id ? profiles::GB : profiles::BIG5;
    unsigned state = 5u + unsigned(sourceId);
    for (int round = 0; round < 40; ++round) {
        std::string in, out;
        unsigned flags = 0;
        for (int line = 0; line < 60; ++line) {
            for (const Piece* piece : randomText(state, int(state % 97))) {
                in += piece->bytes;
                out += expectedOf(*piece, from, to, flags);
            }
        }
        testing::writeFile(dir.file("in"), in);
        formatter.setSourceEncoding(sourceId);
        formatter.setOutputEncoding(to.id);
        const RunResult expected = flags & 1 ? kInvalidCodeWarning : flags & 2 ? kUnmappableWarning : kSuccess;
        ASSERT_EQ(formatter.convertFile(dir.file("in").c_str(), dir.file("out").c_str()), expected) << round;
        ASSERT_TRUE(testing::readFile(dir.file("out")) == out) << round;

        // The same text converted in place as one range, without its line ends.
        std::string range, converted;
        for (const char c : in) {
            if (c != '\n') range += c;
        }
        for (std::size_t pos = 0; pos < range.size();) {
            const bool pair = static_cast<unsigned char>(range[pos]) >= 0x80 && pos + 1 < range.size();
            std::string character = range.substr(pos, pair ? 2 : 1);
            if (pair) formatter.convertText(character.data(), 2, from, to);
            converted += character;
            pos += character.size();
        }
        formatter.convertText(range.data(), range.size(), from, to);
        ASSERT_TRUE(range == converted) << round;
    }
}

INSTANTIATE_TEST_SUITE_P(BothFamilies, ConversionWindows, ::testing::Values(kGbId, kBig5Id));

// A lead byte that is the last of its line stays, and it alone makes the run
// warn, wherever it lies among the steps.
TEST(ConversionSteps, ALeadBeforeItsLineFeedWarnsWhereverItLies) {
    testing::TempDir dir;
    TextFormatter formatter;
    formatter.setSourceEncoding(kSourceGb);
    formatter.setOutputEncoding(kOutputBig5);
    std::string hanzi, converted;
    for (int i = 0; i < 50; ++i) {
        hanzi += "\xB9\xFA";  // 国
        converted += "\xB0\xEA";
    }
    for (int offset = 0; offset < 70; ++offset) {
        const std::string head(static_cast<std::size_t>(offset), 'a');
        testing::writeFile(dir.file("in"), head + "\xB9\n" + hanzi + "\n");
        ASSERT_EQ(formatter.convertFile(dir.file("in").c_str(), dir.file("out").c_str()), kInvalidCodeWarning)
            << offset;
        ASSERT_EQ(testing::readFile(dir.file("out")), head + "\xB9\r\n" + converted + "\r\n") << offset;
    }
}

}  // namespace
}  // namespace quillon
