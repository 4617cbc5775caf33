#include "character_classes.h"

#include <gtest/gtest.h>

#include <cstring>

namespace quillon {
namespace {

using enum CharClass;
const EncodingProfile& gb = profiles::GB;
const EncodingProfile& gbk = profiles::GBK;
const EncodingProfile& big5 = profiles::BIG5;

TEST(ReadingRule, PairsAnyTrailAndConsumesALoneLeadByte) {
    const char text[] = "\xB0" "A" "x\xB0";
    CharAt first = readCharAt(text, 0, 4);
    EXPECT_EQ(first.code, 0xB041);
    EXPECT_EQ(first.width, 2);
    EXPECT_EQ(readCharAt(text, 2, 4).code, 'x');
    CharAt last = readCharAt(text, 3, 4);
    EXPECT_EQ(last.code, 0);
    EXPECT_EQ(last.width, 1);
    // The end of the range, not of the buffer, decides.
    EXPECT_EQ(readCharAt(text, 0, 1).code, 0);
}

TEST(Profiles, FieldsAsPublished) {
    struct Row {
        const EncodingProfile* profile;
        int id;
        const char* name;
        unsigned leadMin, leadMax, trailMin, trailMax, replacement, tableLeadBase;
    };
    const Row rows[] = {
        {&profiles::GB, 1, "GB", 0xA1, 0xFE, 0xA1, 0xFE, 0xA1F5, 0x81},
        {&profiles::GBK, 2, "GBK", 0x81, 0xFE, 0x40, 0xFE, 0xA1F5, 0x81},
        {&profiles::BIG5, 3, "BIG5", 0xA1, 0xF9, 0x40, 0xFE, 0xA1BC, 0xA1},
        {&profiles::PureASC, 5, "PureASC", 0x00, 0x00, 0x7F, 0x00, 0x0000, 0x00},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const EncodingProfile& p = *row.profile;
        EXPECT_EQ(p.id, row.id);
        EXPECT_STREQ(p.name, row.name);
        EXPECT_EQ(p.leadMin, row.leadMin);
        EXPECT_EQ(p.leadMax, row.leadMax);
        EXPECT_EQ(p.trailMin, row.trailMin);
        EXPECT_EQ(p.trailMax, row.trailMax);
        EXPECT_EQ(p.replacementCode(), row.replacement);
        EXPECT_EQ(p.tableLeadBase, row.tableLeadBase);
        EXPECT_EQ(profileById(row.id), row.profile);
    }
    EXPECT_EQ(profileById(4), nullptr);
    EXPECT_EQ(profiles::PureASC.codeTable, nullptr);
    EXPECT_EQ(profiles::GB.codeTable, profiles::GBK.codeTable);
}

TEST(Profiles, GbkListsAreGbListsPlusAdditions) {
    for (int c = 0; c < kClassCount; ++c) {
        SCOPED_TRACE(c);
        const CharCode* gbList = gb.classes[c];
        const CharCode* gbkList = gbk.classes[c];
        for (int i = 0; gbList[i] != 0; ++i) EXPECT_EQ(gbkList[i], gbList[i]);
        EXPECT_EQ(gbList[3], 0);
        EXPECT_EQ(gbkList[3], 0);
    }
    EXPECT_EQ(std::memcmp(gb.headingWords, gbk.headingWords, sizeof gb.headingWords), 0);
    EXPECT_EQ(gb.headingWords[0], 0xB5C4);   // 的
    EXPECT_EQ(big5.headingWords[0], 0xAABA); // 的
    EXPECT_EQ(big5.headingWords[22], 0xA5BB);
    EXPECT_EQ(big5.headingWords[23], 0);
    EXPECT_EQ(profiles::PureASC.headingWords[0], 0);
}

TEST(Profiles, PrimaryCodes) {
    EXPECT_EQ(gb.primary(Blank), 0xA1A1);
    EXPECT_EQ(big5.primary(Blank), 0xA140);
    EXPECT_EQ(big5.primary(Period), 0xA143);
    EXPECT_EQ(big5.primary(Dollar), 0xA243);
    EXPECT_EQ(gb.primary(FullwidthQuote), 0xA3A2);
    EXPECT_EQ(big5.primary(FullwidthQuote), 0);
    EXPECT_EQ(profiles::PureASC.primary(LeftLenticular), '[');
    EXPECT_EQ(profiles::PureASC.primary(RightDoubleQuote), 0);
}

TEST(InList, EmptyListFindsNothingAndZeroIsNeverFound) {
    const CharCode empty[] = {0, 0, 0, 0};
    EXPECT_FALSE(inList(0, empty));
    EXPECT_FALSE(inList(0xA1A1, empty));
    EXPECT_FALSE(inList(0, gb.list(Comma)));
    EXPECT_TRUE(inList(0xA14F, big5.list(Period)));
}

TEST(InClass, ScopeSeparatesAsciiFromDoubleByte) {
    EXPECT_TRUE(inClass(gb, ',', Comma, Scope::Both));
    EXPECT_TRUE(inClass(gb, ',', Comma, Scope::AsciiOnly));
    EXPECT_FALSE(inClass(gb, ',', Comma, Scope::DoubleByteOnly));
    EXPECT_TRUE(inClass(big5, ',', Comma, Scope::Both));
    EXPECT_TRUE(inClass(gb, 0xA3AC, Comma, Scope::DoubleByteOnly));
    EXPECT_FALSE(inClass(gb, 0xA3AC, Comma, Scope::AsciiOnly));
}

TEST(InClass, DoubleByteCodesBelongToTheSourceProfileOnly) {
    EXPECT_FALSE(inClass(big5, 0xA3AC, Comma, Scope::Both));  // GB comma in Big5 text
    EXPECT_FALSE(inClass(gb, 0xA96F, Comma, Scope::Both));    // GBK-only small comma
    EXPECT_TRUE(inClass(gbk, 0xA96F, Comma, Scope::Both));
    EXPECT_TRUE(inClass(big5, 0xA144, Period, Scope::Both));
    EXPECT_TRUE(inClass(big5, 0xA144, FullwidthDot, Scope::Both));
    for (CharCode code = 0xA140; code < 0xA200; ++code) {
        EXPECT_FALSE(inClass(big5, code, FullwidthQuote, Scope::Both)) << std::hex << code;
    }
    EXPECT_FALSE(inClass(gb, 0, Blank, Scope::Both));
}

TEST(Predicates, BlankIsSpaceOrTheSourcesFullWidthBlank) {
    EXPECT_TRUE(isBlank(gb, ' '));
    EXPECT_TRUE(isBlank(gb, 0xA1A1));
    EXPECT_FALSE(isBlank(gb, 0xA140));
    EXPECT_TRUE(isBlank(big5, 0xA140));
    EXPECT_FALSE(isBlank(gb, '\t'));
}

TEST(Predicates, Punctuation) {
    EXPECT_FALSE(isPunctuation(gb, 0xA1A2));  // 、
    EXPECT_FALSE(isPunctuation(big5, 0xA142));
    for (CharCode ascii : {'-', '*', '[', ']', '(', 'a'}) EXPECT_FALSE(isPunctuation(gb, ascii));
    for (CharCode ascii : {'!', '"', '\'', ',', '.', ':', ';', '?'}) {
        EXPECT_TRUE(isPunctuation(gb, ascii));
        EXPECT_TRUE(isAsciiPunctuation(ascii));
    }
    for (CharCode bracket : {0xA1B8, 0xA1B9, 0xA1BA, 0xA1BB}) EXPECT_TRUE(isPunctuation(gb, bracket));
    for (CharCode bracket : {0xA175, 0xA176, 0xA179, 0xA17A}) EXPECT_TRUE(isPunctuation(big5, bracket));
    EXPECT_TRUE(isPunctuation(gbk, 0xA973));   // GBK small colon
    EXPECT_FALSE(isPunctuation(gb, 0xA973));
    EXPECT_FALSE(isPunctuation(gb, 0xA3AE));   // FullwidthDot is no sentence mark here
}

TEST(Predicates, SentenceEndsAndClosingQuotes) {
    EXPECT_TRUE(isSentenceEnd(gb, 0xA1AD));  // …
    EXPECT_TRUE(isSentenceEnd(big5, 0xA14B));
    EXPECT_FALSE(isSentenceEnd(gb, 0xA3AC));
    EXPECT_FALSE(isSentenceEnd(gb, 0xA3BA));
    EXPECT_TRUE(isSentenceEnd(gb, '?'));
    EXPECT_FALSE(isSentenceEnd(gb, ';'));
    EXPECT_TRUE(isClosingQuote(gb, 0xA1B1));
    EXPECT_FALSE(isClosingQuote(gb, 0xA1B0));
    EXPECT_TRUE(isClosingQuote(gb, '"'));
    EXPECT_TRUE(isClosingQuote(gb, '\''));
    EXPECT_TRUE(isClosingQuote(big5, 0xA17A));
}

}  // namespace
}  // namespace quillon

namespace quillon {
namespace {

TEST(ClassesOf, AgreesWithTheListsForEveryCode) {
    for (const EncodingProfile* profile :
         {&profiles::GB, &profiles::GBK, &profiles::BIG5, &profiles::PureASC}) {
        for (unsigned code = 0; code <= 0xFFFF; ++code) {
            const EncodingProfile& listed = isDoubleByte(CharCode(code)) ? *profile : profiles::PureASC;
            ClassSet expected = 0;
            for (int c = 0; c < kClassCount; ++c) {
                if (inList(CharCode(code), listed.classes[c])) expected |= ClassSet(1) << c;
            }
            ASSERT_EQ(classesOf(*profile, CharCode(code)), expected)
                << profile->name << " " << std::hex << code;
        }
    }
    // A profile that is not built in is answered from its own lists.
    EncodingProfile custom = profiles::GB;
    custom.classes[1][1] = 0xB0A1;
    EXPECT_EQ(classesOf(custom, 0xB0A1), ClassSet(1) << 1);
    EXPECT_EQ(classesOf(profiles::GB, 0xB0A1), 0u);
    EXPECT_FALSE(rowIsUnclassed(custom, 0xB0));
    EXPECT_TRUE(rowIsUnclassed(profiles::GB, 0xB0));
}

TEST(MayEndSentence, HoldsForEveryCodeThatEndsASentenceOrClosesAQuote) {
    for (const EncodingProfile* profile : {&profiles::GB, &profiles::GBK, &profiles::BIG5}) {
        const ClassLookup classes(*profile);
        for (unsigned code = 1; code <= 0xFFFF; ++code) {
            const auto c = CharCode(code);
            const bool ends = isSentenceEnd(*profile, c) || isClosingQuote(*profile, c);
            ASSERT_EQ(mayEndSentence(c, classes(c)), ends) << profile->name << " " << std::hex << code;
        }
    }
}

TEST(RowIsUnclassed, AgreesWithClassesOfForEveryLeadByte) {
    for (const EncodingProfile* profile :
         {&profiles::GB, &profiles::GBK, &profiles::BIG5, &profiles::PureASC}) {
        for (unsigned lead = 0x80; lead <= 0xFF; ++lead) {
            bool unclassed = true;
            for (unsigned trail = 0; trail <= 0xFF; ++trail) {
                unclassed = unclassed && classesOf(*profile, CharCode(lead << 8 | trail)) == 0;
            }
            EXPECT_EQ(rowIsUnclassed(*profile, lead), unclassed) << profile->name << " " << std::hex << lead;
        }
    }
    EXPECT_FALSE(rowIsUnclassed(profiles::GBK, 0xA9));  // the small forms
    EXPECT_TRUE(rowIsUnclassed(profiles::GB, 0xA9));
}

}  // namespace
}  // namespace quillon
