#include "core/Statistics.h"

#include "TestKit.h"

#include <gtest/gtest.h>
#include <utility>

#include "core/DataFunc.h"

namespace
{
// A student table of sample records, each with one field set to the given value (UTF-8).
void FillStudents(CMemTable& table, int nField, const std::vector<std::string>& values)
{
    CreateStudentTable(table);
    table.AddRows(static_cast<int>(values.size()));
    for (int r = 0; r < static_cast<int>(values.size()); ++r)
    {
        std::vector<std::string> record = TestKit::SampleStudent(std::to_string(r + 1));
        record[nField] = values[r];
        for (int c = 0; c < STUDENT_FIELD_COUNT; ++c)
            table.SetCell(r, c, Gbk(record[c]));
    }
}

const StatDimension& Dimension(const char* lpcszName)
{
    const StatDimension* pDimension = FindStatDimension(lpcszName);
    EXPECT_NE(pDimension, nullptr) << lpcszName;
    return *pDimension;
}

// "name=count" for every group, in the order the counts give them (UTF-8).
std::string Listing(const CStatCounts& counts)
{
    std::string strOut;
    for (std::size_t r = 0; r < counts.Rows().size(); ++r)
        strOut += (r ? " " : "") + Utf8(counts.Rows()[r].strName) + "=" + std::to_string(counts.RowTotal(r));
    return strOut;
}

struct GroupCase
{
    const char* lpcszDimension;
    int nField;
    std::vector<std::string> values;
    std::string expected;
};

class StatisticsGroups : public testing::TestWithParam<GroupCase>
{
};

TEST_P(StatisticsGroups, CountsUnderNamesInTableOrderWithInvalidCodesLast)
{
    const GroupCase& test = GetParam();
    CMemTable students;
    FillStudents(students, test.nField, test.values);
    const CStatCounts counts = CountAllRecords(students, Dimension(test.lpcszDimension));
    EXPECT_EQ(Listing(counts), test.expected);
    EXPECT_EQ(counts.Total(), static_cast<int>(test.values.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Dimensions, StatisticsGroups,
    testing::Values(
        GroupCase{"XBDM", Field::XBDM, {"2", "1", "2", "3", ""}, "男=1 女=2 （无效代码）=2"},
        // Table order, not code order; codes that differ only in letter case meet in one group.
        GroupCase{"XLDM", Field::XLDM, {"01", "31", "01"}, "本科生毕业=2 博士生毕业=1"},
        GroupCase{"ZXWYYZDM", Field::ZXWYYZDM, {"EN", "en", "ja"}, "英语=2 日语=1"},
        GroupCase{"SYSZDQDM", Field::SYSZDQDM, {"460000", "110000", "11"}, "北京市=1 海南省=1 （无效代码）=1"},
        // A region counts under its province; a municipality is its own; "0" is no preference.
        GroupCase{"YXGZDQDM",
                  Field::YXGZDQDM,
                  {"469000", "460100", "110000", "0", "999900", "130000"},
                  "--不限--=1 北京市=1 海南省=2 （无效代码）=2"},
        // A discipline's own code (the editor stores 01000000 for "哲学") counts as the discipline.
        GroupCase{"ZYDLDM",
                  Field::ZYDM,
                  {"07010100", "07014400", "01000000", "01010100", "99999999"},
                  "哲学=1 哲学类=1 数学类=2 （无效代码）=1"},
        GroupCase{"ZYDM", Field::ZYDM, {"07010100", "07010100"}, "数学与应用数学=2"},
        GroupCase{"BYSJ",
                  Field::BYSJ,
                  {"2007-6-30", "2006-06-30", "2007-07-01", "", "1969-12-31", "abc"},
                  "2006=1 2007=2 （无效代码）=3"},
        // The stored band keeps its trailing space; the same text without it is no band of the list.
        GroupCase{
            "YXYX", Field::YXYX, {"3000以上", "1000-2000 ", "1000-2000"}, "1000-2000 =1 3000以上=1 （无效代码）=1"},
        GroupCase{"JICENG", Field::JICENG, {"00", "07"}, "--无--=1 自主创业、自谋职业、个体经营=1"}),
    [](const testing::TestParamInfo<GroupCase>& info) { return std::string(info.param.lpcszDimension); });

TEST(Statistics, CrossTableCountsEveryPairAndItsTotals)
{
    CMemTable students;
    FillStudents(students, Field::XLDM, {"01", "01", "11", "01", "xx"});
    const char* sexes[] = {"1", "2", "2", "2", "1"};
    for (int r = 0; r < 5; ++r)
        students.SetCell(r, Field::XBDM, sexes[r]);
    const CStatCounts counts = CountAllRecords(students, Dimension("XLDM"), &Dimension("XBDM"));
    ASSERT_TRUE(counts.IsCross());
    ASSERT_EQ(counts.Rows().size(), 3u);
    ASSERT_EQ(counts.Cols().size(), 2u);
    EXPECT_EQ(Utf8(counts.Cols()[1].strName), "女");
    EXPECT_EQ(counts.Count(0, 0), 1); // 本科生毕业, 男
    EXPECT_EQ(counts.Count(0, 1), 2);
    EXPECT_EQ(counts.Count(1, 0), 0); // 硕士生毕业, 男
    EXPECT_EQ(counts.Count(2, 0), 1); // the invalid education
    EXPECT_EQ(counts.ColTotal(1), 3);
    EXPECT_EQ(counts.RowTotal(0), 3);
    EXPECT_EQ(counts.Total(), 5);
}

TEST(Statistics, CountsOnlyTheGivenRows)
{
    CMemTable students;
    FillStudents(students, Field::XBDM, {"1", "2", "2", "1"});
    const CStatCounts counts = CountRecords(students, {1, 3}, Dimension("XBDM"));
    EXPECT_EQ(Listing(counts), "男=1 女=1");
    EXPECT_EQ(counts.Total(), 2);
}

TEST(Statistics, FindsDimensionsByFieldNameInAnyCaseOrByTitle)
{
    EXPECT_EQ(FindStatDimension("xbdm"), FindStatDimension(Gbk("性别")));
    EXPECT_EQ(FindStatDimension("ZYDLDM")->nField, Field::ZYDM);
    EXPECT_EQ(FindStatDimension("XM"), nullptr); // names are not coded: nothing to count by
    EXPECT_EQ(FindStatDimension(""), nullptr);
}

TEST(Statistics, GridAndCsvShowCountsSharesAndTotals)
{
    CMemTable students;
    FillStudents(students, Field::XBDM, {"1", "2", "2", "x"});
    const StatDimension& sex = Dimension("XBDM");
    const auto grid = StatisticsGrid(CountAllRecords(students, sex), sex);
    EXPECT_EQ(Utf8(StatisticsCsv(grid)), "性别,人数,百分比\r\n男,1,25.0%\r\n女,2,50.0%\r\n（无效代码）,1,25.0%\r\n"
                                         "合计,4,100.0%\r\n");
    EXPECT_EQ(grid[2][1].kind, StatCell::Number);
    EXPECT_DOUBLE_EQ(grid[2][2].fValue, 0.5);
}

TEST(Statistics, CrossGridHasAColumnPerGroupOfTheSecondField)
{
    CMemTable students;
    FillStudents(students, Field::XBDM, {"1", "2"});
    students.SetCell(1, Field::YXDWHYDM, "G");
    students.SetCell(0, Field::YXDWHYDM, "a");
    const StatDimension& industry = Dimension("YXDWHYDM");
    const StatDimension& sex = Dimension("XBDM");
    const auto grid = StatisticsGrid(CountAllRecords(students, industry, &sex), industry, &sex);
    EXPECT_EQ(Utf8(StatisticsCsv(grid)), "意向单位行业 \\ 性别,男,女,合计,百分比\r\n"
                                         "农、林、牧、渔业,1,0,1,50.0%\r\n"
                                         "信息传输、计算机服务和软件业,0,1,1,50.0%\r\n"
                                         "合计,1,1,2,100.0%\r\n");
}

TEST(Statistics, EmptySelectionGivesOnlyTheTotalsRow)
{
    CMemTable students;
    FillStudents(students, Field::XBDM, {"1"});
    const StatDimension& sex = Dimension("XBDM");
    const auto grid = StatisticsGrid(CountRecords(students, {}, sex), sex);
    EXPECT_EQ(Utf8(StatisticsCsv(grid)), "性别,人数,百分比\r\n合计,0,0.0%\r\n");
}
} // namespace
