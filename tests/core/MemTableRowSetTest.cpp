#include "MemTableTestSupport.h"

#include <gtest/gtest.h>

using namespace MemTableTest;

namespace
{
// Ten rows: loaded cells, changed cells (held apart from the loaded text), empty cells and GBK.
void TenRows(CMemTable& table)
{
    std::string strText = "A\tB\tC\r\n";
    for (int i = 0; i < 10; ++i)
        strText += "a" + std::to_string(i) + "\t" + (i % 3 ? Gbk("张三") : "") + "\tc" + std::to_string(i) + "\r\n";
    LoadOrFail(table, strText);
    table.SetCell(2, 0, "changed two");
    table.SetCell(9, 2, Gbk("北京市海淀区"));
    table.AddRows(1);
    table.SetCell(10, 1, "added");
}

std::string TextOf(const CMemTable& table)
{
    std::string strText;
    table.WriteToString(strText);
    return strText;
}
} // namespace

class RowSetRoundTrip : public testing::TestWithParam<std::vector<int>>
{
};

TEST_P(RowSetRoundTrip, CopiedRowsGoBackToTheirPlacesByteForByte)
{
    CMemTable table;
    TenRows(table);
    const std::string strBefore = TextOf(table);
    const std::vector<int>& rows = GetParam();
    CMemTable copy;
    table.CopyRowSet(rows, copy);
    ASSERT_EQ(Names(copy), Names(table));
    ASSERT_EQ(copy.GetRowCount(), static_cast<int>(rows.size()));
    for (std::size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(Cells(copy)[i], Cells(table)[static_cast<std::size_t>(rows[i])]);
    table.DeleteRowSet(rows);
    ASSERT_TRUE(table.InsertRowSet(copy, rows));
    EXPECT_EQ(TextOf(table), strBefore);
    // The copy is a table of its own: the original changing, even going, does not touch it.
    const Rows copied = Cells(copy);
    table.SetCell(0, 0, "later");
    table.DeleteRows(0, 10);
    EXPECT_EQ(Cells(copy), copied);
}

INSTANTIATE_TEST_SUITE_P(RowSets, RowSetRoundTrip,
                         testing::Values(std::vector<int>{}, std::vector<int>{0}, std::vector<int>{10},
                                         std::vector<int>{2, 9}, std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10},
                                         std::vector<int>{1, 3, 5, 7, 9}, std::vector<int>{0, 10}));

TEST(RowSet, InsertsIntoAnEmptyTableAndAtTheEnd)
{
    CMemTable table;
    TenRows(table);
    CMemTable all;
    table.CopyRowSet({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, all);
    CMemTable empty;
    LoadOrFail(empty, "A\tB\tC\r\n");
    ASSERT_TRUE(empty.InsertRowSet(all, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(TextOf(empty), TextOf(table));
    CMemTable last;
    table.CopyRowSet({10}, last);
    ASSERT_TRUE(empty.InsertRowSet(last, {11}));
    EXPECT_EQ(Cells(empty)[11], Cells(table)[10]);
}

TEST(RowSet, RefusesPositionsThatDoNotFitAndChangesNothing)
{
    CMemTable table;
    TenRows(table); // 11 rows
    CMemTable two;
    table.CopyRowSet({0, 1}, two);
    CMemTable narrow;
    LoadOrFail(narrow, "A\r\nx\r\ny\r\n");
    const std::string strBefore = TextOf(table);
    struct Case
    {
        const CMemTable* pSource;
        std::vector<int> positions;
    };
    for (const Case& c : {Case{&two, {3}}, Case{&two, {3, 3}}, Case{&two, {4, 3}}, Case{&two, {-1, 0}},
                          Case{&two, {11, 13}}, Case{&two, {12, 13}}, Case{&narrow, {0, 1}}})
    {
        EXPECT_FALSE(table.InsertRowSet(*c.pSource, c.positions));
        EXPECT_EQ(TextOf(table), strBefore);
    }
    EXPECT_TRUE(table.InsertRowSet(two, {11, 12})); // the largest places that fit
}
