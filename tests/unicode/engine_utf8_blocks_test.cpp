#include "engine_utf8_blocks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine_output_lines.h"
#include "repeated_text.h"
#include "text_formatter.h"

namespace quillon::unicode {
namespace {

using quillon::testing::repeated;

struct Written {
    std::string text;
    bool sawInvalid = false;
    bool operator==(const Written&) const = default;
};

void PrintTo(const Written& w, std::ostream* os) {
    *os << ::testing::PrintToString(w.text) << (w.sawInvalid ? " (invalid)" : "");
}

void openInMemory(TextSink& sink, std::string& text) {
    ASSERT_TRUE(sink.open([&text](const char* data, std::size_t n) { return text.append(data, n), true; },
                          [&text] { text.clear(); }, kUtf8Name));
}

// What the engine's output, `stored`, comes to line by line through a LineWriter.
Written byLines(const EncodingProfile& family, const LineEncoder& encoder, const std::string& stored, bool crLf) {
    Written written;
    TextSink sink;
    openInMemory(sink, written.text);
    TextFormatter formatter;
    LineWriter writer(formatter, family, family, true, crLf, sink);
    std::vector<Carrier> carriers;
    EngineOutputLines lines(
        [&](char* text, std::size_t length) {
            carriers.clear();
            encoder.recover(text, length, carriers);
            writer.write(text, length, carriers);
        },
        true);
    lines.take(stored.data(), stored.size());
    lines.finish();
    EXPECT_TRUE(sink.close());
    written.sawInvalid = writer.sawInvalid;
    return written;
}

Written inBlocks(const EncodingProfile& family, const LineEncoder& encoder, const std::string& stored, bool crLf,
                 std::size_t block) {
    Written written;
    TextSink sink;
    openInMemory(sink, written.text);
    EngineUtf8Blocks blocks(family, encoder, crLf, sink);
    for (std::size_t at = 0; at < stored.size(); at += block) {
        blocks.take(stored.data() + at, std::min(block, stored.size() - at));
    }
    blocks.finish();
    EXPECT_TRUE(sink.close());
    written.sawInvalid = blocks.sawInvalid;
    return written;
}

// Engine output of every kind, in both families, whole and cut anywhere,
// comes out as the writer would write it line by line.
TEST(EngineUtf8Blocks, WriteWhatTheLineWriterWrites) {
    for (const Form form : {Form::Simplified, Form::Traditional}) {
        const EncodingProfile& family = FamilyMaps::familyFor(form);
        LineEncoder encoder(family, family, true);
        // A character the family lacks, carried under a private code.
        std::string carried(4, '\0');
        std::size_t carriedLength = 0;
        std::vector<Carrier> none;
        encoder.append(U'\U0001F600', carried.data(), carriedLength, none);
        carried.resize(carriedLength);
        const std::string cases[] = {
            "\xb0\xa1\xa4\x40" "abc\r\n\r\n" + std::string(20, ' ') + "\xa1\xa1\xa1\xa1\r\n",
            "a\rb\r\r\nc\r",
            "\xb0\r\n\xb0\n\xb0\rx\r\n",
            "ab\xb0",
            "ab\xb0\r",
            std::string("\x81\x7f\xd7\xfa\xa3\xa0 \t") + '\0' + "x\r\n" + repeated("\xb0\xa1\xa4\x40", 9) + "\xb0",
            "\xb0\xa1" + carried + carried + "z\r\n" + carried,
            repeated("\xb0\xa1", 30000) + "\r\n" + repeated("\xa4\x40 word \r\n", 9000),
            // Line ends, and a lone CR, at every place in a word.
            [] {
                std::string text;
                for (std::size_t k = 0; k <= 8; ++k) text += std::string(k, 'x') + "\r\n\r" + std::string(8 - k, 'y') + "\n";
                return text;
            }(),
            // And at every place in sixteen bytes, after runs of ASCII of
            // every length, with other controls.
            [] {
                std::string text;
                for (std::size_t k = 0; k <= 16; ++k) {
                    text += std::string(k, 'x') + "\r\n\r" + std::string(16 - k, 'y') + "\n" + std::string(k + 17, 'z') +
                            "\r\t\x0b" + std::string(k, 'w') + "\x0c\n";
                }
                return text;
            }(),
            // Runs of four pairs with one among them that is written
            // otherwise: shorter in UTF-8 (a middle dot), carried, boxed, or
            // cut by a line end.
            repeated("\xb0\xa1\xa1\xa4\xb0\xa1\xb0\xa1\xb0\xa1\xb0\xa1\xb0\xa1\xa1\xa4", 3) + "\r\n",
            repeated("\xb0\xa1", 3) + carried + repeated("\xb0\xa1", 7) + carried + "\xb0\xa1",
            repeated("\xb0\xa1", 5) + "\xff\xff" + repeated("\xb0\xa1", 4) + "\xb0\r\n\xb0\xa1\xb0\n",
            "",
        };
        for (const std::string& stored : cases) {
            for (const bool crLf : {false, true}) {
                const Written expected = byLines(family, encoder, stored, crLf);
                for (const std::size_t block : {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{5},
                                                std::size_t{4096}, stored.size() + 1}) {
                    EXPECT_EQ(inBlocks(family, encoder, stored, crLf, block), expected)
                        << ::testing::PrintToString(stored.substr(0, 40)) << " crLf " << crLf << " blocks of " << block;
                }
            }
        }
    }
}

}  // namespace
}  // namespace quillon::unicode
