// What keeping a backup adds to a save: saving 1 000, 10 000 and 100 000 records over an existing
// data file (which becomes a backup, and the backups are rotated) against the same save where no
// backup can be made.
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/DataFunc.h"
#include "core/SchoolBackups.h"
#include "platform/ProgramDir.h"

namespace
{
const char* const CODE = "10001";
const char* const PASSWORD = "s3cret!";

std::string RecordLine(int n)
{
    const std::string strNumber = std::to_string(200600000 + n);
    return strNumber + "\t10001\t07010100\t\xd5\xc5\xc8\xfd" + std::to_string(n % 100) +
           "\t1\t1984-07-07\t01\ten\t2006-06-30\t110000\t4\ts" + strNumber +
           "@pku.edu.cn\t04\t460100\tCA\tG61\t1000-2000 \t04E\t010-62751234\t13800000000\t"
           "\xb1\xb1\xbe\xa9\xca\xd0\xba\xa3\xb5\xed\xc7\xf8\xd2\xc3\xba\xcd\xd4\xb0\xc2\xb7" +
           std::to_string(n % 50) + "\t100871\t\t00\r\n";
}

// A temporary program directory and a table of nRecords records.
class School
{
  public:
    explicit School(int nRecords)
    {
        std::string strTemplate = (std::filesystem::temp_directory_path() / "varnholt-bench-XXXXXX").string();
        if (::mkdtemp(strTemplate.data()) == nullptr)
            std::abort();
        m_strDir = strTemplate;
        SetProgramDirectory(m_strDir);
        std::string strText = g_lpcszStudentColumns;
        for (int n = 0; n < nRecords; ++n)
            strText += RecordLine(n);
        if (!m_table.Load(strText))
            std::abort();
    }
    ~School()
    {
        SetProgramDirectory({});
        std::filesystem::remove_all(m_strDir);
    }
    const CMemTable& Table() const { return m_table; }

  private:
    std::string m_strDir;
    CMemTable m_table;
};

void Save(benchmark::State& state, const School& school)
{
    if (!SaveSchoolDatabase(CODE, school.Table(), PASSWORD))
        state.SkipWithError("save failed");
}

// The same save over an existing file, where a file in place of the backup folder lets no backup
// be made: the replaced file is freed at once, as every save did before backups were kept.
void BM_SaveWithoutBackup(benchmark::State& state)
{
    const School school(static_cast<int>(state.range(0)));
    std::ofstream(GetProgramDirectory() + "/backup") << "in the way";
    Save(state, school);
    for (auto _ : state)
        Save(state, school);
    if (!ListBackups(CODE).empty())
        state.SkipWithError("a backup was made");
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_SaveWithBackup(benchmark::State& state)
{
    const School school(static_cast<int>(state.range(0)));
    Save(state, school);
    for (auto _ : state)
        Save(state, school); // the file replaced becomes a backup; the backups are rotated
    if (ListBackups(CODE).empty())
        state.SkipWithError("no backup made");
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
} // namespace

BENCHMARK(BM_SaveWithoutBackup)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveWithBackup)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
