// The command-line companion on large schools: "check" of the stored records and "import --check"
// of a CSV file, each run as a process the way a script runs it. The tool is looked for beside the
// build's bench folder (../varnholt-cli) or at $VARNHOLT_CLI.
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

#include "core/DataFunc.h"
#include "exchange/CsvFile.h"
#include "platform/Encoding.h"
#include "platform/ProgramDir.h"

extern char** environ;

namespace
{
const char* const CODE = "10001";
const char* const TARGET = "10002";

std::string CliPath()
{
    const char* lpcszPath = std::getenv("VARNHOLT_CLI");
    return lpcszPath != nullptr ? lpcszPath : GetProgramDirectory() + "/../varnholt-cli";
}

std::string Gbk(const char* lpcszUtf8)
{
    return Encoding::Utf8ToGbk(lpcszUtf8).value();
}

// A school of nCount valid records with distinct student numbers.
void FillStudents(CMemTable& table, int nCount)
{
    const std::string strName = Gbk("欧阳明月"), strAddress = Gbk("北京市海淀区颐和园路5号");
    CreateStudentTable(table);
    table.AddRows(nCount);
    for (int n = 0; n < nCount; ++n)
    {
        const std::string strNumber = std::to_string(200600000 + n);
        const std::string values[STUDENT_FIELD_COUNT] = {
            strNumber,      CODE,     "07010100",   strName,  "1",          "1984-07-07",
            "01",           "en",     "2006-06-30", "110000", "4",          "s" + strNumber + "@pku.edu.cn",
            "04",           "460100", "CA",         "G61",    "1000-2000 ", "04E",
            "010-62751234", "",       strAddress,   "100871", "",           "00"};
        for (int nField = 0; nField < STUDENT_FIELD_COUNT; ++nField)
            table.SetCell(n, nField, values[nField]);
    }
}

class CBenchDir
{
  public:
    explicit CBenchDir(int nCount)
    {
        std::string strTemplate = (std::filesystem::temp_directory_path() / "bench-cli-XXXXXX").string();
        if (::mkdtemp(strTemplate.data()) == nullptr)
            std::abort();
        m_strDir = strTemplate;
        CMemTable table;
        FillStudents(table, nCount);
        SetProgramDirectory(m_strDir);
        SaveSchoolDatabase(CODE, table, "123");
        SetProgramDirectory({}); // the tool is found beside the bench program
        std::string strCsv;
        WriteCsvText(table, strCsv);
        std::ofstream(CsvPath(), std::ios::binary) << strCsv;
    }
    ~CBenchDir() { std::filesystem::remove_all(m_strDir); }
    const std::string& Dir() const { return m_strDir; }
    std::string CsvPath() const { return m_strDir + "/in.csv"; }

  private:
    std::string m_strDir;
};

// Runs the tool with its output discarded; its exit code.
int RunCli(std::vector<std::string> args)
{
    const std::string strPath = CliPath();
    std::vector<char*> argv = {const_cast<char*>(strPath.c_str())};
    for (std::string& strArg : args)
        argv.push_back(strArg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int nSpawn = posix_spawn(&pid, strPath.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int nStatus = 0;
    if (nSpawn != 0 || waitpid(pid, &nStatus, 0) < 0 || !WIFEXITED(nStatus))
        return -1;
    return WEXITSTATUS(nStatus);
}

void BM_CheckStoredRecords(benchmark::State& state)
{
    const CBenchDir dir(static_cast<int>(state.range(0)));
    for (auto _ : state)
    {
        if (RunCli({"check", "--dir", dir.Dir(), "--school", CODE, "--password", "123"}) != 0)
            state.SkipWithError("check did not pass");
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CheckStoredRecords)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

// Into an empty school each time, so the data file written is the file's records.
void BM_ImportWithCheck(benchmark::State& state)
{
    const CBenchDir dir(static_cast<int>(state.range(0)));
    const std::string strTarget = dir.Dir() + "/" + TARGET + ".db";
    for (auto _ : state)
    {
        state.PauseTiming();
        std::filesystem::remove(strTarget);
        state.ResumeTiming();
        if (RunCli({"import", "--dir", dir.Dir(), "--school", TARGET, "--password", "9", "--in", dir.CsvPath(),
                    "--check"}) != 0)
            state.SkipWithError("import refused the file");
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ImportWithCheck)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
} // namespace
