#include "DataTestSupport.h"

#include <gtest/gtest.h>

#include "core/DataFunc.h"

namespace
{
TEST(StudentSchema, EmptyTableHasTheTwentyFourColumnsInRecordOrder)
{
    CMemTable table;
    ASSERT_TRUE(CreateStudentTable(table));
    ASSERT_EQ(table.GetColCount(), STUDENT_FIELD_COUNT);
    EXPECT_EQ(table.GetRowCount(), 0);
    std::string strHeader;
    for (int nCol = 0; nCol < STUDENT_FIELD_COUNT; ++nCol)
    {
        EXPECT_STREQ(table.GetColName(nCol), g_studentFields[nCol].lpcszName);
        strHeader += std::string(nCol == 0 ? "" : "\t") + g_studentFields[nCol].lpcszName;
    }
    EXPECT_EQ(strHeader + "\r\n", g_lpcszStudentColumns);
    EXPECT_EQ(table.GetColIndex("XSBSH"), Field::XSBSH);
    EXPECT_EQ(table.GetColIndex("YXYX"), Field::YXYX);
    EXPECT_EQ(table.GetColIndex("JICENG"), Field::JICENG);
}

TEST(StudentSchema, ListAndEditorLabelsDifferInEightFields)
{
    EXPECT_EQ(g_studentFields[Field::XBDM].lpcszListLabel, Gbk("性别"));
    EXPECT_EQ(g_studentFields[Field::XBDM].lpcszEditorLabel, Gbk("姓别"));
    EXPECT_EQ(g_studentFields[Field::JICENG].lpcszListLabel, Gbk("参加下基层项目"));
    int nDiffering = 0;
    for (const STUDENTFIELD& field : g_studentFields)
        nDiffering += std::string(field.lpcszListLabel) != field.lpcszEditorLabel;
    EXPECT_EQ(nDiffering, 8);
}

TEST(StudentSchema, CodedFieldsAreBoundToTheirTables)
{
    EXPECT_EQ(g_studentFields[Field::ZYDM].pTable, &g_codeMajors);
    EXPECT_EQ(g_studentFields[Field::YXGZDQDM].pTable, &g_codeRegions);
    EXPECT_EQ(g_studentFields[Field::YXYX].pTable, nullptr);
    int nCoded = 0;
    for (const STUDENTFIELD& field : g_studentFields)
        nCoded += field.pTable != nullptr;
    EXPECT_EQ(nCoded, 12);
}

TEST(StudentSchema, SalaryBandsKeepTheirTrailingSpaces)
{
    EXPECT_EQ(g_szSalaryBands[0], Gbk("1000以下"));
    EXPECT_STREQ(g_szSalaryBands[1], "1000-2000 ");
    EXPECT_STREQ(g_szSalaryBands[2], "2000-3000 ");
    EXPECT_EQ(g_szSalaryBands[3], Gbk("3000以上"));
}

struct DateCase
{
    const char* lpcszText;
    std::int32_t nTime;       // with TZ=Asia/Shanghai
    const char* lpcszWritten; // the text the time value formats to; null for no date
};

void PrintTo(const DateCase& c, std::ostream* pOut)
{
    *pOut << '"' << c.lpcszText << '"';
}

class DateText : public testing::TestWithParam<DateCase>
{
};

TEST_P(DateText, ReadsLocalMidnightAndWritesTheCanonicalForm)
{
    const DateCase& c = GetParam();
    const std::int32_t nTime = ParseDateText(c.lpcszText);
    EXPECT_EQ(nTime, c.nTime);
    if (c.lpcszWritten != nullptr)
    {
        EXPECT_EQ(FormatDateText(nTime), c.lpcszWritten);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Dates, DateText,
    testing::Values(DateCase{"1970-01-02", 57600, "1970-01-02"}, DateCase{"2006-06-30", 1151596800, "2006-06-30"},
                    DateCase{"2006-6-30", 1151596800, "2006-06-30"},
                    // a day of daylight saving: midnight of standard time keeps the date
                    DateCase{"1988-07-01", 583689600, "1988-07-01"}, DateCase{"2038-01-19", 2147443200, "2038-01-19"},
                    DateCase{"1970-01-01", 0, nullptr}, DateCase{"1969-12-31", 0, nullptr}, DateCase{"", 0, nullptr},
                    DateCase{"abc", 0, nullptr}, DateCase{"2006-06", 0, nullptr}, DateCase{"2038-01-20", 0, nullptr},
                    DateCase{"-2147483648-1-1", 0, nullptr}, DateCase{"2000--2147483648-1", 0, nullptr}));
} // namespace
