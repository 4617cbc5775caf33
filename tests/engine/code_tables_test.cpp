#include "code_tables.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <initializer_list>

namespace quillon {
namespace {

struct Pair {
    std::uint16_t from;
    std::uint16_t to;
};

std::size_t IndexOf(std::uint16_t code, unsigned leadBase) {
    return static_cast<std::size_t>((code >> 8) - leadBase) * 191 + (code & 0xFF) - 0x40;
}

std::uint16_t GbkToBig5(std::uint16_t gbk) { return GbkToBig5Table[IndexOf(gbk, 0x81)]; }
std::uint16_t Big5ToGb(std::uint16_t big5) { return Big5ToGbTable[IndexOf(big5, 0xA1)]; }

bool IsBig5Hanzi(unsigned code) {
    return (code >= 0xA440 && code <= 0xC67E) || (code >= 0xC940 && code <= 0xF9D5);
}

bool IsBig5Trail(unsigned trail) {
    return (trail >= 0x40 && trail <= 0x7E) || (trail >= 0xA1 && trail <= 0xFE);
}

TEST(CodeTablesTest, SizesFollowTheIndexFormula) {
    EXPECT_EQ(kGbkToBig5Entries, IndexOf(0xFE50, 0x81) + 1);
    EXPECT_EQ(kBig5ToGbEntries, IndexOf(0xF9FE, 0xA1) + 1);
    EXPECT_EQ(sizeof(GbkToBig5Table) / sizeof(GbkToBig5Table[0]), 23892u);
    EXPECT_EQ(sizeof(Big5ToGbTable) / sizeof(Big5ToGbTable[0]), 16999u);
}

TEST(CodeTablesTest, GbkToBig5) {
    for (const Pair& p : std::initializer_list<Pair>{
             {0xB0A1, 0xB0DA},  // 啊
             {0xD2BB, 0xA440},  // 一
             {0xB9FA, 0xB0EA},  // 国 -> 國
             {0xCEAA, 0xACB0},  // 为 -> 為 (TWVariants after STCharacters)
             {0xA1A1, 0xA140},  // ideographic space
             {0xA1A3, 0xA143},  // 。
             {0xA3AC, 0xA14D},  // ， -> ﹐ (override)
             {0xA1B0, 0xA1A7},  // “
             {0x8147, 0xA5E1},  // GBK addition 丏, same character
             {0xA1F5, 0xFB4C},  // □ -> user-defined (override)
             {0xA3BF, 0xA153},
             {0xA3A1, 0xA154},
             {0xA1A2, 0xA14E},
             {0xD8AD, 0xFB7D},
             {0xD8E9, 0xC8E0},
             {0x8140, 0x0000},  // not a GBK character
         }) {
        EXPECT_EQ(GbkToBig5(p.from), p.to) << std::hex << p.from;
    }

    // A GB2312 hanzi never lands on a Big5 symbol: only hanzi rows or the
    // user-defined areas are acceptable.
    int hanziMapped = 0;
    for (unsigned lead = 0xB0; lead <= 0xF7; ++lead) {
        for (unsigned trail = 0xA1; trail <= 0xFE; ++trail) {
            const unsigned gb = lead << 8 | trail;
            if (gb >= 0xD7FA && gb <= 0xD7FE) continue;
            const unsigned big5 = GbkToBig5(static_cast<std::uint16_t>(gb));
            if (big5 == 0) continue;
            ++hanziMapped;
            const unsigned big5Lead = big5 >> 8;
            const bool userDefined = (big5Lead >= 0xFA && big5Lead <= 0xFE) ||
                                     (big5Lead >= 0x81 && big5Lead <= 0xA0) ||
                                     (big5 >= 0xC6A1 && big5 <= 0xC8FE);
            EXPECT_TRUE(IsBig5Hanzi(big5) || userDefined || (big5 >= 0xF9D6 && big5 <= 0xF9DC))
                << std::hex << gb << " -> " << big5;
            EXPECT_TRUE(IsBig5Trail(big5 & 0xFF)) << std::hex << gb << " -> " << big5;
        }
    }
    // Most of the 6,763 have a Big5 form; the rest Big5 simply lacks.
    EXPECT_GT(hanziMapped, 6400);
}

TEST(CodeTablesTest, GbHanziThatBig5LacksTakeAVariantBig5Has) {
    for (const Pair& p : std::initializer_list<Pair>{
             {0xBCEF, 0xC650},  // 硷 -> 鹼, as 碱 does
             {0xC8FE, 0xB0D1},  // 叁 -> 參 (override)
             {0xEFD5, 0xEBE5},  // 镎 -> 錼, Taiwan's name for the element
             {0xF0CB, 0xF5AC},  // 鹚 -> 鶿
             {0xECAE, 0xF674},  // 飚 -> 飆
             {0xF0E9, 0xB0D7},  // 痖 -> 啞
             {0xD8AF, 0x0000},  // 丿: no variant that Big5 has
             {0xDAE0, 0x0000},  // 卩: only a context-bound variant (節), not taken
         }) {
        EXPECT_EQ(GbkToBig5(p.from), p.to) << std::hex << p.from;
    }
}

TEST(CodeTablesTest, Big5ToGb) {
    for (const Pair& p : std::initializer_list<Pair>{
             {0xA440, 0xD2BB},  // 一
             {0xB0EA, 0xB9FA},  // 國 -> 国
             {0xA4BA, 0xC4DA},  // 內 -> 内
             {0xA141, 0xA3AC},  // ，
             {0xA14D, 0xA3AC},  // ﹐ folds to ， rather than GBK's own small form
             {0xA140, 0xA1A1},  // ideographic space
             {0xF9D5, 0xFD93},  // last standard hanzi, GBK-only code
             {0xA1BC, 0x0000},  // □ left unmapped
             {0xA145, 0xA1A4},  // look-alikes for symbols GBK lacks
             {0xA1C2, 0xA1A5},
             {0xA15A, 0xA3DF},
             {0xA1C5, 0xA3DF},
             {0xA3E1, 0x0000},  // euro: not standard Big5
             {0xC6A1, 0x0000},  // rows C6A1..C8FE: not standard Big5
             {0xC87A, 0x0000},
         }) {
        EXPECT_EQ(Big5ToGb(p.from), p.to) << std::hex << p.from;
    }

    std::size_t nonZero = 0;
    for (std::size_t i = 0; i < kBig5ToGbEntries; ++i) {
        const unsigned code = (0xA1 + static_cast<unsigned>(i / 191)) << 8 | (0x40 + i % 191);
        const unsigned gb = Big5ToGbTable[i];
        if (gb != 0) {
            ++nonZero;
            EXPECT_TRUE(IsBig5Trail(code & 0xFF)) << std::hex << code;
            EXPECT_GE(gb >> 8, 0x81u) << std::hex << code;
        }
        if (IsBig5Hanzi(code) && IsBig5Trail(code & 0xFF)) {
            EXPECT_NE(gb, 0u) << std::hex << code;
        }
    }
    // Standard Big5 plus F9D6..F9FE, less A1BC.
    EXPECT_EQ(nonZero, 13501u);
}

}  // namespace
}  // namespace quillon
