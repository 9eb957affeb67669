// Spreadsheet exchange of a school's records: the .xlsx export and import, the .ods import (of a
// file laid out as spreadsheet programs write it), with CSV beside them.
// Besides the time, each runs once more in a child process whose peak memory above an idle child's
// is reported (extra_MB), next to the size of the same records as CSV (csv_MB).

#include "BenchSchool.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zip.h>

#include "core/DataFunc.h"
#include "core/MemTable.h"
#include "exchange/CsvFile.h"
#include "exchange/WorkbookExport.h"
#include "exchange/WorkbookImport.h"
#include "platform/Encoding.h"
#include "platform/FileSystem.h"
#include "platform/LastError.h"

namespace
{
namespace fs = std::filesystem;

long g_nSetupKiB = 0;

std::string WorkbookPath(pid_t pid, const char* lpcszExtension)
{
    return (fs::temp_directory_path() / ("varnholt-bench-" + std::to_string(pid) + lpcszExtension)).string();
}

std::string XlsxPath(pid_t pid)
{
    return WorkbookPath(pid, ".xlsx");
}

std::string OdsPath(pid_t pid)
{
    return WorkbookPath(pid, ".ods");
}

std::string EscapedXml(std::string_view text)
{
    std::string strOut;
    for (const char ch : text)
        strOut += ch == '&' ? "&amp;" : ch == '<' ? "&lt;" : ch == '>' ? "&gt;" : std::string(1, ch);
    return strOut;
}

// The content part of an .ods file holding the table, as spreadsheet programs write it: text cells
// with their type, runs of empty cells stored once with a repeat count.
std::string OdsContent(const CMemTable& table)
{
    Encoding::CConverter toUtf8("UTF-8", "CP936");
    std::string strXml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><office:document-content "
        "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
        "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
        "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body><office:spreadsheet>"
        "<table:table table:name=\"记录\">";
    std::string strValue;
    for (int r = -1; r < table.GetRowCount(); ++r)
    {
        strXml += "<table:table-row>";
        int nEmpty = 0;
        for (int c = 0; c < STUDENT_FIELD_COUNT; ++c)
        {
            const char* lpcszGbk = r < 0 ? g_studentFields[c].lpcszName : table.GetCell(r, c);
            if (!*lpcszGbk || !toUtf8.Convert(lpcszGbk, strValue))
            {
                ++nEmpty;
                continue;
            }
            if (nEmpty > 0)
                strXml += "<table:table-cell table:number-columns-repeated=\"" + std::to_string(nEmpty) + "\"/>";
            nEmpty = 0;
            strXml += "<table:table-cell office:value-type=\"string\"><text:p>" + EscapedXml(strValue) +
                      "</text:p></table:table-cell>";
        }
        strXml += "</table:table-row>";
    }
    return strXml + "</table:table></office:spreadsheet></office:body></office:document-content>";
}

// Writes the table as an .ods file.
void WriteOds(const CMemTable& table, const std::string& strPath)
{
    const std::string strMimeType = "application/vnd.oasis.opendocument.spreadsheet", strContent = OdsContent(table);
    zipFile zip = zipOpen64(strPath.c_str(), APPEND_STATUS_CREATE);
    const auto add = [zip](const char* lpcszName, const std::string& strBytes, int nMethod) {
        zip_fileinfo info{};
        zipOpenNewFileInZip64(zip, lpcszName, &info, nullptr, 0, nullptr, 0, nullptr, nMethod, 6, 1);
        zipWriteInFileInZip(zip, strBytes.data(), static_cast<unsigned>(strBytes.size()));
        zipCloseFileInZip(zip);
    };
    add("mimetype", strMimeType, 0);
    add("content.xml", strContent, Z_DEFLATED);
    zipClose(zip, nullptr);
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
           ReadWorkbookStudents(strPath, strBytes, FormatOfPath(strPath), imported, strError);
}

// The records of the CSV benchmarks, with student numbers of 14 digits.
void FillSchool(CMemTable& table, int nRecords)
{
    FillTypicalRecords(table, nRecords, 20060000000000);
}

// The operations measured, by name; each runs on a school of nRecords (set up beforehand).
bool RunOnce(const std::string& strWhich, const CMemTable& table, const std::string& strWorkbook)
{
    std::string strBytes, strError;
    CMemTable imported;
    if (strWhich == "export-xlsx")
        return BuildStudentWorkbook(table, strBytes, strError);
    if (strWhich == "export-xlsx-names")
        return BuildStudentWorkbook(table, strBytes, strError, WorkbookSheets::StoredAndNames);
    if (strWhich == "import-xlsx" || strWhich == "import-ods")
        return ReadWholeWorkbook(strWorkbook, imported, strError);
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
    const std::string strWorkbook = strWhich == "import-ods" ? OdsPath(getpid()) : XlsxPath(getpid());
    const std::string strCommand = "/proc/" + std::to_string(getpid()) + "/exe --peak " + strWhich + " " +
                                   std::to_string(nRecords) + " " + strWorkbook;
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

// Times reading the workbook at strPath whole into a table of nRecords rows, then removes it.
void TimeWorkbookRead(benchmark::State& state, const CMemTable& table, const std::string& strPath,
                      const char* lpcszLabel, const char* lpcszSizeCounter)
{
    const int nRecords = table.GetRowCount();
    const auto read = [&strPath, nRecords] {
        CMemTable imported;
        std::string strMessage;
        if (!ReadWholeWorkbook(strPath, imported, strMessage) || imported.GetRowCount() != nRecords)
            std::abort();
    };
    for (auto _ : state)
        read();
    state.SetItemsProcessed(state.iterations() * nRecords);
    ReportMemory(state, table, lpcszLabel);
    state.counters[lpcszSizeCounter] = static_cast<double>(fs::file_size(strPath)) / (1024.0 * 1024.0);
    fs::remove(strPath);
}

void BM_ImportXlsx(benchmark::State& state)
{
    CMemTable table;
    FillSchool(table, static_cast<int>(state.range(0)));
    std::string strBytes, strError;
    BuildStudentWorkbook(table, strBytes, strError);
    const std::string strPath = XlsxPath(getpid());
    ReplaceFileAtomically(strPath, strBytes);
    TimeWorkbookRead(state, table, strPath, "import-xlsx", "xlsx_MB");
}
BENCHMARK(BM_ImportXlsx)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_ImportOds(benchmark::State& state)
{
    CMemTable table;
    FillSchool(table, static_cast<int>(state.range(0)));
    const std::string strPath = OdsPath(getpid());
    WriteOds(table, strPath);
    TimeWorkbookRead(state, table, strPath, "import-ods", "ods_MB");
}
BENCHMARK(BM_ImportOds)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

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

// "--peak WHICH N WORKBOOK": one operation in this fresh process; prints the MB it added to the peak.
int main(int argc, char** argv)
{
    if (argc == 5 && std::string(argv[1]) == "--peak")
    {
        CMemTable table;
        FillSchool(table, std::atoi(argv[3]));
        const std::string strWorkbook = argv[4]; // written by the benchmark that asks
        g_nSetupKiB = ResidentKiB();
        if (!RunOnce(argv[2], table, strWorkbook))
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
