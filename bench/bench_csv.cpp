// CSV export of a school's records, and import of a CSV file into a school of as many records
// including the save of the data file.

#include <benchmark/benchmark.h>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "core/CsvFile.h"
#include "core/DataFunc.h"
#include "core/MemTable.h"
#include "platform/Encoding.h"
#include "platform/ProgramDir.h"

namespace
{
// A school of nRecords typical records (GBK), student numbers counting up from nFirst, loaded from
// its table text as the data file's load does.
void FillSchool(CMemTable& table, int nRecords, int nFirst = 0)
{
    static const std::string kRest =
        Encoding::Utf8ToGbk("\t10001\t08060501\t张三丰\t1\t1984-07-07\t31\t01\t2006-06-30\t110000\t4\t"
                            "student@example.com\t01\t110100\t10\tA\t1000-2000 \t10A\t010-62751234\t"
                            "13800138000\t北京市海淀区颐和园路5号,学生宿舍\t100871\t\t00\r\n")
            .value();
    std::string strText = g_lpcszStudentColumns;
    for (int r = 0; r < nRecords; ++r)
        strText.append(std::to_string(2006000000 + nFirst + r)).append(kRest);
    table.Load(strText);
}

void BM_ExportCsv(benchmark::State& state)
{
    const int nRecords = static_cast<int>(state.range(0));
    CMemTable table;
    FillSchool(table, nRecords);
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
    CMemTable file;
    FillSchool(file, nRecords, nRecords);
    std::string strCsv;
    WriteCsvText(file, strCsv);

    const auto dir = std::filesystem::temp_directory_path() / ("varnholt-bench-csv-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    SetProgramDirectory(dir.string());
    for (auto _ : state)
    {
        state.PauseTiming();
        FillSchool(g_memStudents, nRecords);
        state.ResumeTiming();
        CMemTable imported;
        std::string strError;
        if (!ReadCsvStudents(strCsv, imported, strError) || !g_memStudents.AppendTable(imported) ||
            !SaveSchoolDatabase("10001", g_memStudents, "secret"))
            state.SkipWithError("import failed");
    }
    state.SetItemsProcessed(state.iterations() * nRecords);
    SetProgramDirectory(std::string());
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_ImportCsvAndSave)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
} // namespace
