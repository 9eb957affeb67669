#pragma once

// Student tables and data files for the dialog tests of the login and the main window.

#include "UiTestSupport.h"

#include <string>
#include <vector>

#include <QTest>

#include "core/DataFunc.h"

// Fills the table with nRows records whose student numbers are "S<row>" and names "<name><row>".
inline void FillStudents(CMemTable& table, int nRows, const char* lpcszUtf8Name = "学生")
{
    QVERIFY(CreateStudentTable(table));
    table.AddRows(nRows);
    for (int nRow = 0; nRow < nRows; ++nRow)
    {
        table.SetCell(nRow, Field::XSBSH, "S" + std::to_string(nRow));
        table.SetCell(nRow, Field::YXDM, "10001");
        table.SetCell(nRow, Field::XM, Gbk(lpcszUtf8Name) + std::to_string(nRow));
    }
}

// Fills the table with the records (values in record order, as stored).
inline void FillRecords(CMemTable& table, const std::vector<std::vector<std::string>>& records)
{
    QVERIFY(CreateStudentTable(table));
    table.AddRows(static_cast<int>(records.size()));
    for (std::size_t nRow = 0; nRow < records.size(); ++nRow)
    {
        for (int nCol = 0; nCol < STUDENT_FIELD_COUNT; ++nCol)
            table.SetCell(static_cast<int>(nRow), nCol, records[nRow][static_cast<std::size_t>(nCol)]);
    }
}

// Writes a data file of the records for the school.
inline void WriteDataFile(const std::string& strCode, const std::string& strPassword,
                          const std::vector<std::vector<std::string>>& records)
{
    CMemTable table;
    FillRecords(table, records);
    QVERIFY(SaveSchoolDatabase(strCode, table, strPassword));
}

// Writes a data file of nRows records for the school.
inline void WriteDataFile(const std::string& strCode, const std::string& strPassword, int nRows)
{
    CMemTable table;
    FillStudents(table, nRows);
    QVERIFY(SaveSchoolDatabase(strCode, table, strPassword));
}

// The student numbers stored in the school's data file, in file order.
inline std::vector<std::string> StoredNumbers(const std::string& strCode, const std::string& strPassword)
{
    CMemTable table;
    if (!LoadSchoolDatabase(strCode, strPassword, table))
        return {"<unreadable>"};
    std::vector<std::string> numbers;
    for (int nRow = 0; nRow < table.GetRowCount(); ++nRow)
        numbers.emplace_back(table.GetCell(nRow, Field::XSBSH));
    return numbers;
}
