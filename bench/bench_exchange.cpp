// Spreadsheet exchange of a school's records: the .xlsx export and import, with CSV beside them.
// Besides the time, each runs once more in a child process whose peak memory above an idle child's
// is reported (extra_MB), next to the size of the same records as CSV (csv_MB).

#include <benchmark/benchmark.h>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/CsvFile.h"
#include "core/DataFunc.h"
#include "core/MemTable.h"
#include "core/WholeFile.h"
#include "exchange/WorkbookExport.h"
#include "exchange/WorkbookImport.h"
#include "platform/Encoding.h"

namespace
{
namespace fs = std::filesystem;

void FillSchool(CMemTable& table, int nRecords)
{
    static const std::string kRest =
        Encoding::Utf8ToGbk("\t10001\t08060501\t张三丰\t1\t1984-07-07\t31\t01\t2006-06-30\t110000\t4\t"
                            "student@example.com\t01\t110100\t10\tA\t1000-2000 \t10A\t010-62751234\t"
                            "13800138000\t北京市海淀区颐和园路5号,学生宿舍\t100871\t\t00\r\n")
            .value();
    std::string strText = g_lpcszStudentColumns;
    for (int r = 0; r < nRecords; ++r)
        strText.append(std::to_string(20060000000000 + r)).append(kRest);
    table.Load(strText);
}

// Peak resident memory (KiB) of a child process that runs the work.
template <typename Work> long ChildPeakKiB(Work work)
{
    const pid_t pid = fork();
    if (pid == 0)
    {
        work();
        _exit(0);
    }
    int nStatus = 0;
    rusage usage{};
    wait4(pid, &nStatus, 0, &usage);
    return usage.ru_maxrss;
}

template <typename Work> void ReportMemory(benchmark::State& state, const CMemTable& table, Work work)
{
    std::string strCsv;
    WriteCsvText(table, strCsv);
    const long nIdle = ChildPeakKiB([] {});
    const long nPeak = ChildPeakKiB(work);
    state.counters["extra_MB"] = static_cast<double>(nPeak - nIdle) / 1024.0;
    state.counters["csv_MB"] = static_cast<double>(strCsv.size()) / (1024.0 * 1024.0);
}

void BM_ExportXlsx(benchmark::State& state)
{
    const int nRecords = static_cast<int>(state.range(0));
    CMemTable table;
    FillSchool(table, nRecords);
    const auto build = [&table] {
        std::string strBytes, strError;
        if (!BuildStudentWorkbook(table, strBytes, strError))
            std::abort();
        return strBytes.size();
    };
    for (auto _ : state)
        benchmark::DoNotOptimize(build());
    state.SetItemsProcessed(state.iterations() * nRecords);
    ReportMemory(state, table, build);
}
BENCHMARK(BM_ExportXlsx)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_ImportXlsx(benchmark::State& state)
{
    const int nRecords = static_cast<int>(state.range(0));
    CMemTable table;
    FillSchool(table, nRecords);
    std::string strBytes, strError;
    BuildStudentWorkbook(table, strBytes, strError);
    const std::string strPath =
        (fs::temp_directory_path() / ("varnholt-bench-" + std::to_string(getpid()) + ".xlsx")).string();
    ReplaceFileContent(strPath, strBytes);
    const auto read = [&strPath, nRecords] {
        CMemTable imported;
        std::string strMessage;
        if (!ReadWorkbookStudents(strPath, ExchangeFormat::Xlsx, imported, strMessage) ||
            imported.GetRowCount() != nRecords)
            std::abort();
    };
    for (auto _ : state)
        read();
    state.SetItemsProcessed(state.iterations() * nRecords);
    ReportMemory(state, table, read);
    fs::remove(strPath);
}
BENCHMARK(BM_ImportXlsx)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_ExportCsvMemory(benchmark::State& state)
{
    const int nRecords = static_cast<int>(state.range(0));
    CMemTable table;
    FillSchool(table, nRecords);
    const auto write = [&table] {
        std::string strCsv;
        WriteCsvText(table, strCsv);
        return strCsv.size();
    };
    for (auto _ : state)
        benchmark::DoNotOptimize(write());
    state.SetItemsProcessed(state.iterations() * nRecords);
    ReportMemory(state, table, write);
}
BENCHMARK(BM_ExportCsvMemory)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_ImportCsvMemory(benchmark::State& state)
{
    const int nRecords = static_cast<int>(state.range(0));
    CMemTable table;
    FillSchool(table, nRecords);
    std::string strCsv;
    WriteCsvText(table, strCsv);
    const auto read = [&strCsv] {
        CMemTable imported;
        std::string strError;
        if (!ReadCsvStudents(strCsv, imported, strError))
            std::abort();
    };
    for (auto _ : state)
        read();
    state.SetItemsProcessed(state.iterations() * nRecords);
    ReportMemory(state, table, read);
}
BENCHMARK(BM_ImportCsvMemory)->Arg(100000)->Unit(benchmark::kMillisecond);
} // namespace
