#include "CliTestSupport.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

#include "core/DataFunc.h"
#include "platform/Encoding.h"
#include "platform/ProgramDir.h"

extern char** environ;

std::string HeaderLine(const char* lpcszSep, const char* lpcszEnd)
{
    std::string strLine;
    for (int nField = 0; nField < STUDENT_FIELD_COUNT; ++nField)
        strLine.append(nField > 0 ? lpcszSep : "").append(g_studentFields[nField].lpcszName);
    return strLine + lpcszEnd;
}

Record ValidRecord(int n)
{
    return TestKit::StudentRecord(n).Gbk();
}

std::string CsvText(const std::vector<Record>& records)
{
    std::string strText = HeaderLine(",", "\r\n");
    for (const Record& record : records)
    {
        for (std::size_t i = 0; i < record.size(); ++i)
            strText.append(i > 0 ? "," : "").append(record[i]);
        strText += "\r\n";
    }
    return strText;
}

std::string ReadFileBytes(const std::string& strPath)
{
    std::ifstream file(strPath, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

void WriteFileBytes(const std::string& strPath, std::string_view bytes)
{
    std::ofstream(strPath, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

CliTest::CliTest()
{
    std::filesystem::create_directory(m_strDir + "/config");
}

CliTest::~CliTest()
{
    SetProgramDirectory({});
}

CliResult CliTest::Run(std::vector<std::string> args, const std::string& strStdin, const std::vector<std::string>& env)
{
    if (!args.empty())
        args.insert(args.begin() + 1, {"--dir", m_strDir});
    return RunExactly(std::move(args), strStdin, env);
}

CliResult CliTest::RunExactly(std::vector<std::string> args, const std::string& strStdin,
                              const std::vector<std::string>& env)
{
    return Finish(StartExactly(std::move(args), strStdin, env));
}

CliTest::Started CliTest::Start(std::vector<std::string> args, const std::string& strStdin,
                                const std::vector<std::string>& env)
{
    if (!args.empty())
        args.insert(args.begin() + 1, {"--dir", m_strDir});
    return StartExactly(std::move(args), strStdin, env);
}

CliTest::Started CliTest::StartExactly(std::vector<std::string> args, const std::string& strStdin,
                                       const std::vector<std::string>& env)
{
    std::vector<std::string> environment;
    for (char** ppEntry = environ; *ppEntry != nullptr; ++ppEntry)
    {
        const std::string_view entry = *ppEntry;
        if (!entry.starts_with("VARNHOLT_PASSWORD=") && !entry.starts_with("XDG_CONFIG_HOME="))
            environment.emplace_back(entry);
    }
    environment.push_back("XDG_CONFIG_HOME=" + m_strDir + "/config");
    environment.insert(environment.end(), env.begin(), env.end());

    const std::string strRun = std::to_string(++m_nRuns);
    const std::string strIn = m_strDir + "/.stdin" + strRun, strOut = m_strDir + "/.stdout" + strRun,
                      strErr = m_strDir + "/.stderr" + strRun;
    WriteFileBytes(strIn, strStdin);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, strIn.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, strOut.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, strErr.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);

    std::vector<char*> argv = {m_strProgram.data()};
    for (std::string& strArg : args)
        argv.push_back(strArg.data());
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& strEntry : environment)
        envp.push_back(strEntry.data());
    envp.push_back(nullptr);

    Started started{-1, strOut, strErr};
    if (posix_spawn(&started.pid, m_strProgram.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0)
        started.pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return started;
}

CliResult CliTest::Finish(const Started& started)
{
    CliResult result;
    if (started.pid < 0)
        return result;
    int nStatus = 0;
    waitpid(started.pid, &nStatus, 0);
    result.nExit = WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1;
    result.strOut = ReadFileBytes(started.strOutPath);
    result.strErr = ReadFileBytes(started.strErrPath);
    std::filesystem::remove(started.strOutPath);
    std::filesystem::remove(started.strErrPath);
    return result;
}

void CliTest::WriteSchool(const std::string& strCode, const std::string& strPassword,
                          const std::vector<Record>& records)
{
    CMemTable table;
    ASSERT_TRUE(CreateStudentTable(table));
    table.AddRows(static_cast<int>(records.size()));
    for (int nRow = 0; nRow < static_cast<int>(records.size()); ++nRow)
    {
        for (int nField = 0; nField < STUDENT_FIELD_COUNT; ++nField)
            table.SetCell(nRow, nField, records[nRow][nField]);
    }
    SetProgramDirectory(m_strDir);
    ASSERT_TRUE(SaveSchoolDatabase(strCode, table, strPassword));
}

std::vector<Record> CliTest::ReadSchool(const std::string& strCode, const std::string& strPassword)
{
    CMemTable table;
    SetProgramDirectory(m_strDir);
    EXPECT_TRUE(LoadSchoolDatabase(strCode, strPassword, table));
    std::vector<Record> records(table.GetRowCount());
    for (int nRow = 0; nRow < table.GetRowCount(); ++nRow)
    {
        for (int nField = 0; nField < table.GetColCount(); ++nField)
            records[nRow].push_back(table.GetCell(nRow, nField));
    }
    return records;
}
