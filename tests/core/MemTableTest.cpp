#include "MemTableTestSupport.h"

#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace MemTableTest;

namespace
{
class MemTableCells : public testing::Test
{
  protected:
    void SetUp() override { LoadOrFail(table, "XH\tXM\tXH\r\n1\t\xD5\xC5\xC8\xFD\t9\r\n2\tLi\t8\r\n"); }
    CMemTable table;
};

TEST_F(MemTableCells, NamesFindTheFirstColumn)
{
    EXPECT_EQ(table.GetColIndex("XH"), 0);
    EXPECT_EQ(table.GetColIndex("xh"), -1);
    EXPECT_EQ(table.GetColIndex("NOSUCH"), -1);
    EXPECT_STREQ(table.GetCell(1, "XM"), "Li");
    EXPECT_STREQ(table.GetCell(0, "NOSUCH"), "");
    EXPECT_EQ(table.GetCell(0, "NOSUCH"), table.GetCell(1, "OTHER")); // one shared empty text
}

TEST_F(MemTableCells, SetCellStoresACopy)
{
    std::string value = "\xCD\xF5\xCE\xE5";
    std::string* stored = table.SetCell(0, 1, value);
    value = "changed";
    EXPECT_STREQ(table.GetCell(0, 1), "\xCD\xF5\xCE\xE5");
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(*stored, "\xCD\xF5\xCE\xE5");
    EXPECT_STREQ(table.GetCell(1, 1), "Li");
}

TEST_F(MemTableCells, SetCellFromAnotherCellOfTheTable)
{
    table.SetCell(0, 0, "a long text that does not fit a small string");
    for (int nCol = 1; nCol < 3; ++nCol)
        table.SetCell(0, nCol, std::string_view(table.GetCell(0, nCol - 1)));
    table.SetCell(1, 1, std::string_view(table.GetCell(1, 1)));
    EXPECT_EQ(Cells(table),
              (Rows{{"a long text that does not fit a small string", "a long text that does not fit a small string",
                     "a long text that does not fit a small string"},
                    {"2", "Li", "8"}}));
}

TEST_F(MemTableCells, NumbersAreStoredInDecimal)
{
    table.SetCell(0, 0, std::uint32_t{4294967295u});
    table.SetCell(1, "XM", std::uint32_t{0});
    EXPECT_STREQ(table.GetCell(0, 0), "4294967295");
    EXPECT_STREQ(table.GetCell(1, 1), "0");
}

TEST_F(MemTableCells, UnknownNameStoresNothing)
{
    EXPECT_EQ(table.SetCell(0, "NOSUCH", "x"), nullptr);
    table.SetCell(0, "NOSUCH", std::uint32_t{5});
    EXPECT_EQ(Cells(table), (Rows{{"1", "\xD5\xC5\xC8\xFD", "9"}, {"2", "Li", "8"}}));
}

TEST_F(MemTableCells, CellPointerAndRowChangeTheCell)
{
    *table.GetCellPtr(0, 2) += "9";
    table.GetRow(1)[0] = "two";
    const CMemTable& constTable = table;
    EXPECT_STREQ(constTable.GetRow(0)[2], "99");
    EXPECT_STREQ(table.GetCell(1, 0), "two");
}

TEST_F(MemTableCells, ClearKeepsTheErrorText)
{
    table.Load("A\r\nx\ry\r\n");
    LoadOrFail(table, "A\r\n1\r\n");
    table.Clear();
    EXPECT_EQ(table.GetColCount(), 0);
    EXPECT_EQ(table.GetRowCount(), 0);
    EXPECT_FALSE(table.IsLoaded());
    EXPECT_NE(std::string(table.GetErrorText()), "");
}

#ifndef NDEBUG
TEST_F(MemTableCells, IndexOutsideTheTableIsAnAssertion)
{
    EXPECT_DEATH(table.GetCell(2, 0), "IsInside");
    EXPECT_DEATH(table.SetCell(0, 3, "x"), "IsInside");
    EXPECT_DEATH(table.GetColName(-1), "nCol");
    EXPECT_DEATH(table.InsertRows(-1, 1), "nRow");
}
#else
TEST_F(MemTableCells, IndexOutsideTheTableDoesNoHarm)
{
    EXPECT_STREQ(table.GetCell(2, 0), "");
    EXPECT_STREQ(table.GetCell(-1, 0), "");
    EXPECT_EQ(table.SetCell(0, 3, "x"), nullptr);
    EXPECT_STREQ(table.GetColName(7), "");
    table.GetCellPtr(5, 5)->assign("ignored");
    EXPECT_EQ(table.InsertRows(-1, 1), 0);
    EXPECT_EQ(table.InsertRows(0, 0), 0);
    EXPECT_EQ(Cells(table), (Rows{{"1", "\xD5\xC5\xC8\xFD", "9"}, {"2", "Li", "8"}}));
}
#endif

class MemTableRows : public testing::Test
{
  protected:
    // Rows 0..5 holding "r0".."r5" in their one column.
    void SetUp() override { LoadOrFail(table, "A\r\nr0\r\nr1\r\nr2\r\nr3\r\nr4\r\nr5\r\n"); }
    std::vector<std::string> Column() const
    {
        std::vector<std::string> values;
        for (int nRow = 0; nRow < table.GetRowCount(); ++nRow)
            values.emplace_back(table.GetCell(nRow, 0));
        return values;
    }
    CMemTable table;
};

TEST_F(MemTableRows, AddAppendsEmptyRows)
{
    EXPECT_EQ(table.AddRows(0), 0);
    EXPECT_EQ(table.AddRows(-3), 0);
    EXPECT_EQ(table.GetRowCount(), 6);
    EXPECT_EQ(table.AddRows(2), 2);
    EXPECT_EQ(Column(), (std::vector<std::string>{"r0", "r1", "r2", "r3", "r4", "r5", "", ""}));
}

TEST_F(MemTableRows, InsertMovesTheFollowingRowsDown)
{
    table.SetCell(1, 0, "changed");
    EXPECT_EQ(table.InsertRows(1, 2), 2);
    EXPECT_EQ(table.InsertRows(table.GetRowCount(), 1), 1);
    EXPECT_EQ(table.InsertRows(1000, 1), 1);
    EXPECT_EQ(Column(), (std::vector<std::string>{"r0", "", "", "changed", "r2", "r3", "r4", "r5", "", ""}));
}

struct DeleteCase
{
    int first;
    int last;
    int deleted;
    std::vector<std::string> left;
};

void PrintTo(const DeleteCase& c, std::ostream* os)
{
    *os << c.first << ".." << c.last;
}

class MemTableDelete : public MemTableRows, public testing::WithParamInterface<DeleteCase>
{
};

TEST_P(MemTableDelete, ClampsTheRangeToTheTable)
{
    const DeleteCase& c = GetParam();
    EXPECT_EQ(table.DeleteRows(c.first, c.last), c.deleted);
    EXPECT_EQ(Column(), c.left);
}

INSTANTIATE_TEST_SUITE_P(Ranges, MemTableDelete,
                         testing::Values(DeleteCase{-5, 2, 3, {"r3", "r4", "r5"}},
                                         DeleteCase{3, 1000, 3, {"r0", "r1", "r2"}},
                                         DeleteCase{5, 4, 0, {"r0", "r1", "r2", "r3", "r4", "r5"}},
                                         DeleteCase{2, 2, 1, {"r0", "r1", "r3", "r4", "r5"}}, DeleteCase{0, 5, 6, {}}));

TEST_F(MemTableRows, DeleteSetRemovesListedRowsInOnePass)
{
    table.SetCell(4, 0, "kept change");
    EXPECT_EQ(table.DeleteRowSet({5, 1, 3, 1}), 3);
    EXPECT_EQ(Column(), (std::vector<std::string>{"r0", "r2", "kept change"}));
    EXPECT_EQ(table.DeleteRowSet({}), 0);
}

TEST_F(MemTableRows, ManyDeletesKeepTheRemainingCells)
{
    // Deleting most rows compacts the storage; the cells that are left must survive it.
    CMemTable big;
    std::string text = "A\tB\r\n";
    for (int i = 0; i < 2000; ++i)
        text += "value " + std::to_string(i) + "\t" + (i % 2 ? "" : "x") + "\r\n";
    LoadOrFail(big, text);
    big.SetCell(1999, 0, "set");
    for (int i = 0; i < 1990; ++i)
        big.DeleteRows(0, 0);
    EXPECT_EQ(big.DeleteRowSet({0, 2}), 2);
    ASSERT_EQ(big.GetRowCount(), 8);
    EXPECT_STREQ(big.GetCell(0, 0), "value 1991");
    EXPECT_STREQ(big.GetCell(1, 0), "value 1993");
    EXPECT_STREQ(big.GetCell(1, 1), "");
    EXPECT_STREQ(big.GetCell(7, 0), "set");
}

#ifndef NDEBUG
TEST_F(MemTableRows, DeleteSetWithRowOutsideIsAnAssertion)
{
    EXPECT_DEATH(table.DeleteRowSet({7}), "none_of");
    EXPECT_DEATH(table.DeleteRowSet({table.GetRowCount()}), "none_of"); // one past the last row
    EXPECT_DEATH(table.DeleteRowSet({0, -1}), "none_of");
}
#else
TEST_F(MemTableRows, DeleteSetIgnoresRowsOutside)
{
    EXPECT_EQ(table.DeleteRowSet({-1, 0, 6}), 1);
    EXPECT_EQ(table.GetRowCount(), 5);
}
#endif

struct WriteCase
{
    const char* sep;
    std::string expected;
};

void PrintTo(const WriteCase& c, std::ostream* os)
{
    *os << (c.sep ? '"' + std::string(c.sep) + '"' : "null");
}

class MemTableWrite : public testing::TestWithParam<WriteCase>
{
};

TEST_P(MemTableWrite, JoinsCellsWithTheSeparator)
{
    CMemTable table;
    LoadOrFail(table, "A\tB\r\n1\t2\r\n");
    std::string out = "OKAY\r\n";
    EXPECT_TRUE(table.WriteToString(out, GetParam().sep));
    EXPECT_EQ(out, "OKAY\r\n" + GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Separators, MemTableWrite,
                         testing::Values(WriteCase{nullptr, "A\tB\r\n1\t2\r\n"}, WriteCase{",", "A,B\r\n1,2\r\n"},
                                         WriteCase{"||", "A||B\r\n1||2\r\n"}, WriteCase{"", "AB\r\n12\r\n"}));

TEST(MemTableWriteText, WritesCellsExactlyAsStored)
{
    CMemTable table;
    LoadOrFail(table, "A\tB\r\n1\t2\t3\r\n");
    table.AddRows(1);
    table.SetCell(1, 0, "x,\r\ny");
    std::string out;
    table.WriteToString(out, ",");
    EXPECT_EQ(out, "A,B\r\n1,2\t3\r\nx,\r\ny,\r\n");
}

TEST(MemTableWriteText, TableWithoutColumnsWritesNothing)
{
    CMemTable table;
    std::string out = "kept";
    EXPECT_TRUE(table.WriteToString(out));
    EXPECT_EQ(out, "kept");
}

TEST(MemTableWriteText, WrittenTextLoadsBackTheSameTable)
{
    CMemTable table;
    LoadOrFail(table, "A\tB\tC\r\n1\t\t3\r\n\xB0\xA1\tx\ty\r\n");
    table.SetCell(0, 1, "mid");
    std::string text;
    table.WriteToString(text);
    CMemTable copy;
    LoadOrFail(copy, text);
    EXPECT_EQ(Names(copy), Names(table));
    EXPECT_EQ(Cells(copy), Cells(table));
}

// Rows of every kind a table holds: loaded, changed, inserted empty, appended whole; more text
// than one block.
void FillMixedRows(CMemTable& table)
{
    std::string text = "A\tB\tC\r\n";
    for (int i = 0; i < 20000; ++i)
        text += std::to_string(i) + "\t\xB0\xA1 value\t" + std::string(i % 7, 'x') + "\r\n";
    LoadOrFail(table, text);
    table.SetCell(5, 1, "changed");
    table.InsertRows(7, 2);
    table.SetCell(7, 2, "last only");
    table.DeleteRows(100, 120);
    CMemTable more;
    LoadOrFail(more, "X\tY\tZ\r\n1\t2\t3\r\n");
    table.AppendTable(more);
}

TEST(MemTableWriteText, BlocksJoinToTheTextInWholeLines)
{
    CMemTable table;
    FillMixedRows(table);
    for (const char* sep : {static_cast<const char*>(nullptr), ",", "||"})
    {
        std::string whole;
        table.WriteToString(whole, sep);
        std::string joined;
        int nBlocks = 0;
        const auto collect = [&](std::string& block) {
            EXPECT_TRUE(block.ends_with("\r\n"));
            joined += block;
            ++nBlocks;
            return ERROR_SUCCESS;
        };
        EXPECT_EQ(table.WriteInBlocks(collect, sep), ERROR_SUCCESS);
        EXPECT_EQ(joined, whole);
        EXPECT_GT(nBlocks, 1);
    }
}

TEST(MemTableWriteText, FailedBlockStopsTheWriting)
{
    CMemTable table;
    FillMixedRows(table);
    int nCalls = 0;
    EXPECT_EQ(table.WriteInBlocks([&](std::string&) { return ++nCalls == 2 ? ERROR_DISK_FULL : ERROR_SUCCESS; }),
              ERROR_DISK_FULL);
    EXPECT_EQ(nCalls, 2);
}

TEST(MemTableWriteText, RowIsCopiedWholeOnlyWhereItsCellsLieTogether)
{
    CMemTable table;
    LoadOrFail(table, "A\tB\tC\r\n1\t2\t3\r\na,b\t\t\"q\"\r\n4\t5\t6\r\n");
    table.SetCell(2, 1, "changed");
    table.AddRows(1);
    CMemTable more;
    LoadOrFail(more, "X\tY\tZ\r\n7\t8\t9\r\n");
    table.AppendTable(more);
    const std::vector<std::pair<std::string, BOOL>> expected = {
        {"1;2;3", TRUE}, {"a,b;;\"q\"", TRUE}, {"", FALSE}, {"", FALSE}, {"7;8;9", TRUE}};
    for (int nRow = 0; nRow < table.GetRowCount(); ++nRow)
    {
        std::string out = "kept:";
        EXPECT_EQ(table.AppendPackedRow(nRow, ';', out), expected[nRow].second) << nRow;
        EXPECT_EQ(out, "kept:" + expected[nRow].first) << nRow;
    }
    std::string out;
    EXPECT_FALSE(table.AppendPackedRow(1, ',', out, ",\""));
    EXPECT_FALSE(table.AppendPackedRow(1, ',', out, "\""));
    EXPECT_TRUE(table.AppendPackedRow(0, ',', out, ",\""));
    EXPECT_EQ(out, "1,2,3");
}

class MemTableAppend : public testing::Test
{
  protected:
    void SetUp() override { LoadOrFail(table, "A\tB\r\n1\t2\r\n"); }
    CMemTable table;
};

TEST_F(MemTableAppend, MatchesColumnsByPosition)
{
    CMemTable other;
    LoadOrFail(other, "X\tY\r\n3\t4\r\n5\t\r\n");
    other.SetCell(1, 1, "set");
    EXPECT_TRUE(table.AppendTable(other));
    EXPECT_EQ(Names(table), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(Cells(table), (Rows{{"1", "2"}, {"3", "4"}, {"5", "set"}}));
}

TEST_F(MemTableAppend, DifferentColumnCountAddsNothing)
{
    CMemTable other;
    LoadOrFail(other, "X\r\n3\r\n");
    EXPECT_FALSE(table.AppendTable(other));
    EXPECT_EQ(Cells(table), (Rows{{"1", "2"}}));
}

TEST_F(MemTableAppend, EmptyTableTakesTheOtherColumns)
{
    CMemTable empty;
    EXPECT_TRUE(empty.AppendTable(table));
    EXPECT_EQ(Names(empty), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(Cells(empty), (Rows{{"1", "2"}}));
    CMemTable none;
    EXPECT_TRUE(table.AppendTable(none));
    EXPECT_EQ(table.GetRowCount(), 1);
}

TEST_F(MemTableAppend, TableAppendedToItselfDoublesItsRows)
{
    table.SetCell(0, 1, "set");
    EXPECT_TRUE(table.AppendTable(table));
    EXPECT_EQ(Cells(table), (Rows{{"1", "set"}, {"1", "set"}}));
}

TEST_F(MemTableAppend, MovedIntoATableWithoutRowsTheRowsMoveAsTheyAre)
{
    CMemTable target;
    LoadOrFail(target, "P\tQ\r\n");
    table.SetCell(0, 1, "set");
    table.AddRows(1);
    EXPECT_TRUE(target.AppendTable(std::move(table)));
    EXPECT_EQ(Names(target), (std::vector<std::string>{"P", "Q"}));
    EXPECT_EQ(Cells(target), (Rows{{"1", "set"}, {"", ""}}));
    EXPECT_EQ(table.GetColCount(), 0);

    CMemTable other; // a table with rows copies the other's
    LoadOrFail(other, "X\tY\r\n3\t4\r\n");
    EXPECT_TRUE(target.AppendTable(std::move(other)));
    EXPECT_EQ(Cells(target), (Rows{{"1", "set"}, {"", ""}, {"3", "4"}}));
    EXPECT_EQ(other.GetColCount(), 0);

    CMemTable fresh; // a table without columns takes the names too
    EXPECT_TRUE(fresh.AppendTable(std::move(target)));
    EXPECT_EQ(Names(fresh), (std::vector<std::string>{"P", "Q"}));
    EXPECT_EQ(fresh.GetRowCount(), 3);

    CMemTable narrow;
    LoadOrFail(narrow, "X\r\n3\r\n");
    EXPECT_FALSE(fresh.AppendTable(std::move(narrow)));
    EXPECT_EQ(fresh.GetRowCount(), 3);
}

// A table with rows that is moved into another with rows keeps its bytes where they lay, beside
// the other's own: every change afterwards must read and write as in a table that copied them.
TEST(MemTableMovedRows, BehaveAsCopiedRowsThroughEveryChange)
{
    const auto fill = [](CMemTable& table) {
        std::string text = "A\tB\tC\r\n";
        for (int i = 0; i < 40; ++i)
            text += std::to_string(i) + "\t\xB0\xA1" + std::string(i % 5, 'x') + "\t\r\n";
        LoadOrFail(table, text);
        table.SetCell(1, 0, "own");
    };
    const auto fillOther = [](CMemTable& other) { // cells of every kind: in the arena, owned, empty, a freed slot
        LoadOrFail(other, "A\tB\tC\r\n7\t8\t9\r\n10\t11\t12\r\n13\t14\t15\r\n");
        other.SetCell(2, 1, "set");
        other.SetCell(0, 2, "gone");
        other.DeleteRows(0, 0);
        other.AddRows(1);
        const std::string_view row[] = {"p", "", "r"};
        other.AppendRow(row);
    };
    CMemTable copied, moved, other;
    fill(copied);
    fill(moved);
    fillOther(other);
    ASSERT_TRUE(copied.AppendTable(static_cast<const CMemTable&>(other)));
    fillOther(other);
    ASSERT_TRUE(moved.AppendTable(std::move(other)));
    EXPECT_EQ(other.GetColCount(), 0);
    std::string packed;
    EXPECT_TRUE(moved.AppendPackedRow(40, ';', packed));
    EXPECT_EQ(packed, "10;11;12");
    EXPECT_EQ(Cells(moved).back(), (std::vector<std::string>{"p", "", "r"}));

    const std::string_view row[] = {"s", "t", "u"};
    CMemTable small;
    LoadOrFail(small, "X\tY\tZ\r\n1\t2\t3\r\n");
    const std::vector<std::function<void(CMemTable&)>> changes = {
        [](CMemTable&) {},
        [](CMemTable& t) {
            t.SetCell(41, 1, "new");
            t.SetCell(2, 2, "old");
        },
        [&](CMemTable& t) { t.AppendRow(row); },
        [&](CMemTable& t) {
            t.AppendTable(small);
            t.AppendTable(t);
        },
        [](CMemTable& t) { t.InsertRows(1, 2); },
        [](CMemTable& t) {
            t.DeleteRowSet({0, 3, 41, 44});
        },
        [](CMemTable& t) { t.DeleteRows(0, t.GetRowCount() - 8); }, // makes the arena one piece again
        [&](CMemTable& t) { t.AppendRow(row); },
    };
    for (std::size_t i = 0; i < changes.size(); ++i)
    {
        changes[i](copied);
        changes[i](moved);
        std::string strCopied, strMoved, strBlocks;
        copied.WriteToString(strCopied, ",");
        moved.WriteToString(strMoved, ",");
        const auto collect = [&](std::string& block) {
            strBlocks += block;
            return ERROR_SUCCESS;
        };
        moved.WriteInBlocks(collect, ",");
        EXPECT_EQ(strMoved, strCopied) << "after change " << i;
        EXPECT_EQ(strBlocks, strCopied) << "after change " << i;
    }
}

TEST(MemTableFatal, FatalExitShowsTheStorageText)
{
    // The only storage failure that can be provoked reliably: a row count past the int range.
    CMemTable table;
    LoadOrFail(table, "A\r\n");
    table.AddRows(1);
    EXPECT_EXIT(table.AddRows(2147483647), testing::ExitedWithCode(3),
                testing::HasSubstr(Gbk("没有足够内存添加数据行(内存表溢出)。")));
}
} // namespace
