// Which marks may not start a line and which may not end one, by family.
#include "text_kinds.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

struct MarkCase {
    const EncodingProfile* family;
    CharCode code;
    bool closes;
    bool opens;
};

TEST(TextKinds, MarksOfEachFamilyAndRow) {
    const MarkCase cases[] = {
        {&profiles::GB, 0xA3AC, true, false},    // ， (full-width row)
        {&profiles::GB, 0xA1A3, true, false},    // 。
        {&profiles::GB, 0xA1B0, false, true},    // “
        {&profiles::GB, 0xA3A8, false, true},    // （
        {&profiles::GBK, 0xA845, true, false},   // GBK's rows beyond GB2312's
        {&profiles::GBK, 0xA975, true, false},
        {&profiles::GB, 0xA1A1, false, false},   // the full-width blank
        {&profiles::GB, 0xB0A1, false, false},   // a hanzi
        {&profiles::GB, 0xA141, false, false},   // Big5's comma is no GB mark
        {&profiles::BIG5, 0xA141, true, false},  // ，
        {&profiles::BIG5, 0xA15D, false, true},  // （
        {&profiles::BIG5, 0xA3AC, false, false},
        {&profiles::BIG5, ')', true, false},
        {&profiles::GB, '[', false, true},
        {&profiles::GB, 'a', false, false},
    };
    for (const MarkCase& c : cases) {
        EXPECT_EQ(closesText(*c.family, c.code), c.closes) << std::hex << c.code;
        EXPECT_EQ(opensText(*c.family, c.code), c.opens) << std::hex << c.code;
    }
}

}  // namespace
}  // namespace quillon
