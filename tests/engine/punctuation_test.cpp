#include <gtest/gtest.h>

#include <array>

#include "text_formatter.h"

namespace quillon {
namespace {

class Punctuation : public ::testing::Test {
protected:
    TextFormatter& on(const EncodingProfile& source) {
        f.sourceProfile = &source;
        return f;
    }
    TextFormatter f;
};

TEST_F(Punctuation, AsciiMarksBecomeTheSourcesFullWidthForms) {
    struct Row {
        char ascii;
        CharCode gb, big5;
    };
    const Row rows[] = {
        {' ', 0xA1A1, 0xA140}, {',', 0xA3AC, 0xA141}, {'.', 0xA1A3, 0xA143},
        {':', 0xA3BA, 0xA147}, {';', 0xA3BB, 0xA146}, {'?', 0xA3BF, 0xA148},
        {'!', 0xA3A1, 0xA149}, {'*', 0xA3AA, 0xA1AF}, {'#', 0xA3A3, 0xA1AD},
        {'$', 0xA1E7, 0xA243}, {'=', 0xA3BD, 0xA1D7}, {'-', 0xA3AD, 0xA1D0},
        {'_', 0xA3DF, 0xA1C4}, {'[', 0xA1BE, 0xA169}, {']', 0xA1BF, 0xA16A},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(on(profiles::GB).translateAsciiPunctuation(row.ascii), row.gb) << row.ascii;
        EXPECT_EQ(on(profiles::GBK).translateAsciiPunctuation(row.ascii), row.gb) << row.ascii;
        EXPECT_EQ(on(profiles::BIG5).translateAsciiPunctuation(row.ascii), row.big5) << row.ascii;
    }
    for (CharCode same : {'a', '7', '\t', '(', ')', '/', '+', '%', '<', '>', '\r', '\0'}) {
        EXPECT_EQ(on(profiles::GB).translateAsciiPunctuation(same), same);
    }
    EXPECT_EQ(on(profiles::GB).translateAsciiPunctuation(0xA3AE), 0xA3AE);
}

TEST_F(Punctuation, StraightQuotesAlternateAndShareNoState) {
    on(profiles::GB);
    EXPECT_EQ(f.translateAsciiPunctuation('"'), 0xA1B0);
    EXPECT_EQ(f.translateAsciiPunctuation('\''), 0xA1AE);
    EXPECT_EQ(f.translateAsciiPunctuation('"'), 0xA1B1);
    EXPECT_EQ(f.translateAsciiPunctuation('"'), 0xA1B0);
    EXPECT_EQ(f.translateAsciiPunctuation('\''), 0xA1AF);
    on(profiles::BIG5);
    EXPECT_EQ(f.translateAsciiPunctuation('"'), 0xA1A8);  // the flag carries over
    EXPECT_EQ(f.translateAsciiPunctuation('\''), 0xA1A5);
}

TEST_F(Punctuation, VerticalFormsAreFixedInBig5Only) {
    const CharCode vertical[] = {0xA16F, 0xA170, 0xA177, 0xA178, 0xA16B, 0xA16C, 0xA17B, 0xA17C, 0xA155};
    const CharCode horizontal[] = {0xA16D, 0xA16E, 0xA175, 0xA176, 0xA169, 0xA16A, 0xA179, 0xA17A, 0xA277};
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(on(profiles::BIG5).fixVerticalForm(vertical[i]), horizontal[i]);
        EXPECT_EQ(on(profiles::GB).fixVerticalForm(vertical[i]), vertical[i]);
        EXPECT_EQ(on(profiles::GBK).fixVerticalForm(vertical[i]), vertical[i]);
    }
    EXPECT_EQ(on(profiles::BIG5).fixVerticalForm(0xA16D), 0xA16D);
}

// The format run keeps by row which codes it must hand to fixVerticalForm.
TEST_F(Punctuation, RowsWithVerticalFormsAreThoseFixVerticalFormChanges) {
    for (const EncodingProfile* profile : {&profiles::BIG5, &profiles::GB, &profiles::GBK}) {
        const std::array<bool, 0x100> rows = on(*profile).rowsWithVerticalForms();
        for (unsigned row = 0; row <= 0xFF; ++row) {
            bool changes = false;
            for (unsigned low = 0; low <= 0xFF; ++low) {
                const auto code = static_cast<CharCode>(row << 8 | low);
                changes = changes || f.fixVerticalForm(code) != code;
            }
            EXPECT_EQ(rows[row], changes) << profile->name << " row " << std::hex << row;
        }
    }
    EXPECT_TRUE(on(profiles::BIG5).rowsWithVerticalForms()[0xA1]);
}

TEST_F(Punctuation, FullwidthDotBecomesAFullStop) {
    EXPECT_EQ(on(profiles::GB).fixFullwidthMark('3', 0xA3AE), 0xA1A3);
    EXPECT_EQ(on(profiles::BIG5).fixFullwidthMark('3', 0xA144), 0xA143);
    EXPECT_EQ(on(profiles::BIG5).fixFullwidthMark('3', 0xA14F), 0xA143);
    EXPECT_EQ(on(profiles::BIG5).fixFullwidthMark('3', 0xA3A2), 0xA3A2);  // no Big5 straight quote
}

TEST_F(Punctuation, FullwidthQuoteAfterAColonAlwaysOpens) {
    on(profiles::GB);
    EXPECT_EQ(f.fixFullwidthMark(0xB1E4, 0xA3A2), 0xA1B0);  // ＂ opens
    f.quoteDepth[0] = 1;
    EXPECT_EQ(f.fixFullwidthMark(0xA3BA, 0xA3A2), 0xA1B0);  // after ：, opens again
    EXPECT_EQ(f.quoteDepth[0], 0);
    EXPECT_EQ(f.doubleQuoteOpen, 1);
    EXPECT_EQ(f.fixFullwidthMark(':', 0xA3A2), 0xA1B0);     // an ASCII colon counts too
    EXPECT_EQ(f.fixFullwidthMark(0xB6A1, 0xA3A2), 0xA1B1);  // anything else closes
    EXPECT_EQ(f.doubleQuoteOpen, 0);
    EXPECT_EQ(f.fixFullwidthMark(0xA3BA, 0xA3A2), 0xA1B0);  // closed: a colon changes nothing
}

}  // namespace
}  // namespace quillon
