#include "core/StoredRecordCheck.h"

#include "TestKit.h"

#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

#include "core/MemTable.h"
#include "core/StudentSchema.h"
#include "core/TwoHalves.h"

namespace
{
// A bad value put into one row of a table of good records.
struct Fault
{
    int nRow; // from the end when negative
    int nField;
    const char* lpcszValue; // UTF-8
};

// Rows at both ends, on both sides of the middle where the second half's check begins, and runs
// of rows with the same bad or good value (a checker keeps its last row's findings).
const int kRows = 2 * kRowsWorthTwoThreads + 1;
const int kMid = kRows / 2;
const std::vector<Fault> kFaults = {
    {0, Field::XM, ""},
    {kMid - 1, Field::XBDM, "9"},
    {kMid, Field::XBDM, "9"},
    {kMid + 1, Field::XBDM, "9"},
    {kMid + 1, Field::CSNY, "1984-13-45x"},
    {kMid + 2, Field::CSNY, "x"},
    {100, Field::YXYX, "1000-2000"},
    {101, Field::YXYX, "1000-2000"},
    {101, Field::DZXX, "@pku.edu.cn"},
    {102, Field::YZBM, "12345"},
    {103, Field::ZYDM, "99999999"},
    {103, Field::LXDH, ""},
    {-2, Field::JICENG, "xx"},
    {-1, Field::BYSJ, ""},
};

// Each row as one checker sees it walking the table in order.
std::vector<RowProblems> CheckedOneByOne(const CMemTable& table)
{
    CStoredRecordChecker checker;
    std::vector<RowProblems> failing;
    for (int nRow = 0; nRow < table.GetRowCount(); ++nRow)
        if (StoredRecordProblems problems = checker.Check(table, nRow); !problems.Passes())
            failing.push_back({nRow, problems});
    return failing;
}

void ExpectSameFindings(const std::vector<RowProblems>& actual, const std::vector<RowProblems>& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i)
    {
        SCOPED_TRACE("row " + std::to_string(expected[i].nRow));
        EXPECT_EQ(actual[i].nRow, expected[i].nRow);
        EXPECT_EQ(actual[i].problems.first.nCheck, expected[i].problems.first.nCheck);
        EXPECT_EQ(actual[i].problems.first.nField, expected[i].problems.first.nField);
        EXPECT_EQ(actual[i].problems.badCodeFields, expected[i].problems.badCodeFields);
    }
}

TEST(StoredRecordCheck, LargeTableGivesTheFindingsOfOneCheckerInRowOrder)
{
    CMemTable table;
    ASSERT_TRUE(CreateStudentTable(table));
    table.AddRows(kRows);
    for (int nRow = 0; nRow < kRows; ++nRow)
    {
        const std::vector<std::string> values =
            TestKit::StudentRecord(nRow % 7).Gbk(); // runs of equal and changing values
        for (int nField = 0; nField < STUDENT_FIELD_COUNT; ++nField)
            table.SetCell(nRow, nField, values[static_cast<std::size_t>(nField)]);
    }
    std::set<int> faultyRows;
    for (const Fault& fault : kFaults)
    {
        const int nRow = fault.nRow < 0 ? kRows + fault.nRow : fault.nRow;
        table.SetCell(nRow, fault.nField, Gbk(fault.lpcszValue));
        faultyRows.insert(nRow);
    }

    const std::vector<RowProblems> expected = CheckedOneByOne(table);
    std::set<int> failingRows;
    for (const RowProblems& row : expected)
        failingRows.insert(row.nRow);
    ASSERT_EQ(failingRows, faultyRows); // every fault is one the check finds
    ExpectSameFindings(CheckStoredRecords(table), expected);
}
} // namespace
