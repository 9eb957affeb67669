#include "MemTableTestSupport.h"

#include <gtest/gtest.h>
#include <limits>

#include "core/TwoHalves.h"

using namespace MemTableTest;

namespace
{
struct LoadCase
{
    const char* name;
    std::string text;
    std::vector<std::string> columns;
    Rows rows;
};

void PrintTo(const LoadCase& c, std::ostream* os)
{
    *os << c.name;
}

class MemTableLoad : public testing::TestWithParam<LoadCase>
{
};

TEST_P(MemTableLoad, GivesTheColumnsAndRows)
{
    const LoadCase& c = GetParam();
    CMemTable table;
    std::string error = "untouched";
    ASSERT_TRUE(table._Load(c.text, error));
    EXPECT_EQ(error, "untouched");
    EXPECT_TRUE(table.IsLoaded());
    EXPECT_EQ(Names(table), c.columns);
    EXPECT_EQ(Cells(table), c.rows);
}

TEST_P(MemTableLoad, KeepingTheTextsOwnStorageGivesTheSame)
{
    const LoadCase& c = GetParam();
    CMemTable table;
    std::string error = "untouched";
    std::string text = "skipped bytes\r\n" + c.text;
    ASSERT_TRUE(table.LoadOwnText(std::move(text), 15, error));
    EXPECT_EQ(error, "untouched");
    EXPECT_EQ(Names(table), c.columns);
    EXPECT_EQ(Cells(table), c.rows);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, MemTableLoad,
    testing::Values(LoadCase{"WellFormed", "A\tB\r\n1\t2\r\n3\t4\r\n", {"A", "B"}, {{"1", "2"}, {"3", "4"}}},
                    LoadCase{"EmptyTextIsOneUnnamedColumn", "", {""}, {}},
                    LoadCase{"MissingLineEndIsAdded", "A\tB", {"A", "B"}, {}},
                    LoadCase{"TrailingBlankLinesVanish", "A\r\n1\r\n\r\n\r\n", {"A"}, {{"1"}}},
                    LoadCase{"TrailingMixOfCrAndLfVanishes", "A\r\n1\n\r\r\n\n", {"A"}, {{"1"}}},
                    LoadCase{"MarkerLineIsSkipped", "OKAY\r\nA\tB\r\n1\t2\r\n", {"A", "B"}, {{"1", "2"}}},
                    LoadCase{"MarkerAloneIsAnEmptyText", "OKAY\r\n\r\n", {""}, {}},
                    LoadCase{"MarkerNeedsItsLineEnd", "OKAY\tB\r\n1\t2\r\n", {"OKAY", "B"}, {{"1", "2"}}},
                    LoadCase{"NamesAreTrimmedCellsAreNot", " A \t\v B \r\n x \t\r\n", {"A", "B"}, {{" x ", ""}}},
                    LoadCase{"TrimKeepsDoubleByteCharacters", "\xB0\xA0 \r\n", {"\xB0\xA0"}, {}},
                    LoadCase{"EmptyCellsStayEmpty", "A\tB\tC\r\n\t\t\r\n", {"A", "B", "C"}, {{"", "", ""}}},
                    LoadCase{"BlankLineBorrowsFromTheNext", "A\tB\r\n\r\n1\t2\r\n", {"A", "B"}, {{"\r\n1", "2"}}},
                    LoadCase{"ExtraTabsStayInTheLastCell", "A\tB\r\n1\t2\t3\r\n", {"A", "B"}, {{"1", "2\t3"}}},
                    LoadCase{"ByteAfterHeaderCrIsSkipped", "A\tB\rX1\t2\r\n", {"A", "B"}, {{"1", "2"}}},
                    LoadCase{"LoneCrInsideTheLastCellStays", "A\tB\r\n1\tx\ry\r\n", {"A", "B"}, {{"1", "x\ry"}}},
                    LoadCase{"SecondBytesThatLookLikeSeparatorsAreBytes",
                             "A\tB\r\n\xB0\x5C\t\xB0\x7C\r\n",
                             {"A", "B"},
                             {{"\xB0\x5C", "\xB0\x7C"}}},
                    LoadCase{"EmptyHeaderLineHasOneUnnamedColumn", "\r\nx\r\n", {""}, {{"x"}}}),
    [](const testing::TestParamInfo<LoadCase>& info) { return std::string(info.param.name); });

struct FailureCase
{
    const char* name;
    std::string text;
    std::string error; // UTF-8
};

void PrintTo(const FailureCase& c, std::ostream* os)
{
    *os << c.name;
}

class MemTableLoadFailure : public testing::TestWithParam<FailureCase>
{
};

TEST_P(MemTableLoadFailure, EmptiesTheTableAndSaysWhy)
{
    const FailureCase& c = GetParam();
    CMemTable table;
    LoadOrFail(table, "X\tY\r\n1\t2\r\n");
    std::string error;
    EXPECT_FALSE(table._Load(c.text, error));
    EXPECT_EQ(error, Gbk(c.error));
    EXPECT_FALSE(table.IsLoaded());
    EXPECT_EQ(table.GetColCount(), 0);
    EXPECT_EQ(table.GetRowCount(), 0);
    std::string ownError;
    EXPECT_FALSE(table.LoadOwnText(std::string(c.text), 0, ownError));
    EXPECT_EQ(ownError, error);
    EXPECT_EQ(table.GetColCount(), 0);
}

std::string Header(int nNames)
{
    std::string text;
    for (int i = 0; i < nNames; ++i)
        text += (i > 0 ? "\t" : "") + std::to_string(i);
    return text + "\r\n";
}

INSTANTIATE_TEST_SUITE_P(Texts, MemTableLoadFailure,
                         testing::Values(FailureCase{"MoreThan100Columns", Header(101), "列数超过限制。"},
                                         FailureCase{"LoneCrInOneColumnTable", "A\r\nx\ry\r\n",
                                                     "第1行不是有效的格式文本(没有对应的换行符)。"},
                                         FailureCase{"LoneCrsUseUpTheLineEnds", "A\r\n1\r\n2\r3\r\n",
                                                     "第2行不是有效的格式文本(没有对应的换行符)。"}),
                         [](const testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

TEST(MemTableLoadLimits, HundredColumnsLoad)
{
    CMemTable table;
    std::string error;
    ASSERT_TRUE(table._Load(Header(100) + Header(100), error));
    EXPECT_EQ(table.GetColCount(), 100);
    EXPECT_STREQ(table.GetCell(0, 99), "99");
}

TEST(MemTableLoadLimits, MissingRowsAtTheEndShortenTheTable)
{
    // Two CRs after the header plan two rows; the second finds no TAB.
    CMemTable table;
    LoadOrFail(table, "A\tB\r\n\r\n1\t2\r\n");
    EXPECT_EQ(Cells(table), (Rows{{"\r\n1", "2"}}));
}

class MemTableLoadMarkers : public testing::Test
{
  protected:
    CMemTable table;
};

TEST_F(MemTableLoadMarkers, LoadsOnlyBetweenTheMarkers)
{
    ASSERT_TRUE(table.Load("x[B]A\tB\r\n1\t2\r\n[E]y", "[B]", "[E]"));
    EXPECT_EQ(Names(table), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(Cells(table), (Rows{{"1", "2"}}));
}

TEST_F(MemTableLoadMarkers, MissingBeginMarkerChangesNothing)
{
    EXPECT_FALSE(table.Load("A\r\nx\ry\r\n"));
    const std::string error = table.GetErrorText();
    LoadOrFail(table, "A\r\n1\r\n");
    EXPECT_FALSE(table.Load("A\tB\r\n", "[B]", "[E]"));
    EXPECT_EQ(Cells(table), (Rows{{"1"}}));
    EXPECT_EQ(table.GetErrorText(), error);
}

TEST_F(MemTableLoadMarkers, MissingEndMarkerLoadsTheRest)
{
    ASSERT_TRUE(table.Load("[B]A\r\n1\r\n", "[B]", "[E]"));
    EXPECT_EQ(Cells(table), (Rows{{"1"}}));
}

TEST_F(MemTableLoadMarkers, MarkerNeverMatchesOnASecondByte)
{
    // "\xB0[" is one character whose second byte is '['; the real marker follows it.
    ASSERT_TRUE(table.Load("\xB0[B]Z\r\n[B]A\r\n1\r\n", "[B]", nullptr));
    EXPECT_EQ(Names(table), (std::vector<std::string>{"A"}));
}

TEST_F(MemTableLoadMarkers, FailureTextStaysAfterALaterSuccess)
{
    EXPECT_FALSE(table.Load(Header(101)));
    EXPECT_EQ(table.GetErrorText(), Gbk("列数超过限制。"));
    EXPECT_TRUE(table.Load("A\r\n"));
    EXPECT_EQ(table.GetErrorText(), Gbk("列数超过限制。"));
}

// A large text is cut in two halves at once, the second starting after the first CR LF from the
// middle byte on: with lines of one length, after line kRowsWorthTwoThreads. A short line or a lone
// CR on either side of it must give what one pass over the text gives.
constexpr int kNoLine = std::numeric_limits<int>::min();

struct LargeCase
{
    const char* name;
    int nLine;       // the line changed, from 0 after the header (from the end when negative), or kNoLine
    bool bShortLine; // true: the line loses its TAB and borrows from the next; false: a lone CR in its last cell
};

void PrintTo(const LargeCase& c, std::ostream* os)
{
    *os << c.name;
}

class MemTableLoadLarge : public testing::TestWithParam<LargeCase>
{
};

TEST_P(MemTableLoadLarge, CutsAsOnePassWould)
{
    const LargeCase& c = GetParam();
    const int nLines = 2 * kRowsWorthTwoThreads;
    const int nLine = c.nLine == kNoLine ? -1 : c.nLine < 0 ? nLines + c.nLine : c.nLine;
    Rows rows;
    std::string text = "A\tB\r\n";
    for (int i = 0; i < nLines; ++i)
    {
        const std::string number = std::to_string(100000 + i); // all of one length
        rows.push_back({"a" + number, "b" + number});
        if (i == nLine)
            text += c.bShortLine ? rows.back()[0] + "\r\n" : rows.back()[0] + "\tx\ry\r\n";
        else
            text += rows.back()[0] + "\t" + rows.back()[1] + "\r\n";
    }
    if (c.bShortLine && nLine >= 0)
    {
        rows[nLine] = {rows[nLine][0] + "\r\n" + rows[nLine + 1][0], rows[nLine + 1][1]};
        rows.erase(rows.begin() + nLine + 1);
    }
    else if (nLine >= 0)
        rows[nLine][1] = "x\ry";
    for (bool bOwnText : {false, true})
    {
        CMemTable table;
        std::string error;
        ASSERT_TRUE(bOwnText ? table.LoadOwnText(std::string(text), 0, error) : table._Load(text, error)) << error;
        EXPECT_EQ(Cells(table), rows);
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, MemTableLoadLarge,
                         testing::Values(LargeCase{"Regular", kNoLine, true}, LargeCase{"ShortLineAtTheStart", 0, true},
                                         LargeCase{"ShortLineBeforeTheMiddle", kRowsWorthTwoThreads - 1, true},
                                         LargeCase{"ShortLineAtTheMiddle", kRowsWorthTwoThreads, true},
                                         LargeCase{"ShortLineAfterTheMiddle", kRowsWorthTwoThreads + 1, true},
                                         LargeCase{"ShortLineNearTheEnd", -2, true},
                                         LargeCase{"LoneCrInTheFirstHalf", 7, false},
                                         LargeCase{"LoneCrAtTheMiddle", kRowsWorthTwoThreads, false},
                                         LargeCase{"LoneCrAfterTheMiddle", kRowsWorthTwoThreads + 1, false},
                                         LargeCase{"LoneCrInTheSecondHalf", -7, false}),
                         [](const testing::TestParamInfo<LargeCase>& info) { return std::string(info.param.name); });
} // namespace
