// Spreadsheet exchange of a school's records: the .xlsx export and import, with CSV beside them.
// Besides the time, each runs once more in a child process whose peak memory above an idle child's
// is reported (extra_MB), next to the size of the same records as CSV (csv_MB).

#include "BenchSchool.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/CsvFile.h"
#include "core/DataFunc.h"
#include "core/MemTable.h"
#include "exchange/WorkbookExport.h"
#include "exchange/WorkbookImport.h"
#include "platform/Encoding.h"
#include "platform/FileSystem.h"
#include "platform/LastError.h"

namespace
{
namespace fs = std::filesystem;

long g_nSetupKiB = 0;

std::string XlsxPath(pid_t pid)
{
    return (fs::temp_directory_path() / ("varnholt-bench-" + std::to_string(pid) + ".xlsx")).string();
}

long ResidentKiB()
{
    long nPages = 0, nResident = 0;
    FILE* statm = std::fopen("/proc/self/statm", "r");
    if (statm && std::fscanf(statm, "%ld %ld", &nPages, &nResident) != 2)
        nResident = 0;
    if (statm)
        std::fclose(statm);
    return nResident * (sysconf(_SC_PAGESIZE) / 1024);
}

// Reads the workbook file as the import does: its bytes through the file layer, then the sheet.
bool ReadWholeWorkbook(const std::string& strPath, CMemTable& imported, std::string& strError)
{
    std::string strBytes;
    return ReadRegularFile(strPath, strBytes) == ERROR_SUCCESS &&
           ReadWorkbookStudents(strPath, strBytes, ExchangeFormat::Xlsx, imported, strError);
}

// The records of the CSV benchmarks, with student numbers of 14 digits.
void FillSchool(CMemTable& table, int nRecords)
{
    FillTypicalRecords(table, nRecords, 20060000000000);
}

// The operations measured, by name; each runs on a school of nRecords (set up beforehand).
bool RunOnce(const std::string& strWhich, const CMemTable& table, const std::string& strXlsx)
{
    std::string strBytes, strError;
    CMemTable imported;
    if (strWhich == "export-xlsx")
        return BuildStudentWorkbook(table, strBytes, strError);
    if (strWhich == "export-xlsx-names")
        return BuildStudentWorkbook(table, strBytes, strError, WorkbookSheets::StoredAndNames);
    if (strWhich == "import-xlsx")
        return ReadWholeWorkbook(strXlsx, imported, strError);
    if (strWhich == "export-csv")
    {
        WriteCsvText(table, strBytes);
        return true;
    }
    if (strWhich == "import-csv")
    {
        WriteCsvText(table, strBytes);
        const long nBefore = ResidentKiB();
        const bool bRead = ReadCsvStudents(strBytes, imported, strError);
        g_nSetupKiB += ResidentKiB() - nBefore - static_cast<long>(strBytes.size() / 1024); // the file stays in
        return bRead;
    }
    return false;
}

// Runs one operation in a fresh process ("--peak WHICH N") and returns the memory it added to the
// process's peak above what the school (and, for the import, the file) took: in MB.
double PeakMB(const std::string& strWhich, int nRecords)
{
    const std::string strCommand = "/proc/" + std::to_string(getpid()) + "/exe --peak " + strWhich + " " +
                                   std::to_string(nRecords) + " " + XlsxPath(getpid());
    FILE* pipe = popen(strCommand.c_str(), "r");
    double mb = -1;
    if (pipe && std::fscanf(pipe, "%lf", &mb) != 1)
        mb = -1;
    if (pipe)
        pclose(pipe);
    return mb;
}

void ReportMemory(benchmark::State& state, const CMemTable& table, const std::string& strWhich)
{
    std::string strCsv;
    WriteCsvText(table, strCsv);
    state.counters["csv_MB"] = static_cast<double>(strCsv.size()) / (1024.0 * 1024.0);
    state.counters["peak_MB"] = PeakMB(strWhich, table.GetRowCount());
}

// Argument 2: 0 for the stored values alone, 1 with the sheet of code names.
void BM_ExportXlsx(benchmark::State& state)
{
    const int nRecords = static_cast<int>(state.range(0));
    const bool bNames = state.range(1) != 0;
    CMemTable table;
    FillSchool(table, nRecords);
    const auto build = [&table, bNames] {
        std::string strBytes, strError;
        if (!BuildStudentWorkbook(table, strBytes, strError,
                                  bNames ? WorkbookSheets::StoredAndNames : WorkbookSheets::Stored))
            std::abort();
        return strBytes.size();
    };
    for (auto _ : state)
        benchmark::DoNotOptimize(build());
    state.SetItemsProcessed(state.iterations() * nRecords);
    ReportMemory(state, table, bNames ? "export-xlsx-names" : "export-xlsx");
}
BENCHMARK(BM_ExportXlsx)
    ->Args({1000, 0})
    ->Args({10000, 0})
    ->Args({100000, 0})
    ->Args({100000, 1})
    ->Unit(benchmark::kMillisecond);

void BM_ImportXlsx(benchmark::State& state)
{
    const int nRecords = static_cast<int>(state.range(0));
    CMemTable table;
    FillSchool(table, nRecords);
    std::string strBytes, strError;
    BuildStudentWorkbook(table, strBytes, strError);
    const std::string strPath = XlsxPath(getpid());
    ReplaceFileAtomically(strPath, strBytes);
    const auto read = [&strPath, nRecords] {
        CMemTable imported;
        std::string strMessage;
        if (!ReadWholeWorkbook(strPath, imported, strMessage) || imported.GetRowCount() != nRecords)
            std::abort();
    };
    for (auto _ : state)
        read();
    state.SetItemsProcessed(state.iterations() * nRecords);
    ReportMemory(state, table, "import-xlsx");
    state.counters["xlsx_MB"] = static_cast<double>(strBytes.size()) / (1024.0 * 1024.0);
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
    ReportMemory(state, table, "export-csv");
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
    ReportMemory(state, table, "import-csv");
}
BENCHMARK(BM_ImportCsvMemory)->Arg(100000)->Unit(benchmark::kMillisecond);
} // namespace

// "--peak WHICH N XLSX": one operation in this fresh process; prints the MB it added to the peak.
int main(int argc, char** argv)
{
    if (argc == 5 && std::string(argv[1]) == "--peak")
    {
        CMemTable table;
        FillSchool(table, std::atoi(argv[3]));
        const std::string strXlsx = argv[4]; // written by the benchmark that asks
        g_nSetupKiB = ResidentKiB();
        if (!RunOnce(argv[2], table, strXlsx))
            return 1;
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("%.1f\n", static_cast<double>(usage.ru_maxrss - g_nSetupKiB) / 1024.0);
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
