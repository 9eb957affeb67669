// Loading and saving a school's data file of 1 000, 10 000 and 100 000 records, scrambled with
// a password. The data file lives in a temporary directory that stands in for the program's.
#include "BenchSchool.h"

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

// CODE.db with nRecords records in a temporary program directory, made once per size.
class SchoolFile : public CBenchSchool
{
  public:
    explicit SchoolFile(int nRecords) : CBenchSchool(nRecords)
    {
        if (!SaveSchoolDatabase(CODE, Table(), PASSWORD))
            std::abort();
        m_nFileBytes = static_cast<std::int64_t>(std::filesystem::file_size(GetSchoolDatabasePath(CODE)));
    }
    std::int64_t FileBytes() const { return m_nFileBytes; }

  private:
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
