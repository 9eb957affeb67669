// The command-line companion on large schools: "check" of the stored records and "import --check"
// of a CSV file, each run as a process the way a script runs it. The tool is looked for beside the
// build's bench folder (../varnholt-cli) or at $VARNHOLT_CLI.
#include "TestKit.h"

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

// A school of nCount valid records with distinct student numbers.
void FillStudents(CMemTable& table, int nCount)
{
    CreateStudentTable(table);
    table.AddRows(nCount);
    for (int n = 0; n < nCount; ++n)
    {
        const std::string strNumber = std::to_string(200600000 + n);
        const std::vector<std::string> values = TestKit::StudentRecord(n)
                                                    .With(Field::XSBSH, strNumber)
                                                    .With(Field::XM, "欧阳明月")
                                                    .With(Field::DZXX, "s" + strNumber + "@pku.edu.cn")
                                                    .With(Field::BZ, "")
                                                    .Gbk();
        for (int nField = 0; nField < STUDENT_FIELD_COUNT; ++nField)
            table.SetCell(n, nField, values[static_cast<std::size_t>(nField)]);
    }
}

class CBenchDir
{
  public:
    explicit CBenchDir(int nCount)
    {
        CMemTable table;
        FillStudents(table, nCount);
        SetProgramDirectory(m_dir.Path());
        SaveSchoolDatabase(CODE, table, "123");
        SetProgramDirectory({}); // the tool is found beside the bench program
        std::string strCsv;
        WriteCsvText(table, strCsv);
        std::ofstream(CsvPath(), std::ios::binary) << strCsv;
    }
    const std::string& Dir() const { return m_dir.Path(); }
    std::string CsvPath() const { return m_dir.FilePath("in.csv"); }

  private:
    TestKit::TempDir m_dir;
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
