#include "family_text_reader.h"

#include <gtest/gtest.h>

#include <unicode/utf8.h>

#include <string>
#include <vector>

#include "repeated_text.h"

namespace quillon::unicode {
namespace {

using quillon::testing::repeated;

// What a reader hands on: each chunk, and each carrier as "position:character".
std::vector<std::string> chunksOf(const std::string& source, const char* encoding, std::size_t chunkBytes) {
    const EncodingProfile& family = FamilyMaps::familyFor(Form::Simplified);
    LineEncoder encoder(family, family, false);
    FamilyTextReader reader(encoder, chunkBytes);
    EXPECT_TRUE(reader.open(SourceText::inMemory(source), encoding));
    std::vector<std::string> chunks;
    while (const std::size_t length = reader.next()) {
        chunks.emplace_back(reader.text(), length);
        for (const Carrier& carrier : reader.carriers()) {
            chunks.push_back(std::to_string(carrier.position) + ":" + std::to_string(carrier.character));
        }
    }
    EXPECT_FALSE(reader.failed());
    return chunks;
}

// The same text in UTF-16, each byte of UTF-8 that starts no character as
// the marker that stands for it.
std::string utf16le(const std::string& utf8) {
    std::string bytes;
    const auto put = [&](unsigned unit) { bytes += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)}; };
    for (std::int32_t i = 0; i < static_cast<std::int32_t>(utf8.size());) {
        UChar32 c;
        U8_NEXT(utf8.data(), i, static_cast<std::int32_t>(utf8.size()), c);
        if (c < 0) {
            put(kInvalidMarker);
        } else if (c >= 0x10000) {
            put(0xD7C0 + (static_cast<unsigned>(c) >> 10));
            put(0xDC00 | (static_cast<unsigned>(c) & 0x3FF));
        } else {
            put(static_cast<unsigned>(c));
        }
    }
    return bytes;
}

// UTF-8, decoded by the reader itself, comes out in the same chunks, pieces
// and carriers as the same text read through ICU: whatever the length of
// its runs of ASCII and hanzi, and wherever a line, a piece of a long line,
// a chunk or the reader's buffer ends.
TEST(FamilyTextReader, ReadsUtf8AsEveryOtherEncoding) {
    const std::string hanzi = "\xe4\xb8\xad";       // 中
    const std::string emoji = "\xf0\x9f\x98\x80";   // carried beside the line
    const std::string runs = [&] {
        std::string text;
        for (std::size_t ascii = 0; ascii <= 34; ++ascii) {
            for (std::size_t count = 1; count <= 5; ++count) {
                text += std::string(ascii, static_cast<char>('a' + ascii % 26)) + repeated(hanzi, count);
                if ((ascii + count) % 7 == 0) text += "\r\n";
                if ((ascii + count) % 11 == 0) text += "\n\t\x0b";
            }
        }
        return text;
    }();
    const std::string cases[] = {
        runs,
        "ab\rcd\r\r\nef\r",
        // Line ends and a lone CR at every place in sixteen bytes.
        [] {
            std::string text;
            for (std::size_t k = 0; k <= 16; ++k) text += std::string(k, 'x') + "\r\n\r" + std::string(16 - k, 'y') + "\n";
            return text;
        }(),
        repeated("word " + hanzi + emoji + "\xc2\xb7", 40) + "\n",
        // Runs of hanzi broken at every place by a character the family
        // lacks (U+0800), by a mark of its own, or by a sequence of three
        // bytes that is no character.
        [&] {
            std::string text;
            for (const std::string breaker : {"\xe0\xa0\x80", "\xe3\x80\x82", "\xe0\x80\x80", "\xed\xa0\x80"}) {
                for (std::size_t k = 0; k <= 9; ++k) text += repeated(hanzi, k) + breaker + repeated(hanzi, 9 - k) + "\n";
            }
            return text;
        }(),
        // Long lines, cut into pieces at every offset of a run of ASCII.
        repeated(std::string(37, 'z') + hanzi + hanzi, 2000) + "\n" + repeated("y", 100000),
        "\n" + repeated(hanzi, 40000) + "\na" + repeated(hanzi, 40000) + "\nab" + repeated(hanzi, 40000),
        // Across the ends of the reader's buffer.
        repeated(std::string(21, 'q') + hanzi + "\n", 30000),
    };
    for (const std::string& source : cases) {
        for (const std::size_t chunkBytes : {std::size_t{1}, std::size_t{4096}}) {
            EXPECT_EQ(chunksOf(source, kUtf8Name, chunkBytes), chunksOf(utf16le(source), "UTF-16LE", chunkBytes))
                << ::testing::PrintToString(source.substr(0, 40)) << " chunks of " << chunkBytes;
        }
    }
}

}  // namespace
}  // namespace quillon::unicode
