#include <gtest/gtest.h>

#include <cstdint>

#include "byte_masks.h"
#include "text_kinds.h"

namespace quillon {
namespace {

// Every ASCII byte in every lane, beside neighbours of both kinds: a carry or
// borrow that crossed lanes would show as a wrong bit beside it.
TEST(ByteMasks, AsciiAlnumBytesMarksLettersAndDigitsOnly) {
    for (const unsigned char fill : {'a', '/', ':', '@', '[', '`', '{', '\x7F', '\0'}) {
        for (unsigned code = 0; code < 0x80; ++code) {
            for (int lane = 0; lane < 8; ++lane) {
                unsigned char bytes[8];
                for (auto& b : bytes) b = fill;
                bytes[lane] = static_cast<unsigned char>(code);
                const std::uint64_t mask =
                    byte_masks::asciiAlnumBytes(byte_masks::wordAt(reinterpret_cast<const char*>(bytes)));
                for (int i = 0; i < 8; ++i) {
                    EXPECT_EQ((mask >> (8 * i + 7) & 1) != 0, isAsciiAlnum(bytes[i]))
                        << "code " << code << " in lane " << lane << ", byte " << i;
                }
                EXPECT_EQ(mask & ~byte_masks::kHighBits, 0u);
            }
        }
    }
}

}  // namespace
}  // namespace quillon
