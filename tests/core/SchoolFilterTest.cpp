#include "core/SchoolFilter.h"

#include "TestKit.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "core/MemTable.h"

namespace
{
// A directory excerpt in the directory's own form: code, name, province.
class SchoolFilter : public testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_schools.Load(Gbk("学校代码\t学校名称\t省市代码\r\n"
                                       "10001\t北京大学\t11\r\n"
                                       "10003\t清华大学\t11\r\n"
                                       "10010\tABC学院\t11\r\n"
                                       "10169\t本溪学院\t21\r\n"
                                       "10246\t复旦大学\t31\r\n")));
    }
    std::vector<int> Filter(const char* lpcszUtf8) const { return FilterSchoolRows(m_schools, Gbk(lpcszUtf8)); }

    CMemTable m_schools;
};

TEST_F(SchoolFilter, EmptyOrBlankFilterKeepsEveryRow)
{
    const std::vector<int> all{0, 1, 2, 3, 4};
    EXPECT_EQ(Filter(""), all);
    EXPECT_EQ(Filter(" \t\r\n\v\f"), all);
}

TEST_F(SchoolFilter, KeepsNamesHoldingTheTrimmedTextInDirectoryOrder)
{
    EXPECT_EQ(Filter("大学"), (std::vector<int>{0, 1, 4}));
    EXPECT_EQ(Filter("  复旦\t"), (std::vector<int>{4}));
    EXPECT_EQ(Filter("北京大学"), (std::vector<int>{0}));
}

TEST_F(SchoolFilter, SearchesNamesOnlyAndCaseSensitively)
{
    EXPECT_TRUE(Filter("10001").empty());
    EXPECT_TRUE(Filter("东南").empty());
    EXPECT_TRUE(Filter("abc").empty());
    EXPECT_EQ(Filter("BC"), (std::vector<int>{2}));
}

// The bytes of "本" are the second byte of "北" and the first of "京" in "北京大学".
TEST_F(SchoolFilter, MatchesStartOnlyAtCharacterBoundaries)
{
    ASSERT_NE(Gbk("北京大学").find(Gbk("本")), std::string::npos);
    EXPECT_EQ(Filter("本"), (std::vector<int>{3}));
}
} // namespace
