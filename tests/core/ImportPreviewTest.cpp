// Which records of a file are stored already or repeat an earlier record's number, found through
// indexes of the numbers, for small files and for large ones checked in two halves.
#include "core/ImportPreview.h"

#include "TestKit.h"

#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

#include "core/ImportRecords.h"
#include "core/MemTable.h"
#include "core/TwoHalves.h"

namespace
{
void AddRecord(CMemTable& table, const std::string& strNumber)
{
    const int nRow = table.GetRowCount();
    table.AddRows(1);
    const std::vector<std::string> values = TestKit::StudentRecord(nRow % 5).Gbk();
    for (int f = 0; f < STUDENT_FIELD_COUNT; ++f)
        table.SetCell(nRow, f, f == Field::XSBSH ? strNumber : values[static_cast<std::size_t>(f)]);
}

// Records numbered "N<i>" but for the listed ones; the stored numbers hold a repeated number.
struct NumbersCase
{
    int nRecords;
    std::map<int, std::string> numbers; // record -> number
};

const std::vector<std::string> kStored = {"S0", "S1", "S2", "S1", "S4"};

void ExpectFound(const NumbersCase& c)
{
    ImportedRecords records;
    ASSERT_TRUE(CreateStudentTable(records.table));
    for (int r = 0; r < c.nRecords; ++r)
        AddRecord(records.table, c.numbers.count(r) != 0 ? c.numbers.at(r) : "N" + std::to_string(r));
    CMemTable stored;
    ASSERT_TRUE(CreateStudentTable(stored));
    for (const std::string& strNumber : kStored)
        AddRecord(stored, strNumber);
    ColumnMapping mapping;
    mapping.columnOf.fill(0);

    const CImportPreview preview(records, stored, mapping, ImportCheck::WithStored);
    const CImportPreview withinFile(records, stored, mapping, ImportCheck::Records);
    std::map<std::string, int> firstRecord, firstStored;
    for (int s = 0; s < static_cast<int>(kStored.size()); ++s)
        firstStored.try_emplace(kStored[static_cast<std::size_t>(s)], s);
    int nStored = 0;
    for (int r = 0; r < c.nRecords; ++r)
    {
        SCOPED_TRACE("record " + std::to_string(r));
        const std::string strNumber = records.table.GetCell(r, Field::XSBSH);
        const bool bRepeated = !firstRecord.try_emplace(strNumber, r).second;
        const auto found = firstStored.find(strNumber);
        const int nStoredRow = found == firstStored.end() ? -1 : found->second;
        nStored += nStoredRow >= 0;
        ASSERT_EQ(preview.StoredRowOf(r), nStoredRow);
        ASSERT_EQ(preview.Passes(r), !bRepeated && nStoredRow < 0);
        ASSERT_EQ(withinFile.Passes(r), !bRepeated);
    }
    EXPECT_EQ(preview.StoredCount(), nStored);
    for (std::size_t i = 1; i < preview.FailingRecords().size(); ++i)
        EXPECT_LT(preview.FailingRecords()[i - 1].nRecord, preview.FailingRecords()[i].nRecord);
}
} // namespace

TEST(ImportPreview, FindsStoredAndRepeatedNumbersWhereverTheyLie)
{
    constexpr int kLarge = 2 * kRowsWorthTwoThreads + 3;
    constexpr int kMid = kLarge / 2;
    const NumbersCase cases[] = {
        {1, {{0, "S1"}}},
        {3, {{1, "S4"}, {2, "S4"}}},
        {20, {{0, "N19"}, {15, "S0"}, {16, "S2"}, {17, "N14"}}},
        // both ends and both sides of the middle, where the second half begins its own walk
        {kLarge,
         {{0, "S1"},
          {1, "N0"},
          {kMid - 1, "S2"},
          {kMid, "S0"},
          {kMid + 1, "N" + std::to_string(kMid - 2)},
          {kMid + 16, "N" + std::to_string(kMid + 2)},
          {kLarge - 2, "N2"},
          {kLarge - 1, "S4"}}},
    };
    for (const NumbersCase& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.nRecords) + " records");
        ExpectFound(c);
    }
}
