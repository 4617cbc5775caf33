#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "character_starts.h"

namespace quillon {
namespace {

// The count read backwards must match a byte-by-byte count, whatever the
// length of the run of high bytes before the end: runs longer than the
// backward steps, and ASCII bytes at every place in a step.
TEST(CharacterStarts, CountsTheHighBytesBeforeAnEnd) {
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        // Mostly high bytes, so that runs of every length up to the text's occur.
        std::string text(48, '\0');
        const int asciiShare = round % 4 == 0 ? 0 : 1 + round % 7;
        for (char& byte : text) {
            byte = static_cast<int>(random() % 64) < asciiShare ? 'a' : static_cast<char>(0xB0 + random() % 16);
        }
        for (int start = 0; start < 24; ++start) {
            for (int end = start; end <= static_cast<int>(text.size()); ++end) {
                int count = 0;
                while (end - count > start && (static_cast<unsigned char>(text[end - count - 1]) & 0x80)) ++count;
                ASSERT_EQ(highBytesBefore(text.data(), start, end), count)
                    << "round " << round << ", bytes " << start << " to " << end;
            }
        }
    }
}

// At every character start a forward read reaches (not the end after a lead
// byte that lacks its trail), and a byte after the start, reading back from
// there must find the character that lastCharOf finds: high bytes in runs of
// every length, ASCII trail bytes among them.
TEST(CharacterStarts, ReadsTheCharacterBeforeACharacterStart) {
    std::mt19937 random(11);
    for (int round = 0; round < 200; ++round) {
        std::string text(40, '\0');
        const int asciiShare = 1 + round % 7;
        for (char& byte : text) {
            byte = static_cast<int>(random() % 16) < asciiShare ? static_cast<char>(0x40 + random() % 8)
                                                               : static_cast<char>(0xB0 + random() % 16);
        }
        for (int start = 0; start < 8; ++start) {
            std::vector<int> ends = {start + 1};
            for (int pos = start; pos < static_cast<int>(text.size());) {
                const CharAt c = readCharAt(text.data(), pos, static_cast<int>(text.size()));
                if (c.code == 0) break;
                pos += c.width;
                ends.push_back(pos);
            }
            for (const int end : ends) {
                const CharAt expected = lastCharOf(text.data(), start, end);
                const CharAt found = charBefore(text.data(), start, end);
                ASSERT_EQ(found.code, expected.code) << "round " << round << ", bytes " << start << " to " << end;
                ASSERT_EQ(found.width, expected.width) << "round " << round << ", bytes " << start << " to " << end;
            }
        }
    }
}

}  // namespace
}  // namespace quillon
