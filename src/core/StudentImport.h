#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/DataFunc.h"
#include "platform/Types.h"

class CMemTable;

// The rules every import of student records follows, whatever file the rows come from (CSV text
// or a spreadsheet): a header of the 24 field names in any order, then one row per record whose
// values go under the fields the header names. A first row that repeats the list's Chinese column
// titles (as exported workbooks have under the names) is skipped. All rows come in or none.
// Every text handed in and out is GBK, the places too (a caller converts a sheet's name).
class CStudentImport
{
  public:
    CStudentImport();

    // Room for the records' text, when the caller knows about how long it is (a CSV file's size).
    void Reserve(std::size_t nBytes) { m_strTable.reserve(m_strTable.size() + nBytes); }

    // Checks the header names (trimmed in place). nNames is the count the file had, which may be
    // more than names holds when a reader stopped keeping them (refused as too many columns).
    // On FALSE, strError says why.
    BOOL SetHeader(std::vector<std::string>& names, int nNames, std::string& strError);

    // Checks one record and keeps it. values[0..nValues) are in file column order; strPlace names
    // the row for messages ("文件第3行"). bCheckGbk: whether to check that each value is valid GBK
    // (callers that converted the text themselves know it is).
    // REQUIRES: SetHeader succeeded. On FALSE, strError names the place and field.
    BOOL AddRecord(const std::vector<std::string>& values, int nValues, const std::string& strPlace, bool bCheckGbk,
                   std::string& strError);

    // Hands the records over: table gets the 24 student columns in record order.
    BOOL Finish(CMemTable& table, std::string& strError);

    // The header's names in file column order, once SetHeader succeeded.
    const std::vector<std::string>& FieldNames() const { return m_names; }

    // "“通信地址”（TXDZ）" for the field named TXDZ, in GBK; the name itself for other names.
    static std::string DescribeField(const std::string& strName);

  private:
    bool IsLabelRow(const std::vector<std::string>& values) const;

    std::vector<std::string> m_names;
    std::array<std::size_t, STUDENT_FIELD_COUNT> m_columnOfField{};
    std::string m_strTable;
    bool m_bFirstRecord = true;
};

// A message written in UTF-8, handed out in GBK.
std::string GbkMessage(const std::string& strUtf8);
// Puts the message (GBK) into strError and returns FALSE: a failure in one line.
BOOL FailWithMessage(std::string& strError, std::string strMessage);
