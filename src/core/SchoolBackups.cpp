#include "core/SchoolBackups.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/DataFunc.h"
#include "core/WholeFile.h"
#include "platform/LastError.h"
#include "platform/ProgramDir.h"

namespace
{
constexpr std::string_view kExtension = ".db";
constexpr mode_t kBackupMode = 0600;
constexpr mode_t kFolderMode = 0700;

std::time_t (*g_pfnNow)() = nullptr;
thread_local DWORD t_dwLastBackupError = ERROR_SUCCESS;

std::time_t Now()
{
    return g_pfnNow != nullptr ? g_pfnNow() : std::time(nullptr);
}

DWORD LastErrno()
{
    return ErrorFromErrno(errno);
}

BOOL FailWith(DWORD dwCode)
{
    SetLastError(dwCode);
    return FALSE;
}

DWORD MakeFolder(const std::string& strPath)
{
    if (::mkdir(strPath.c_str(), kFolderMode) == 0 || errno == EEXIST)
        return ERROR_SUCCESS;
    return LastErrno();
}

// Creates "<program directory>/backup/<code>" as needed.
DWORD MakeBackupFolder(const std::string& strCode, std::string& strFolder)
{
    strFolder = GetBackupDirectory(strCode);
    if (strFolder.empty())
        return GetLastError();
    if (const DWORD dwCode = MakeFolder(strFolder.substr(0, strFolder.rfind('/'))); dwCode != ERROR_SUCCESS)
        return dwCode;
    return MakeFolder(strFolder);
}

// Writes a private copy of the file at a temporary name in the folder (mode 0600, flushed).
DWORD CopyToTemporary(const std::string& strSource, const std::string& strTemp)
{
    std::string strBytes;
    if (const DWORD dwCode = ReadWholeFile(strSource, strBytes); dwCode != ERROR_SUCCESS)
        return dwCode;
    const int fd = ::open(strTemp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kBackupMode);
    if (fd < 0)
        return LastErrno();
    DWORD dwCode = ERROR_SUCCESS;
    for (std::string_view rest = strBytes; dwCode == ERROR_SUCCESS && !rest.empty();)
    {
        const ssize_t n = ::write(fd, rest.data(), rest.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            dwCode = n < 0 ? LastErrno() : ERROR_WRITE_FAULT;
        else
            rest.remove_prefix(static_cast<std::size_t>(n));
    }
    if (dwCode == ERROR_SUCCESS && ::fsync(fd) != 0)
        dwCode = LastErrno();
    if (::close(fd) != 0 && dwCode == ERROR_SUCCESS)
        dwCode = LastErrno();
    if (dwCode != ERROR_SUCCESS)
        ::unlink(strTemp.c_str());
    return dwCode;
}

// Gives the file strSource a new name in the folder named by the clock, with the next free serial
// of its second. Taking the name with link() never overwrites an existing backup.
DWORD LinkUnderFreeName(const std::string& strSource, const std::string& strFolder, std::string& strBackup)
{
    const std::time_t tNow = Now();
    for (int nSerial = 1; nSerial < 1000000; ++nSerial)
    {
        strBackup = strFolder + '/' + MakeBackupId(tNow, nSerial) + std::string(kExtension);
        if (::link(strSource.c_str(), strBackup.c_str()) == 0)
            return ERROR_SUCCESS;
        if (errno != EEXIST)
            return LastErrno();
    }
    return ERROR_WRITE_FAULT;
}

// Keeps the file at strPath as a new backup: a hard link where the file system allows it (instant,
// and the save's rename then leaves the old content to the backup alone), else a copy.
// bLinked tells which; strBackup is empty when there was no file to keep.
DWORD MakeBackup(const std::string& strCode, const std::string& strPath, std::string& strBackup, bool& bLinked)
{
    strBackup.clear();
    struct stat st
    {
    };
    if (::lstat(strPath.c_str(), &st) != 0)
        return errno == ENOENT ? ERROR_SUCCESS : LastErrno(); // a first save replaces nothing
    if (!S_ISREG(st.st_mode))
        return ERROR_SUCCESS; // the save itself refuses or replaces it; nothing of ours to keep
    std::string strFolder;
    if (const DWORD dwCode = MakeBackupFolder(strCode, strFolder); dwCode != ERROR_SUCCESS)
        return dwCode;
    bLinked = LinkUnderFreeName(strPath, strFolder, strBackup) == ERROR_SUCCESS;
    if (bLinked)
        return ERROR_SUCCESS;
    const std::string strTemp = strFolder + "/.copy-" + std::to_string(::getpid()) + ".tmp";
    ::unlink(strTemp.c_str());
    DWORD dwCode = CopyToTemporary(strPath, strTemp);
    if (dwCode == ERROR_SUCCESS)
        dwCode = LinkUnderFreeName(strTemp, strFolder, strBackup);
    ::unlink(strTemp.c_str());
    if (dwCode != ERROR_SUCCESS)
        strBackup.clear();
    return dwCode;
}

// Removes the school's backup folder and "backup" above it when a failed save left them empty.
void RemoveEmptyFolders(const std::string& strBackup)
{
    std::string strFolder = strBackup.substr(0, strBackup.rfind('/'));
    if (::rmdir(strFolder.c_str()) == 0)
        ::rmdir(strFolder.substr(0, strFolder.rfind('/')).c_str());
}

void PruneBackups(const std::string& strCode)
{
    std::vector<BackupStamp> stamps;
    for (const BackupEntry& entry : ListBackups(strCode))
        stamps.push_back(entry.stamp);
    for (const std::string& strId : SelectBackupsToPrune(stamps, Now()))
        ::unlink(FindBackupPath(strCode, strId).c_str());
}
} // namespace

std::string GetBackupDirectory(const std::string& strCode)
{
    const std::string strDir = GetProgramDirectory();
    if (strDir.empty())
    {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return {};
    }
    return strDir + "/backup/" + strCode;
}

void SetBackupClock(std::time_t (*pfnNow)())
{
    g_pfnNow = pfnNow;
}

DWORD GetLastBackupError()
{
    return t_dwLastBackupError;
}

void SetLastBackupError(DWORD dwCode)
{
    t_dwLastBackupError = dwCode;
}

std::vector<BackupEntry> ListBackups(const std::string& strCode)
{
    std::vector<BackupEntry> entries;
    const std::string strFolder = GetBackupDirectory(strCode);
    DIR* pDir = strFolder.empty() ? nullptr : ::opendir(strFolder.c_str());
    if (pDir == nullptr)
        return entries;
    while (const dirent* pEntry = ::readdir(pDir))
    {
        const std::string_view name = pEntry->d_name;
        if (!name.ends_with(kExtension))
            continue;
        const auto stamp = ParseBackupId(name.substr(0, name.size() - kExtension.size()));
        struct stat st
        {
        };
        const std::string strPath = strFolder + '/' + std::string(name);
        if (!stamp || ::lstat(strPath.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
            continue;
        entries.push_back({*stamp, strPath, static_cast<std::uint64_t>(st.st_size)});
    }
    ::closedir(pDir);
    std::sort(entries.begin(), entries.end(), [](const BackupEntry& a, const BackupEntry& b) {
        return a.stamp.tWhen != b.stamp.tWhen ? a.stamp.tWhen > b.stamp.tWhen : a.stamp.nSerial > b.stamp.nSerial;
    });
    return entries;
}

std::string FindBackupPath(const std::string& strCode, const std::string& strId)
{
    if (!ParseBackupId(strId))
        return {}; // also keeps "../" and the like out of the path
    for (const BackupEntry& entry : ListBackups(strCode))
        if (entry.stamp.strId == strId)
            return entry.strPath;
    return {};
}

DWORD ReplaceKeepingBackup(const std::string& strCode, const std::string& strPath, std::string_view bytes,
                           DWORD& dwBackupError)
{
    std::string strBackup;
    bool bLinked = false;
    dwBackupError = MakeBackup(strCode, strPath, strBackup, bLinked);
    if (const DWORD dwCode = ReplaceFileContent(strPath, bytes); dwCode != ERROR_SUCCESS)
    {
        if (!strBackup.empty())
        {
            ::unlink(strBackup.c_str()); // the data file still holds these bytes
            RemoveEmptyFolders(strBackup);
        }
        return dwCode;
    }
    if (strBackup.empty())
        return ERROR_SUCCESS;
    // Only now is the linked inode the backup's alone: making it private earlier would have
    // changed the data file's mode too.
    if (bLinked && ::chmod(strBackup.c_str(), kBackupMode) != 0 && dwBackupError == ERROR_SUCCESS)
        dwBackupError = LastErrno();
    PruneBackups(strCode);
    return ERROR_SUCCESS;
}

BOOL LoadBackup(const std::string& strCode, const std::string& strId, const std::string& strPassword, CMemTable& table)
{
    const std::string strPath = FindBackupPath(strCode, strId);
    if (strPath.empty())
        return FailWith(ERROR_FILE_NOT_FOUND);
    return LoadDatabaseFile(strPath, strPassword, table);
}

BOOL RestoreBackup(const std::string& strCode, const std::string& strId, const std::string& strPassword,
                   CMemTable& table)
{
    const std::string strBackupPath = FindBackupPath(strCode, strId);
    std::string strBytes;
    if (strBackupPath.empty())
        return FailWith(ERROR_FILE_NOT_FOUND);
    if (const DWORD dwCode = ReadWholeFile(strBackupPath, strBytes); dwCode != ERROR_SUCCESS)
        return FailWith(dwCode);
    CMemTable restored;
    if (!LoadDatabaseBytes(strBytes, strPassword, restored))
        return FALSE;
    const std::string strPath = GetSchoolDatabasePath(strCode);
    if (strPath.empty())
        return FALSE;
    // Only the holder of the current password replaces the current file; a damaged one may go.
    if (!LoadDatabaseFile(strPath, strPassword, restored) && GetLastError() == ERROR_INVALID_PASSWORD)
        return FALSE;
    DWORD dwBackupError = ERROR_SUCCESS;
    const DWORD dwCode = ReplaceKeepingBackup(strCode, strPath, strBytes, dwBackupError);
    SetLastBackupError(dwBackupError);
    if (dwCode != ERROR_SUCCESS)
        return FailWith(dwCode);
    LoadDatabaseBytes(strBytes, strPassword, table);
    return TRUE;
}
