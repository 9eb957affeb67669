#include "core/SchoolBackups.h"

#include "DataTestSupport.h"

#include <csignal>
#include <ctime>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>

#include "core/BackupRestore.h"
#include "core/DataFunc.h"
#include "core/SchoolAccess.h"
#include "platform/FileCalls.h"
#include "platform/LastError.h"

namespace
{
const char* const CODE = "10001";

std::time_t g_tNow = 0;
std::time_t FakeNow()
{
    return g_tNow;
}

// A student table whose records are numbered from nFirst.
void FillNumbers(CMemTable& table, int nFirst, int nCount)
{
    ASSERT_TRUE(CreateStudentTable(table));
    table.AddRows(nCount);
    for (int nRow = 0; nRow < nCount; ++nRow)
    {
        table.SetCell(nRow, 0, std::to_string(nFirst + nRow));
        table.SetCell(nRow, 3, Gbk("张三"));
    }
}

// The system as it is, except that nothing can be linked (another file system, say) and, when
// bDiskFull, writes into the backup folder find the disk full.
class BackupFaults : public FileCalls
{
  public:
    explicit BackupFaults(bool bDiskFull) : m_bDiskFull(bDiskFull) {}
    int Link(const char*, const char*) override
    {
        errno = EXDEV;
        return -1;
    }
    int Open(const char* lpcszPath, int nFlags, mode_t mode) override
    {
        const int fd = FileCalls::Open(lpcszPath, nFlags, mode);
        if (std::string_view(lpcszPath).find("/backup/") != std::string_view::npos)
            m_backupFd = fd;
        return fd;
    }
    ssize_t Write(int fd, const void* pBuffer, size_t nSize) override
    {
        if (m_bDiskFull && fd == m_backupFd)
        {
            errno = ENOSPC;
            return -1;
        }
        return FileCalls::Write(fd, pBuffer, nSize);
    }

  private:
    bool m_bDiskFull;
    int m_backupFd = -1;
};

mode_t ModeOf(const std::string& strPath)
{
    struct stat st
    {
    };
    EXPECT_EQ(::stat(strPath.c_str(), &st), 0) << strPath;
    return st.st_mode & 07777;
}

class SchoolBackups : public testing::Test
{
  protected:
    SchoolBackups()
    {
        g_tNow = 1796871600; // 2026-12-10 11:00:00 in Asia/Shanghai
        SetBackupClock(FakeNow);
    }
    ~SchoolBackups() override { SetBackupClock(nullptr); }

    std::string DbPath() const { return m_dir.FilePath(std::string(CODE) + ".db"); }

    // Saves records numbered from nFirst and returns the file's bytes afterwards.
    std::string Save(int nFirst, int nCount, const std::string& strPassword = "123")
    {
        CMemTable table;
        FillNumbers(table, nFirst, nCount);
        const SaveResult saved = SaveSchoolDatabase(CODE, table, strPassword);
        EXPECT_EQ(saved.dwError, ERROR_SUCCESS);
        EXPECT_EQ(saved.dwBackupError, ERROR_SUCCESS);
        return ReadFileBytes(DbPath());
    }

    std::vector<std::string> Ids() const
    {
        std::vector<std::string> ids;
        for (const BackupEntry& entry : ListBackups(CODE))
            ids.push_back(entry.stamp.strId);
        return ids;
    }

    TempProgramDir m_dir;
};
} // namespace

TEST_F(SchoolBackups, FirstSaveHasNothingToKeep)
{
    Save(1, 3);
    EXPECT_TRUE(ListBackups(CODE).empty());
    EXPECT_FALSE(std::filesystem::exists(m_dir.FilePath("backup")));
}

TEST_F(SchoolBackups, EverySaveKeepsTheReplacedFileByteForBytePrivately)
{
    const std::string strFirst = Save(1, 3);
    ASSERT_EQ(::chmod(DbPath().c_str(), 0640), 0);
    g_tNow += 5;
    const std::string strSecond = Save(1, 4);
    const auto entries = ListBackups(CODE);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].strPath, m_dir.FilePath("backup/10001/20261210-030005Z.db"));
    EXPECT_EQ(ReadFileBytes(entries[0].strPath), strFirst);
    EXPECT_EQ(entries[0].nSize, strFirst.size());
    EXPECT_EQ(ModeOf(entries[0].strPath), 0600u);
    EXPECT_EQ(ReadFileBytes(DbPath()), strSecond);
    // The backup opens with the password of its time, like the data file.
    CMemTable table;
    ASSERT_TRUE(LoadBackup(CODE, entries[0].stamp.strId, "123", table));
    EXPECT_EQ(table.GetRowCount(), 3);
}

TEST_F(SchoolBackups, SavesWithinOneSecondGetSerials)
{
    for (int i = 0; i < 4; ++i)
        Save(1, i + 1);
    EXPECT_EQ(Ids(), (std::vector<std::string>{"20261210-030000Z-3", "20261210-030000Z-2", "20261210-030000Z"}));
}

TEST_F(SchoolBackups, PrunesAfterEveryBackupAndLeavesForeignFilesAlone)
{
    Save(1, 1);
    std::filesystem::create_directories(m_dir.FilePath("backup/10001"));
    WriteFileBytes(m_dir.FilePath("backup/10001/notes.txt"), "mine");
    WriteFileBytes(m_dir.FilePath("backup/10001/20200101-000000.db.old"), "mine");
    const std::time_t tStart = g_tNow;
    for (int i = 1; i <= 30; ++i)
    {
        g_tNow = tStart + i * 60;
        Save(1, i + 1);
    }
    const std::vector<std::string> ids = Ids();
    ASSERT_EQ(ids.size(), 21u); // the newest twenty and the day's first
    EXPECT_EQ(ids.front(), MakeBackupId(tStart + 30 * 60));
    EXPECT_EQ(ids.back(), MakeBackupId(tStart + 60));
    EXPECT_EQ(ids[19], MakeBackupId(tStart + 11 * 60));
    EXPECT_TRUE(std::filesystem::exists(m_dir.FilePath("backup/10001/notes.txt")));
    EXPECT_TRUE(std::filesystem::exists(m_dir.FilePath("backup/10001/20200101-000000.db.old")));
}

TEST_F(SchoolBackups, RestoreRoundTripGivesTheBackupsBytesAndCanBeUndone)
{
    const std::string strOld = Save(1, 3);
    g_tNow += 1;
    const std::string strNew = Save(10, 5);
    const std::string strId = Ids().front();
    g_tNow += 1;
    CMemTable table;
    FillNumbers(table, 100, 1);
    ASSERT_TRUE(RestoreBackup(CODE, strId, "123", "123", table));
    EXPECT_EQ(ReadFileBytes(DbPath()), strOld);
    EXPECT_EQ(table.GetRowCount(), 3);
    EXPECT_STREQ(table.GetCell(0, 0), "1");
    // The file it replaced is the newest backup now: restoring that brings the newer records back.
    const std::string strUndoId = Ids().front();
    EXPECT_NE(strUndoId, strId);
    g_tNow += 1;
    ASSERT_TRUE(RestoreBackup(CODE, strUndoId, "123", "123", table));
    EXPECT_EQ(ReadFileBytes(DbPath()), strNew);
    EXPECT_EQ(table.GetRowCount(), 5);
}

TEST_F(SchoolBackups, RestoreRefusesWhatCannotBeRestoredAndLeavesTheFile)
{
    Save(1, 3, "old");
    g_tNow += 1;
    const std::string strCurrent = Save(1, 4, "new"); // a password change: the backup needs "old"
    const std::string strId = Ids().front();
    std::filesystem::create_directories(m_dir.FilePath("backup/10001"));
    // Cut short: the text does not end with a whole line.
    WriteFileBytes(m_dir.FilePath("backup/10001/20261201-080000.db"),
                   XorWithPassword(std::string("OKAY\r\n") + g_lpcszStudentColumns + "1\t2", "new"));
    WriteFileBytes(m_dir.FilePath("backup/10001/20261201-070000.db"), ""); // empty: damaged, not an empty school
    struct Case
    {
        std::string strId;
        DWORD dwCode;
    };
    for (const Case& c : {Case{strId, ERROR_INVALID_PASSWORD}, Case{"20261201-080000", ERROR_FILE_CORRUPT},
                          Case{"20261201-070000", ERROR_FILE_CORRUPT}, Case{"20261201-090000", ERROR_FILE_NOT_FOUND},
                          Case{"../10001", ERROR_FILE_NOT_FOUND}})
    {
        CMemTable table;
        FillNumbers(table, 7, 2);
        SetLastError(ERROR_SUCCESS);
        EXPECT_FALSE(RestoreBackup(CODE, c.strId, "new", "new", table)) << c.strId;
        EXPECT_EQ(GetLastError(), c.dwCode) << c.strId;
        EXPECT_EQ(ReadFileBytes(DbPath()), strCurrent) << c.strId;
        EXPECT_EQ(table.GetRowCount(), 2) << c.strId;
        EXPECT_EQ(ListBackups(CODE).size(), 3u) << c.strId;
    }
}

TEST_F(SchoolBackups, FailedSaveLeavesNoBackupBehind)
{
    const std::string strOld = Save(1, 3);
    g_tNow += 1;
    Save(1, 4);
    // A file size limit makes the next write fail part way, after the backup was made.
    rlimit oldLimit{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &oldLimit), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = oldLimit;
    limit.rlim_cur = 100;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    CMemTable table;
    FillNumbers(table, 1, 50);
    g_tNow += 1;
    const SaveResult saved = SaveSchoolDatabase(CODE, table, "123");
    ::setrlimit(RLIMIT_FSIZE, &oldLimit);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(saved);
    ASSERT_EQ(ListBackups(CODE).size(), 1u); // only the one of the save before
    EXPECT_EQ(ReadFileBytes(ListBackups(CODE)[0].strPath), strOld);
}

TEST_F(SchoolBackups, WhereNoLinkCanBeMadeTheBackupIsACopy)
{
    const std::string strFirst = Save(1, 3);
    ASSERT_EQ(::chmod(DbPath().c_str(), 0640), 0);
    BackupFaults calls(false);
    ScopedFileCalls scope(calls);
    g_tNow += 1;
    Save(1, 4);
    const auto entries = ListBackups(CODE);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(ReadFileBytes(entries[0].strPath), strFirst);
    EXPECT_EQ(ModeOf(entries[0].strPath), 0600u);
    EXPECT_EQ(ModeOf(DbPath()), 0640u); // the data file keeps its own mode
    EXPECT_EQ(m_dir.Listing(), "10001.db 10001.lock backup");
}

// A disk that is full for the backup: the save goes on, the failure is told, nothing half
// written is left in the backup folder.
TEST_F(SchoolBackups, FullDiskDuringTheBackupIsToldAndTheSaveGoesOn)
{
    Save(1, 3);
    CMemTable table;
    FillNumbers(table, 1, 5);
    {
        BackupFaults calls(true);
        ScopedFileCalls scope(calls);
        const SaveResult saved = SaveSchoolDatabase(CODE, table, "123");
        EXPECT_EQ(saved.dwError, ERROR_SUCCESS);
        EXPECT_EQ(saved.dwBackupError, ERROR_DISK_FULL);
    }
    CMemTable loaded;
    ASSERT_TRUE(LoadSchoolDatabase(CODE, "123", loaded));
    EXPECT_EQ(loaded.GetRowCount(), 5);
    EXPECT_TRUE(ListBackups(CODE).empty());
    EXPECT_TRUE(std::filesystem::is_empty(GetBackupDirectory(CODE)));
    // The next save that can keep its backup clears the failure.
    g_tNow += 1;
    Save(1, 6);
    EXPECT_EQ(ListBackups(CODE).size(), 1u);
}

TEST_F(SchoolBackups, DamagedFileMessageNamesTheNewestBackup)
{
    std::string strMessage;
    ASSERT_TRUE(LoadResourceTable(134, "TXT", g_memSchools, strMessage));
    Save(1, 3);
    g_tNow += 7;
    Save(1, 4);
    const std::string strBytes = ReadFileBytes(DbPath());
    WriteFileBytes(DbPath(), strBytes.substr(0, strBytes.size() - 5)); // cut short
    CMemTable table;
    ASSERT_EQ(OpenSchool(CODE, "123", table), SchoolAccess::FileDamaged);
    EXPECT_EQ(SchoolAccessMessage(SchoolAccess::FileDamaged, CODE),
              Gbk("该院校的数据文件已损坏，没有打开，文件保持原样。备份在“" + m_dir.Path() +
                  "/backup/10001/”中。最新的备份是 2026-12-10 11:00:07 的 20261210-030007Z.db，可以用 "
                  "varnholt-cli restore --school 10001 --backup 20261210-030007Z 恢复。"));
}

namespace
{
// The system as it is, except that looking at anything in the school's backup folder is refused
// (a folder its user may not search).
class UnsearchableBackupFolder : public FileCalls
{
  public:
    int Lstat(const char* lpcszPath, struct stat* pInfo) override
    {
        if (std::string_view(lpcszPath).find("/backup/10001/") != std::string_view::npos)
        {
            errno = EACCES;
            return -1;
        }
        return FileCalls::Lstat(lpcszPath, pInfo);
    }
};

// The system as it is, except that the data file cannot take its new content's place.
class FailingRename : public FileCalls
{
  public:
    int Rename(const char*, const char*) override
    {
        errno = EIO;
        return -1;
    }
};
} // namespace

// Each of these once made every save spin for ever while holding the writer lock, or wrote and
// pruned in a folder the program does not own. The save goes on without a backup and says why.
TEST_F(SchoolBackups, OddBackupFolderNeverStopsTheSaveAndIsNeverWrittenThrough)
{
    TestKit::TempDir elsewhere;
    // Files named like backups in a folder a link leads to: a prune through the link deleted them.
    std::filesystem::create_directories(elsewhere.FilePath("10001"));
    for (int i = 0; i < 25; ++i)
        WriteFileBytes(
            elsewhere.FilePath("10001/2020010" + std::to_string(i % 9 + 1) + "-0000" + std::to_string(i % 10) + ".db"),
            "theirs");
    const std::string strTheirs = elsewhere.Listing() + "|" + TestKit::TempDir::ListingOf(elsewhere.FilePath("10001"));
    struct Case
    {
        const char* lpcszName;
        std::function<void()> make;
        DWORD dwCode;
    };
    const std::string strBackup = m_dir.FilePath("backup");
    UnsearchableBackupFolder unsearchable;
    std::unique_ptr<ScopedFileCalls> pCalls;
    const Case cases[] = {
        {"school folder is a file",
         [&] {
             std::filesystem::create_directories(strBackup);
             WriteFileBytes(strBackup + "/10001", "x");
         },
         ERROR_BAD_PATHNAME},
        {"backup is a file", [&] { WriteFileBytes(strBackup, "x"); }, ERROR_BAD_PATHNAME},
        {"backup is a link", [&] { std::filesystem::create_directory_symlink(elsewhere.Path(), strBackup); },
         ERROR_STOPPED_ON_SYMLINK},
        {"school folder is a link",
         [&] {
             std::filesystem::create_directories(strBackup);
             std::filesystem::create_directory_symlink(elsewhere.FilePath("10001"), strBackup + "/10001");
         },
         ERROR_STOPPED_ON_SYMLINK},
        {"school folder cannot be searched",
         [&] {
             std::filesystem::create_directories(strBackup + "/10001");
             pCalls = std::make_unique<ScopedFileCalls>(unsearchable);
         },
         ERROR_ACCESS_DENIED},
    };
    for (const Case& c : cases)
    {
        std::filesystem::remove_all(strBackup);
        Save(1, 2);
        std::filesystem::remove_all(strBackup);
        c.make();
        CMemTable table;
        FillNumbers(table, 1, 5);
        g_tNow += 1;
        const SaveResult saved = SaveSchoolDatabase(CODE, table, "123");
        EXPECT_EQ(saved.dwError, ERROR_SUCCESS) << c.lpcszName;
        EXPECT_EQ(saved.dwBackupError, c.dwCode) << c.lpcszName;
        pCalls.reset();
        CMemTable loaded;
        ASSERT_TRUE(LoadSchoolDatabase(CODE, "123", loaded)) << c.lpcszName;
        EXPECT_EQ(loaded.GetRowCount(), 5) << c.lpcszName;
        EXPECT_TRUE(ListBackups(CODE).empty()) << c.lpcszName;
        EXPECT_EQ(elsewhere.Listing() + "|" + TestKit::TempDir::ListingOf(elsewhere.FilePath("10001")), strTheirs)
            << c.lpcszName;
    }
}

// After the clock jumped either way, the last twenty backups written are still there: ordered by
// their names alone, twenty dated in the future once made every backup of today go at once.
TEST_F(SchoolBackups, PruningKeepsTheLastTwentyWrittenWhateverTheClockSaid)
{
    Save(1, 1);
    const std::time_t tToday = g_tNow;
    g_tNow = 1811808000; // 2027-06-01 08:00 in Asia/Shanghai: a clock set wrong
    for (int i = 0; i < 20; ++i, g_tNow += 60)
        Save(1, i + 2);
    std::vector<std::string> written;
    for (int nJump : {0, -3 * 24 * 3600}) // the clock put right, then set back three more days
    {
        g_tNow = tToday + nJump;
        for (int i = 0; i < 15; ++i, g_tNow += 60)
        {
            Save(100 + i, 1);
            written.insert(written.begin(), Ids().front());
        }
    }
    const std::vector<std::string> ids = Ids();
    ASSERT_GE(ids.size(), 20u);
    EXPECT_EQ(std::vector<std::string>(ids.begin(), ids.begin() + 20),
              std::vector<std::string>(written.begin(), written.begin() + 20));
}

TEST_F(SchoolBackups, SaveThatFailsAtTheRenameKeepsNoBackup)
{
    Save(1, 3);
    g_tNow += 1;
    const std::string strCurrent = Save(1, 4);
    CMemTable table;
    FillNumbers(table, 1, 5);
    g_tNow += 1;
    {
        FailingRename calls;
        ScopedFileCalls scope(calls);
        EXPECT_FALSE(SaveSchoolDatabase(CODE, table, "123"));
    }
    EXPECT_EQ(ReadFileBytes(DbPath()), strCurrent);
    EXPECT_EQ(Ids().size(), 1u);
    EXPECT_EQ(TestKit::TempDir::ListingOf(GetBackupDirectory(CODE)), "20261210-030001Z.db 20261210-030001Z.info");
}

// What each backup came before is kept beside it; backups of older versions have no record and
// count as written before every recorded one.
TEST_F(SchoolBackups, RecordsWhatTheSaveWasFor)
{
    Save(1, 1);
    std::filesystem::create_directories(GetBackupDirectory(CODE));
    WriteFileBytes(GetBackupDirectory(CODE) + "/20301210-110000.db", ReadFileBytes(DbPath())); // an old name
    g_tNow += 1;
    Save(1, 2);
    g_tNow += 1;
    {
        const CBackupOccasion occasion(Gbk("导入前"));
        Save(1, 3);
    }
    const std::vector<BackupEntry> entries = ListBackups(CODE);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(Utf8(entries[0].strOccasion), "导入前");
    EXPECT_EQ(Utf8(entries[1].strOccasion), "保存前");
    EXPECT_EQ(entries[2].stamp.strId, "20301210-110000");
    EXPECT_EQ(entries[2].strOccasion, "");
}

// A backup from before a password change is restored with the password of its time and comes
// back scrambled with the current one.
TEST_F(SchoolBackups, RestoresABackupOfAnEarlierPasswordUnderTheCurrentOne)
{
    Save(1, 3, "old");
    g_tNow += 1;
    const std::string strCurrent = Save(1, 4, "new");
    const std::string strId = Ids().front();
    CMemTable table;
    SetLastError(ERROR_SUCCESS);
    for (const char* lpcszWrong : {"new", "olx", ""})
    {
        EXPECT_FALSE(RestoreBackup(CODE, strId, "new", lpcszWrong, table)) << lpcszWrong;
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PASSWORD) << lpcszWrong;
        EXPECT_EQ(ReadFileBytes(DbPath()), strCurrent) << lpcszWrong;
    }
    EXPECT_FALSE(RestoreBackup(CODE, strId, "wrong", "old", table)); // the current file needs its own
    EXPECT_EQ(ReadFileBytes(DbPath()), strCurrent);
    g_tNow += 1;
    ASSERT_TRUE(RestoreBackup(CODE, strId, "new", "old", table));
    EXPECT_EQ(table.GetRowCount(), 3);
    CMemTable loaded;
    ASSERT_TRUE(LoadSchoolDatabase(CODE, "new", loaded));
    EXPECT_EQ(loaded.GetRowCount(), 3);
    EXPECT_EQ(Utf8(ListBackups(CODE).front().strOccasion), "恢复前");
}
