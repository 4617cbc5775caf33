#include <gtest/gtest.h>

#include <random>
#include <string>

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

}  // namespace
}  // namespace quillon
