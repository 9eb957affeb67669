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
} // namespace
