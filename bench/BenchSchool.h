#pragma once

// The school the data-file benchmarks work on: a temporary program directory and a table of
// realistic records.
#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/DataFunc.h"
#include "platform/Encoding.h"
#include "platform/ProgramDir.h"

// A realistic record: Chinese name and address (GBK), codes, dates, contact data.
inline std::string BenchRecordLine(int n)
{
    static const std::string strName = Encoding::Utf8ToGbk("张三").value();
    static const std::string strAddress = Encoding::Utf8ToGbk("北京市海淀区颐和园路").value();
    const std::string strNumber = std::to_string(200600000 + n);
    return strNumber + "\t10001\t07010100\t" + strName + std::to_string(n % 100) +
           "\t1\t1984-07-07\t01\ten\t2006-06-30\t110000\t4\ts" + strNumber +
           "@pku.edu.cn\t04\t460100\tCA\tG61\t1000-2000 \t04E\t010-62751234\t13800000000\t" + strAddress +
           std::to_string(n % 50) + "\t100871\t\t00\r\n";
}

// A table of nRecords typical records (GBK), loaded from its table text as the data file's load
// does; the student numbers count up from nFirstNumber, and the address holds a comma (CSV quotes it).
inline void FillTypicalRecords(CMemTable& table, int nRecords, long long nFirstNumber)
{
    static const std::string kRest =
        Encoding::Utf8ToGbk("\t10001\t08060501\t张三丰\t1\t1984-07-07\t31\t01\t2006-06-30\t110000\t4\t"
                            "student@example.com\t01\t110100\t10\tA\t1000-2000 \t10A\t010-62751234\t"
                            "13800138000\t北京市海淀区颐和园路5号,学生宿舍\t100871\t\t00\r\n")
            .value();
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
        std::string strTemplate = (std::filesystem::temp_directory_path() / "varnholt-bench-XXXXXX").string();
        if (::mkdtemp(strTemplate.data()) == nullptr)
            std::abort();
        m_strDir = strTemplate;
        SetProgramDirectory(m_strDir);
        std::string strText = g_lpcszStudentColumns;
        for (int n = 0; n < nRecords; ++n)
            strText += BenchRecordLine(n);
        if (!m_table.Load(strText))
            std::abort();
    }
    ~CBenchSchool()
    {
        SetProgramDirectory({});
        std::filesystem::remove_all(m_strDir);
    }
    CBenchSchool(const CBenchSchool&) = delete;
    CBenchSchool& operator=(const CBenchSchool&) = delete;
    const CMemTable& Table() const { return m_table; }

  private:
    std::string m_strDir;
    CMemTable m_table;
};
