// One writer per school, odd data files and export targets.
#include "CliTestSupport.h"

#include <chrono>
#include <filesystem>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "core/DataFunc.h"
#include "platform/FileLock.h"
#include "platform/LastError.h"

namespace
{
const char* const CODE = "10001";

class CliWriters : public CliTest
{
  protected:
    CliWriters()
    {
        WriteSchool(CODE, "123", {ValidRecord(1)});
        m_strStored = ReadFileBytes(DataFilePath(CODE));
    }
    std::vector<std::string> ImportArgs(const std::string& strCsv, const std::vector<Record>& records)
    {
        WriteFileBytes(FilePath(strCsv), CsvText(records));
        return {"import", "--school", CODE, "--password", "123", "--in", FilePath(strCsv)};
    }
    std::string LockPath() const { return FilePath(std::string(CODE) + ".lock"); }

    std::string m_strStored;
};

const char* const kLockedMessage = "varnholt-cli: 另一个程序正在修改该院校的数据，请等它结束后再试。（错误代码 33）\n";

TEST_F(CliWriters, WritingCommandsAreRefusedAtOnceWhileAnotherHoldsTheSchool)
{
    CFileLock other; // the desktop program, logged in to the school
    ASSERT_EQ(other.TryLock(LockPath()), ERROR_SUCCESS);
    const std::vector<std::vector<std::string>> writers = {
        ImportArgs("in.csv", {ValidRecord(2)}),
        {"passwd", "--school", CODE, "--old", "123", "--new", "456"},
    };
    for (const std::vector<std::string>& args : writers)
    {
        const CliResult result = Run(args);
        EXPECT_EQ(result.nExit, 3) << args[0];
        EXPECT_EQ(result.strErr, kLockedMessage) << args[0];
        EXPECT_EQ(ReadFileBytes(DataFilePath(CODE)), m_strStored) << args[0];
    }
    EXPECT_EQ(ReadFileBytes(ProfilePath()), "");
    // Reading needs no lock.
    EXPECT_EQ(Run({"list", "--school", CODE, "--password", "123"}).nExit, 0);
    EXPECT_EQ(Run({"check", "--school", CODE, "--password", "123"}).nExit, 0);
    EXPECT_EQ(Run({"export", "--school", CODE, "--password", "123", "--out", FilePath("out.csv")}).nExit, 0);
}

TEST_F(CliWriters, WaitTakesTheSchoolOnceItIsFree)
{
    CFileLock other;
    ASSERT_EQ(other.TryLock(LockPath()), ERROR_SUCCESS);
    std::vector<std::string> args = ImportArgs("in.csv", {ValidRecord(2)});
    args.insert(args.end(), {"--wait", "1"});
    EXPECT_EQ(Run(args).nExit, 3); // still held after a second

    args.back() = "30";
    const Started started = Start(args);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    other.Unlock();
    const CliResult result = Finish(started);
    EXPECT_EQ(result.nExit, 0) << result.strErr;
    EXPECT_EQ(ReadSchool(CODE, "123"), (std::vector<Record>{ValidRecord(1), ValidRecord(2)}));

    const CliResult bad = Run({"passwd", "--school", CODE, "--old", "123", "--new", "4", "--wait", "soon"});
    EXPECT_EQ(bad.nExit, 2);
    EXPECT_EQ(bad.strErr, "varnholt-cli: --wait 需要 0 到 86400 之间的秒数\n");
}

TEST_F(CliWriters, ImportsAtTheSameTimeLoseNoBatch)
{
    // Without one writer per school the later save dropped the other batch in 20 of 20 rounds.
    std::vector<Started> runs;
    std::vector<Record> expected = {ValidRecord(1)};
    for (int nRun = 0; nRun < 4; ++nRun)
    {
        const std::vector<Record> batch = {ValidRecord(10 + 2 * nRun), ValidRecord(11 + 2 * nRun)};
        std::vector<std::string> args = ImportArgs("in" + std::to_string(nRun) + ".csv", batch);
        args.insert(args.end(), {"--wait", "60"});
        runs.push_back(Start(args));
        expected.insert(expected.end(), batch.begin(), batch.end());
    }
    for (const Started& run : runs)
        EXPECT_EQ(Finish(run).nExit, 0);
    std::vector<Record> stored = ReadSchool(CODE, "123");
    std::sort(stored.begin(), stored.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(stored, expected);
}

TEST_F(CliWriters, PasswdTwiceAtOnceLeavesOneWorkingPassword)
{
    const Started first = Start({"passwd", "--school", CODE, "--old", "123", "--new", "aaa"});
    const Started second = Start({"passwd", "--school", CODE, "--old", "123", "--new", "bbb"});
    const CliResult results[] = {Finish(first), Finish(second)};
    int nSucceeded = 0;
    for (const CliResult& result : results)
    {
        if (result.nExit == 0)
            ++nSucceeded;
        else // refused while the other ran, or the old password no longer works after it
            EXPECT_TRUE(result.strErr == kLockedMessage ||
                        result.strErr == "varnholt-cli: 密码不正确，请检查。（错误代码 86）\n")
                << result.strErr;
    }
    ASSERT_EQ(nSucceeded, 1);
    const std::string strNew = results[0].nExit == 0 ? "aaa" : "bbb";
    EXPECT_EQ(ReadSchool(CODE, strNew), std::vector<Record>{ValidRecord(1)});
    EXPECT_EQ(ReadFileBytes(ProfilePath()), "[security]\r\n10001=" + strNew + "\r\n");
}

TEST_F(CliWriters, StaleTemporariesGoAtTheNextWritingCommand)
{
    WriteFileBytes(DataFilePath(CODE) + ".tmp-999999-1", std::string(4096, 'x'));
    EXPECT_EQ(Run({"list", "--school", CODE, "--password", "123"}).nExit, 0);
    EXPECT_TRUE(std::filesystem::exists(DataFilePath(CODE) + ".tmp-999999-1")); // readers leave it
    EXPECT_EQ(Run(ImportArgs("in.csv", {ValidRecord(2)})).nExit, 0);
    EXPECT_FALSE(std::filesystem::exists(DataFilePath(CODE) + ".tmp-999999-1"));
}

TEST_F(CliWriters, ImportIsSavedThroughALinkAndKeepsTheMode)
{
    std::filesystem::create_directory(FilePath("share"));
    std::filesystem::rename(DataFilePath(CODE), FilePath("share/10001.db"));
    ASSERT_EQ(::chmod(FilePath("share/10001.db").c_str(), 0640), 0);
    std::filesystem::create_symlink("share/10001.db", DataFilePath(CODE));
    EXPECT_EQ(Run(ImportArgs("in.csv", {ValidRecord(2)})).nExit, 0);
    EXPECT_TRUE(std::filesystem::is_symlink(DataFilePath(CODE)));
    EXPECT_EQ(ReadSchool(CODE, "123"), (std::vector<Record>{ValidRecord(1), ValidRecord(2)}));
    struct stat info
    {
    };
    ASSERT_EQ(::stat(FilePath("share/10001.db").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST_F(CliWriters, ReadOnlyDataFileIsRefusedWithItsReason)
{
    ASSERT_EQ(::chmod(DataFilePath(CODE).c_str(), 0444), 0);
    const CliResult result = Run(ImportArgs("in.csv", {ValidRecord(2)}));
    EXPECT_EQ(result.nExit, 3);
    EXPECT_EQ(result.strErr, "varnholt-cli: 保存数据文件失败，没有导入任何记录：文件是只读的（错误代码 6009）\n");
    EXPECT_EQ(ReadFileBytes(DataFilePath(CODE)), m_strStored);
}

// ---- Odd data files are refused at once, never opened as an empty school ------------------------

namespace
{
// An odd file put where a school's file belongs: how to make it, and the code and reason it is named with.
struct OddCase
{
    const char* lpcszName;
    void (*make)(const std::string& strPath);
    DWORD dwCode;
    const char* lpcszReason;
};
} // namespace

TEST_F(CliTest, OddDataFileIsRefusedAtOnceByEveryCommand)
{
    const OddCase cases[] = {
        {"fifo", [](const std::string& p) { ::mkfifo(p.c_str(), 0600); }, ERROR_BAD_FILE_TYPE,
         "不是普通文件（是管道、套接字或设备）"},
        {"device", [](const std::string& p) { ASSERT_TRUE(TestKit::MakeDeviceNode(p)); }, ERROR_BAD_FILE_TYPE,
         "不是普通文件（是管道、套接字或设备）"},
        {"dangling link", [](const std::string& p) { ::symlink("gone.db", p.c_str()); }, ERROR_CANT_RESOLVE_FILENAME,
         "符号链接指向的文件不存在或链接成环"},
    };
    for (const OddCase& odd : cases)
    {
        odd.make(DataFilePath(CODE));
        const std::string strExpected = "varnholt-cli: 不能访问该院校的数据库，请检查。数据文件“" + DataFilePath(CODE) +
                                        "”：" + odd.lpcszReason + "。（错误代码 " + std::to_string(odd.dwCode) + "）\n";
        for (const char* lpcszCommand : {"list", "check"})
        {
            const CliResult result = Run({lpcszCommand, "--school", CODE});
            EXPECT_EQ(result.nExit, 3) << odd.lpcszName << " " << lpcszCommand;
            EXPECT_EQ(result.strErr, strExpected) << odd.lpcszName << " " << lpcszCommand;
        }
        EXPECT_EQ(Run({"passwd", "--school", CODE, "--old", "", "--new", "1"}).nExit, 3) << odd.lpcszName;
        EXPECT_FALSE(std::filesystem::exists(FilePath("gone.db")));
        std::filesystem::remove(DataFilePath(CODE));
    }
}

TEST_F(CliWriters, OddLockFileIsNamedWithItsReasonByEveryWriter)
{
    const OddCase cases[] = {
        {"fifo", [](const std::string& p) { ::mkfifo(p.c_str(), 0600); }, ERROR_BAD_FILE_TYPE,
         "不是普通文件（是管道、套接字或设备）"},
        {"folder", [](const std::string& p) { std::filesystem::create_directory(p); }, ERROR_DIRECTORY,
         "这是一个文件夹"},
        {"dangling link", [](const std::string& p) { ::symlink("gone.lock", p.c_str()); }, ERROR_CANT_RESOLVE_FILENAME,
         "符号链接指向的文件不存在或链接成环"},
    };
    for (const OddCase& odd : cases)
    {
        std::filesystem::remove(LockPath());
        odd.make(LockPath());
        const std::string strExpected = "varnholt-cli: 不能访问该院校的数据库，请检查。锁文件“" + LockPath() + "”：" +
                                        odd.lpcszReason + "。（错误代码 " + std::to_string(odd.dwCode) + "）\n";
        const std::vector<std::vector<std::string>> writers = {
            ImportArgs("in.csv", {ValidRecord(2)}),
            {"passwd", "--school", CODE, "--old", "123", "--new", "456"},
            {"restore", "--school", CODE, "--password", "123", "--backup", "20261210-030005Z"},
        };
        for (const std::vector<std::string>& args : writers)
        {
            const CliResult result = Run(args);
            EXPECT_EQ(result.nExit, 3) << odd.lpcszName << " " << args[0];
            EXPECT_EQ(result.strErr, strExpected) << odd.lpcszName << " " << args[0];
        }
        EXPECT_EQ(ReadFileBytes(DataFilePath(CODE)), m_strStored) << odd.lpcszName;
        EXPECT_FALSE(std::filesystem::exists(FilePath("gone.lock")));
    }
}

// ---- Export targets -------------------------------------------------------------------------

TEST_F(CliWriters, ExportRefusesTheProgramsOwnFilesAndOddTargets)
{
    std::filesystem::create_directories(FilePath("backup/10001"));
    WriteFileBytes(FilePath("backup/10001/old.db"), "backup");
    WriteFileBytes(FilePath("10002.db"), "other school");
    std::filesystem::create_symlink("10001.db", FilePath("link-to-own.csv"));
    ::mkfifo(FilePath("fifo.csv").c_str(), 0600);
    ASSERT_TRUE(TestKit::MakeDeviceNode(FilePath("device.csv")));
    std::filesystem::create_directory(FilePath("dir.csv"));
    std::filesystem::create_symlink("nowhere/x.csv", FilePath("dangling.csv"));
    struct TargetCase
    {
        std::string strPath;
        std::string strReason; // empty: refused as one of the program's own files
        DWORD dwCode;
    };
    const TargetCase cases[] = {
        {DataFilePath(CODE), "", ERROR_ACCESS_DENIED},
        {FilePath("10002.db"), "", ERROR_ACCESS_DENIED},
        {FilePath("10001.lock"), "", ERROR_ACCESS_DENIED},
        {FilePath("backup/10001/old.db"), "", ERROR_ACCESS_DENIED},
        {FilePath("backup/10001/new.csv"), "", ERROR_ACCESS_DENIED},
        {FilePath("link-to-own.csv"), "", ERROR_ACCESS_DENIED},
        {FilePath("share/../10001.db"), "", ERROR_ACCESS_DENIED},
        {FilePath("fifo.csv"), "不是普通文件（是管道、套接字或设备）", ERROR_BAD_FILE_TYPE},
        {FilePath("dir.csv"), "这是一个文件夹", ERROR_DIRECTORY},
        {FilePath("device.csv"), "不是普通文件（是管道、套接字或设备）", ERROR_BAD_FILE_TYPE},
        {FilePath("dangling.csv"), "符号链接指向的文件不存在或链接成环", ERROR_CANT_RESOLVE_FILENAME},
    };
    std::filesystem::create_directory(FilePath("share"));
    for (const TargetCase& target : cases)
    {
        const CliResult result = Run({"export", "--school", CODE, "--password", "123", "--out", target.strPath});
        EXPECT_EQ(result.nExit, 3) << target.strPath;
        const std::string strExpected =
            target.strReason.empty()
                ? "varnholt-cli: “" + target.strPath + "”是程序自己的数据文件，不能用作导出文件（错误代码 5）\n"
                : "varnholt-cli: 不能写入文件“" + target.strPath + "”：" + target.strReason + "（错误代码 " +
                      std::to_string(target.dwCode) + "）\n";
        EXPECT_EQ(result.strErr, strExpected) << target.strPath;
    }
    EXPECT_EQ(ReadFileBytes(DataFilePath(CODE)), m_strStored);
    EXPECT_EQ(ReadFileBytes(FilePath("10002.db")), "other school");
    EXPECT_EQ(ReadFileBytes(FilePath("backup/10001/old.db")), "backup");
    EXPECT_FALSE(std::filesystem::exists(FilePath("backup/10001/new.csv")));
    EXPECT_EQ(Run({"list", "--school", CODE, "--password", "123"}).nExit, 0); // the school still opens
}

TEST_F(CliWriters, ExportThroughALinkReplacesItsTargetAndKeepsTheMode)
{
    WriteFileBytes(FilePath("real.csv"), "old");
    ASSERT_EQ(::chmod(FilePath("real.csv").c_str(), 0600), 0);
    std::filesystem::create_symlink("real.csv", FilePath("link.csv"));
    EXPECT_EQ(Run({"export", "--school", CODE, "--password", "123", "--out", FilePath("link.csv")}).nExit, 0);
    EXPECT_TRUE(std::filesystem::is_symlink(FilePath("link.csv")));
    EXPECT_EQ(ReadFileBytes(FilePath("real.csv")), CsvText({ValidRecord(1)}));
    struct stat info
    {
    };
    ASSERT_EQ(::stat(FilePath("real.csv").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
}
} // namespace
