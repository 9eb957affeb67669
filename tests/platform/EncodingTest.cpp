#include "platform/Encoding.h"

#include <gtest/gtest.h>
#include <string>

namespace
{
// The remembering converter gives exactly what a plain conversion gives, for every one- and
// two-byte sequence, the first time and when it meets it again.
TEST(GbkToUtf8, RememberedCharactersConvertLikeThePlainConversion)
{
    Encoding::CConverter plain("UTF-8", "CP936");
    Encoding::CGbkToUtf8 remembering;
    for (int nPass = 0; nPass < 2; ++nPass)
        for (int lead = 0x80; lead <= 0xFF; ++lead)
            for (int trail = 0; trail <= 0xFF; ++trail)
            {
                const std::string text = {'a', static_cast<char>(lead), static_cast<char>(trail), 'z'};
                std::string expected;
                const bool bExpected = plain.Convert(text, expected);
                std::string out = "kept";
                ASSERT_EQ(remembering.Append(text, out), bExpected) << lead << " " << trail;
                if (bExpected)
                {
                    ASSERT_EQ(out, "kept" + expected) << lead << " " << trail;
                }
            }
}

TEST(GbkToUtf8, TextCutShortInACharacterFails)
{
    Encoding::CGbkToUtf8 converter;
    std::string out;
    EXPECT_FALSE(converter.Append("ab\xB0", out));
    out.clear();
    EXPECT_TRUE(converter.Append("ab\xB0\xA1", out));
    EXPECT_EQ(out, "ab\xE5\x95\x8A"); // 啊
}
// A long text is checked by a table of characters, a short one by conversion: both give the same
// answer, wherever in the text the character lies.
TEST(IsValidGbk, LongTextsAgreeWithTheConversionOfShortOnes)
{
    const std::string pad(std::size_t{1} << 21, 'a');
    const char* const cases[] = {"\xB0\xA1", "\x81\x40", "\x80",     "\xFF",     "\xFF\xA1",    "\xB0\x7F",
                                 "\xB0",     "\xA1\x40", "\xFE\xFE", "\xA2\xA1", "\xB0\xA1\xB0"};
    for (const std::string bytes : cases)
    {
        const bool bShort = Encoding::IsValidGbk("x" + bytes + "y");
        EXPECT_EQ(Encoding::IsValidGbk(pad + bytes + "y"), bShort) << bytes;
        EXPECT_EQ(Encoding::IsValidGbk("x" + bytes + pad), bShort) << bytes;
        EXPECT_EQ(Encoding::IsValidGbk(pad + bytes), Encoding::IsValidGbk(bytes)) << bytes;
    }
    EXPECT_TRUE(Encoding::IsValidGbk(pad + "\xB0\xA1"));
    EXPECT_FALSE(Encoding::IsValidGbk(pad + "\xB0"));
}
} // namespace
