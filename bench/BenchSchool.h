#pragma once

// The school the data-file benchmarks work on: a temporary program directory and a table of
// realistic records, made with the tests' kit.
#include "TestKit.h"

#include <cstdlib>
#include <string>
#include <vector>

#include "core/DataFunc.h"

// The values joined by tabs, a CR LF after them: one line of the table text a data file holds.
inline std::string BenchTableLine(const std::vector<std::string>& values)
{
    std::string strLine;
    for (std::size_t i = 0; i < values.size(); ++i)
        strLine.append(i > 0 ? "\t" : "").append(values[i]);
    return strLine + "\r\n";
}

// A realistic record (GBK): Chinese name and address that vary, codes, dates, contact data.
inline std::string BenchRecordLine(int n)
{
    const std::string strNumber = std::to_string(200600000 + n);
    return BenchTableLine(TestKit::StudentRecord(n)
                              .With(Field::XSBSH, strNumber)
                              .With(Field::XM, "张三" + std::to_string(n % 100))
                              .With(Field::DZXX, "s" + strNumber + "@pku.edu.cn")
                              .With(Field::SJHM, "13800000000")
                              .With(Field::TXDZ, "北京市海淀区颐和园路" + std::to_string(n % 50))
                              .With(Field::BZ, "")
                              .Gbk());
}

// A table of nRecords typical records (GBK), loaded from its table text as the data file's load
// does; the student numbers count up from nFirstNumber, and the address holds a comma (CSV quotes it).
inline void FillTypicalRecords(CMemTable& table, int nRecords, long long nFirstNumber)
{
    static const std::string kRest = [] {
        // The exchange tests' record with a city, an employer kind, an e-mail and an address of its own.
        std::vector<std::string> values = TestKit::SampleStudent("", "张三丰");
        values[Field::SYSZDQDM] = "110000";
        values[Field::DZXX] = "student@example.com";
        values[Field::YXGZDQDM] = "110100";
        values[Field::YXDWXZDM] = "10";
        values[Field::TXDZ] = "北京市海淀区颐和园路5号,学生宿舍";
        for (std::string& value : values)
            value = Gbk(value);
        values.erase(values.begin()); // the number comes first, counted up
        return "\t" + BenchTableLine(values);
    }();
    std::string strText = g_lpcszStudentColumns;
    for (int r = 0; r < nRecords; ++r)
        strText.append(std::to_string(nFirstNumber + r)).append(kRest);
    table.Load(strText);
}

// A temporary directory standing in for the program's while it lives, and a table of nRecords records.
class CBenchSchool
{
  public:
    explicit CBenchSchool(int nRecords)
    {
        std::string strText = g_lpcszStudentColumns;
        for (int n = 0; n < nRecords; ++n)
            strText += BenchRecordLine(n);
        if (!m_table.Load(strText))
            std::abort();
    }
    const CMemTable& Table() const { return m_table; }

  private:
    TestKit::TempProgramDir m_dir;
    CMemTable m_table;
};
