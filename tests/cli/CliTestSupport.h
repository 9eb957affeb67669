#pragma once

#include "TestKit.h"

#include <gtest/gtest.h>
#include <string>
#include <string_view>
#include <vector>

// The tests run the built varnholt-cli in a temporary data directory, as a script would.

using Record = std::vector<std::string>; // the 24 values in field order (GBK)

// The header line of the student table with the separator and line end given.
std::string HeaderLine(const char* lpcszSep, const char* lpcszEnd);

// A record that passes every check; its student number is 2006000 + n.
Record ValidRecord(int n);
// A CSV file of the header line and the records, comma-separated, CR LF after every line.
std::string CsvText(const std::vector<Record>& records);

std::string ReadFileBytes(const std::string& strPath);
void WriteFileBytes(const std::string& strPath, std::string_view bytes);

struct CliResult
{
    int nExit = -1;
    std::string strOut; // standard output (UTF-8)
    std::string strErr; // standard error (UTF-8)
};

// A fresh data directory (and profile directory) per test.
class CliTest : public testing::Test
{
  protected:
    CliTest();
    ~CliTest() override;

    // Runs the tool with the arguments; "--dir <data directory>" is added after the command name.
    // The environment has no VARNHOLT_PASSWORD unless given in env ("NAME=value" entries), and
    // XDG_CONFIG_HOME points at the test's own profile directory.
    CliResult Run(std::vector<std::string> args, const std::string& strStdin = {},
                  const std::vector<std::string>& env = {});
    // The same with the arguments exactly as given.
    CliResult RunExactly(std::vector<std::string> args, const std::string& strStdin = {},
                         const std::vector<std::string>& env = {});

    // A run started and not yet waited for, so that several can run at once.
    struct Started
    {
        pid_t pid = -1;
        std::string strOutPath, strErrPath;
    };
    Started Start(std::vector<std::string> args, const std::string& strStdin = {},
                  const std::vector<std::string>& env = {});
    CliResult Finish(const Started& started);
    Started StartExactly(std::vector<std::string> args, const std::string& strStdin = {},
                         const std::vector<std::string>& env = {});

    // The school's data file written and read with the data functions the desktop program uses.
    void WriteSchool(const std::string& strCode, const std::string& strPassword, const std::vector<Record>& records);
    std::vector<Record> ReadSchool(const std::string& strCode, const std::string& strPassword);
    std::string DataFilePath(const std::string& strCode) const { return m_strDir + "/" + strCode + ".db"; }
    std::string FilePath(const std::string& strName) const { return m_strDir + "/" + strName; }
    std::string ProfilePath() const { return m_strDir + "/config/quillmark.ini"; }

    TestKit::TempDir m_dir;
    const std::string m_strDir = m_dir.Path();
    std::string m_strProgram = VARNHOLT_CLI_PATH; // the tool that runs

  private:
    int m_nRuns = 0;
};
