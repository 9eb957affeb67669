#include "MemTableTestSupport.h"

#include <gtest/gtest.h>

using namespace MemTableTest;

namespace
{
class MemTableQuery : public testing::Test
{
  protected:
    void Load(const std::vector<std::string>& cells)
    {
        std::string text = "ID\tXBDM\r\n";
        for (std::size_t i = 0; i < cells.size(); ++i)
            text += std::to_string(i) + "\t" + cells[i] + "\r\n";
        LoadOrFail(table, text);
    }
    std::vector<std::string> Ids() const
    {
        std::vector<std::string> ids;
        for (int nRow = 0; nRow < table.GetRowCount(); ++nRow)
            ids.emplace_back(table.GetCell(nRow, 0));
        return ids;
    }
    CMemTable table;
};

TEST_F(MemTableQuery, NumbersCompareAfterTrimming)
{
    Load({"1", " 2 ", "", "02"});
    EXPECT_EQ(table.FindRowByNumber("XBDM", 2), 1);
    EXPECT_EQ(table.FindRowByNumber(1, 0), 2);
    EXPECT_EQ(table.FindRow("XBDM", "2"), -1);
    EXPECT_EQ(table.DeleteRowsByNumber("XBDM", 2), 2);
    EXPECT_EQ(Ids(), (std::vector<std::string>{"0", "2"}));
}

struct NumberCase
{
    const char* cell;
    long value;
    bool passes;
};

void PrintTo(const NumberCase& c, std::ostream* os)
{
    *os << '"' << c.cell << "\" vs " << c.value;
}

class MemTableNumber : public MemTableQuery, public testing::WithParamInterface<NumberCase>
{
};

TEST_P(MemTableNumber, ConvertsLikeStrtol)
{
    Load({GetParam().cell});
    EXPECT_EQ(table.FindRowByNumber(1, GetParam().value), GetParam().passes ? 0 : -1);
}

INSTANTIATE_TEST_SUITE_P(Cells, MemTableNumber,
                         testing::Values(NumberCase{"007", 7, true}, NumberCase{"+7", 7, true},
                                         NumberCase{"-7", -7, true}, NumberCase{"   ", 0, true},
                                         NumberCase{"7a", 7, false}, NumberCase{"0x7", 7, false},
                                         NumberCase{"+", 0, false}, NumberCase{"99999999999", 2147483647, true},
                                         NumberCase{"-99999999999", -2147483648L, true},
                                         NumberCase{"2147483648", 2147483648L, false}));

TEST_F(MemTableQuery, TextEqualityIsExact)
{
    Load({" 1", "1", "\xB0\xA1"});
    EXPECT_EQ(table.FindRow(1, "1"), 1);
    EXPECT_EQ(table.FindRow("XBDM", "\xB0\xA1"), 2);
    EXPECT_EQ(table.FindRow("NOSUCH", "1"), -1);
}

TEST_F(MemTableQuery, SectionsNeedACellLongerThanTheStart)
{
    Load({"20050701", "2005", "200"});
    EXPECT_EQ(table.CountRowsBySubstring("XBDM", 4, 2, "07"), 1);
    EXPECT_EQ(table.CountRowsBySubstring("XBDM", 4, 2, ""), 0);
    EXPECT_EQ(table.CountRowsBySubstring("XBDM", 2, 100, "05"), 1);
    EXPECT_EQ(table.CountRowsBySubstring("NOSUCH", 0, 1, "2"), 0);
    EXPECT_EQ(table.DeleteRowsBySubstring("XBDM", 0, 4, "2005"), 2);
    EXPECT_EQ(Ids(), (std::vector<std::string>{"2"}));
}

TEST_F(MemTableQuery, PatternUnderscoreIsOneByte)
{
    Load({"2005070", "20050701", "200507011", "", "\xB0\xA1"});
    EXPECT_EQ(table.FindRowLike("XBDM", "2005____", 0), 1);
    EXPECT_EQ(table.FindRowLike(1, "2005____", 2), -1);
    EXPECT_EQ(table.FindRowLike(1, "", 0), 3);
    EXPECT_EQ(table.FindRowLike(1, "__", 0), 4);
    EXPECT_EQ(table.FindRowLike(1, "_", 0), -1);
}

TEST_F(MemTableQuery, FindLikeStartsAtTheStartRow)
{
    Load({"ab", "xx", "ab"});
    EXPECT_EQ(table.FindRowLike(1, "a_", 1), 2);
}

int StopAtOnce(CMemTable*, int, std::uint32_t)
{
    return 0;
}

std::vector<int> g_visited;
int Remember(CMemTable*, int nRow, std::uint32_t dwData)
{
    g_visited.push_back(nRow * 10 + static_cast<int>(dwData));
    return 1;
}

int DeleteVisited(CMemTable* pTable, int nRow, std::uint32_t)
{
    pTable->DeleteRows(nRow, nRow);
    g_visited.push_back(nRow);
    return 1;
}

TEST_F(MemTableQuery, ForEachVisitsPassingRowsUntilTheCallbackStops)
{
    Load({"a1", "b1", "a2", "a3"});
    EXPECT_FALSE(table.ForEachRowLike(1, "a_", StopAtOnce, 0));
    g_visited.clear();
    EXPECT_TRUE(table.ForEachRowLike("XBDM", "a_", Remember, 7));
    EXPECT_EQ(g_visited, (std::vector<int>{7, 27, 37}));
    EXPECT_TRUE(table.ForEachRowLike("NOSUCH", "a_", StopAtOnce, 0));
}

TEST_F(MemTableQuery, CallbackMayDeleteTheVisitedRow)
{
    // The walk goes on at the next index, so the row that moved up into it is skipped.
    Load({"a1", "a2", "b1", "a3"});
    g_visited.clear();
    EXPECT_TRUE(table.ForEachRowLike(1, "a_", DeleteVisited, 0));
    EXPECT_EQ(g_visited, (std::vector<int>{0, 2}));
    EXPECT_EQ(Ids(), (std::vector<std::string>{"1", "2"}));
}
} // namespace
