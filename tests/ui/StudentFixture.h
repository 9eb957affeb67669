#pragma once

// Student tables and data files for the dialog tests of the login and the main window.

#include "UiTestSupport.h"

#include <string>

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

// Loads the school directory once per test program.
inline void LoadSchoolDirectory()
{
    std::string strMessage;
    QVERIFY2(LoadResourceTable(IDR_SCHOOL_DIRECTORY, "TXT", g_memSchools, strMessage), strMessage.c_str());
}
