#include "core/Gbk.h"

#include <gtest/gtest.h>

namespace
{
// "\xB0\x5B" is one double-byte character whose second byte looks like '['.
TEST(GbkFind, NeverStartsOnASecondByte)
{
    EXPECT_EQ(Gbk::Find("\xB0[B]x[B]", "[B]"), 5u);
    EXPECT_EQ(Gbk::Find("\xB0[B]", "[B]"), std::string_view::npos);
    EXPECT_EQ(Gbk::Find("a[B]", "[B]"), 1u);
}

TEST(GbkFind, EmptyNeedleIsFoundAtTheStart)
{
    EXPECT_EQ(Gbk::Find("abc", "", 2), 2u);
    EXPECT_EQ(Gbk::Find("abc", "", 4), std::string_view::npos);
}

TEST(GbkFind, LeadByteAtTheEndIsOneCharacter)
{
    EXPECT_EQ(Gbk::Find("a\xB0", "\xB0"), 1u);
}

TEST(GbkTrim, RemovesAsciiBlanksOnly)
{
    EXPECT_EQ(Gbk::Trim(" \t\r\n\v\fA B\f\v\n\r\t "), "A B");
    EXPECT_EQ(Gbk::Trim("\xA1\xA1x\xA1\xA1"), "\xA1\xA1x\xA1\xA1"); // the ideographic space stays
    EXPECT_EQ(Gbk::Trim("   "), "");
}

TEST(GbkEqualsNoCase, FoldsLettersButNotSecondBytes)
{
    EXPECT_TRUE(Gbk::EqualsNoCase("Abc", "aBC"));
    EXPECT_FALSE(Gbk::EqualsNoCase("Abc", "Ab"));
    // 0xB0 0x41 and 0xB0 0x61 are two different characters.
    EXPECT_FALSE(Gbk::EqualsNoCase("\xB0\x41", "\xB0\x61"));
    EXPECT_TRUE(Gbk::EqualsNoCase("\xB0\x41x", "\xB0\x41X"));
}

TEST(GbkEqualsNoCase, FoldsExactlyTheLettersAtBothEndsOfTheAlphabet)
{
    // The neighbours of A..Z and a..z differ by 0x20 as well, yet are no letters.
    const struct
    {
        const char* a;
        const char* b;
        bool bEqual;
    } cases[] = {
        {"A", "a", true},  {"Z", "z", true},  {"a", "A", true}, {"z", "Z", true},  {"@", "`", false}, {"[", "{", false},
        {"`", "@", false}, {"{", "[", false}, {"@", "@", true}, {"A", "B", false}, {"Z", "[", false}, {"z", "{", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Gbk::EqualsNoCase(c.a, c.b), c.bEqual) << c.a << " " << c.b;
}
} // namespace
