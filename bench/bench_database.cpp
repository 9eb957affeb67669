// Loading and saving a school's data file of 1 000, 10 000 and 100 000 records, scrambled with
// a password. The data file lives in a temporary directory that stands in for the program's.
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/DataFunc.h"
#include "platform/Encoding.h"
#include "platform/ProgramDir.h"

namespace
{
const char* const CODE = "10001";
const char* const PASSWORD = "s3cret!";

// A realistic record: Chinese name and address (GBK), codes, dates, contact data.
std::string RecordLine(int n)
{
    static const std::string strName = Encoding::Utf8ToGbk("张三").value();
    static const std::string strAddress = Encoding::Utf8ToGbk("北京市海淀区颐和园路").value();
    const std::string strNumber = std::to_string(200600000 + n);
    return strNumber + "\t10001\t07010100\t" + strName + std::to_string(n % 100) +
           "\t1\t1984-07-07\t01\ten\t2006-06-30\t110000\t4\ts" + strNumber +
           "@pku.edu.cn\t04\t460100\tCA\tG61\t1000-2000 \t04E\t010-62751234\t13800000000\t" + strAddress +
           std::to_string(n % 50) + "\t100871\t\t00\r\n";
}

// A temporary program directory holding CODE.db with nRecords records, made once per size.
class SchoolFile
{
  public:
    explicit SchoolFile(int nRecords)
    {
        std::string strTemplate = (std::filesystem::temp_directory_path() / "varnholt-bench-XXXXXX").string();
        if (::mkdtemp(strTemplate.data()) == nullptr)
            std::abort();
        m_strDir = strTemplate;
        SetProgramDirectory(m_strDir);
        std::string strText = g_lpcszStudentColumns;
        for (int n = 0; n < nRecords; ++n)
            strText += RecordLine(n);
        if (!m_table.Load(strText) || !SaveSchoolDatabase(CODE, m_table, PASSWORD))
            std::abort();
        m_nFileBytes = static_cast<std::int64_t>(std::filesystem::file_size(GetSchoolDatabasePath(CODE)));
    }
    ~SchoolFile()
    {
        SetProgramDirectory({});
        std::filesystem::remove_all(m_strDir);
    }
    const CMemTable& Table() const { return m_table; }
    std::int64_t FileBytes() const { return m_nFileBytes; }

  private:
    std::string m_strDir;
    CMemTable m_table;
    std::int64_t m_nFileBytes = 0;
};

void ReportSize(benchmark::State& state, const SchoolFile& file)
{
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetBytesProcessed(state.iterations() * file.FileBytes());
}

void BM_LoadSchoolDatabase(benchmark::State& state)
{
    const SchoolFile file(static_cast<int>(state.range(0)));
    for (auto _ : state)
    {
        CMemTable table;
        if (!LoadSchoolDatabase(CODE, PASSWORD, table))
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(table.GetRowCount());
    }
    ReportSize(state, file);
}

void BM_SaveSchoolDatabase(benchmark::State& state)
{
    const SchoolFile file(static_cast<int>(state.range(0)));
    for (auto _ : state)
        if (!SaveSchoolDatabase(CODE, file.Table(), PASSWORD))
            state.SkipWithError("save failed");
    ReportSize(state, file);
}
} // namespace

BENCHMARK(BM_LoadSchoolDatabase)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveSchoolDatabase)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
