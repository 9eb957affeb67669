// CSV export of a school's records, and import of a CSV file into a school of as many records
// including the save of the data file.

#include "BenchSchool.h"

#include <benchmark/benchmark.h>
#include <string>

#include "core/DataFunc.h"
#include "core/MemTable.h"
#include "core/OpenSchool.h"
#include "exchange/CsvFile.h"

namespace
{
constexpr long long kFirstNumber = 2006000000;

void BM_ExportCsv(benchmark::State& state)
{
    const int nRecords = static_cast<int>(state.range(0));
    CMemTable table;
    FillTypicalRecords(table, nRecords, kFirstNumber);
    for (auto _ : state)
    {
        std::string strCsv;
        WriteCsvText(table, strCsv);
        benchmark::DoNotOptimize(strCsv.data());
    }
    state.SetItemsProcessed(state.iterations() * nRecords);
}
BENCHMARK(BM_ExportCsv)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Read the file, append its records to a school of as many, save the school's data file.
void BM_ImportCsvAndSave(benchmark::State& state)
{
    const int nRecords = static_cast<int>(state.range(0));
    COpenSchool school("10001", "secret");
    CMemTable file;
    FillTypicalRecords(file, nRecords, kFirstNumber + nRecords);
    std::string strCsv;
    WriteCsvText(file, strCsv);

    const TestKit::TempProgramDir dir;
    for (auto _ : state)
    {
        state.PauseTiming();
        FillTypicalRecords(school.Students(), nRecords, kFirstNumber);
        state.ResumeTiming();
        CMemTable imported;
        std::string strError;
        if (!ReadCsvStudents(strCsv, imported, strError) || !school.Students().AppendTable(imported) ||
            !SaveSchoolDatabase("10001", school.Students(), "secret"))
            state.SkipWithError("import failed");
    }
    state.SetItemsProcessed(state.iterations() * nRecords);
}
BENCHMARK(BM_ImportCsvAndSave)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
} // namespace
