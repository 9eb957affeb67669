#include "core/SchoolBackups.h"

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

#include "core/DataFunc.h"
#include "platform/FileCalls.h"
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

DWORD MakeFolder(const std::string& strPath)
{
    if (GetFileCalls().Mkdir(strPath.c_str(), kFolderMode) == 0 || errno == EEXIST)
        return ERROR_SUCCESS;
    return ErrorFromErrno(errno);
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

bool Exists(const std::string& strPath)
{
    struct stat info
    {
    };
    return GetFileCalls().Lstat(strPath.c_str(), &info) == 0 || errno != ENOENT;
}

// The path of a new backup named by the clock, with the next serial of its second that is free.
std::string FreeBackupPath(const std::string& strFolder, std::time_t tNow, int& nSerial)
{
    for (;; ++nSerial)
    {
        std::string strPath = strFolder + '/' + MakeBackupId(tNow, nSerial) + std::string(kExtension);
        if (!Exists(strPath))
            return strPath;
    }
}

// Keeps the file strTarget as a new backup: a hard link where the file system allows it (instant,
// and the save's rename then leaves the old content to the backup alone), else a private copy.
// bLinked tells which; strBackup is empty when nothing was kept.
DWORD MakeBackup(const std::string& strCode, const std::string& strTarget, std::string& strBackup, bool& bLinked)
{
    strBackup.clear();
    if (!Exists(strTarget))
        return ERROR_SUCCESS; // a first save replaces nothing
    std::string strFolder;
    if (const DWORD dwCode = MakeBackupFolder(strCode, strFolder); dwCode != ERROR_SUCCESS)
        return dwCode;
    const std::time_t tNow = Now();
    int nSerial = 1;
    for (;; ++nSerial)
    {
        strBackup = FreeBackupPath(strFolder, tNow, nSerial);
        if (GetFileCalls().Link(strTarget.c_str(), strBackup.c_str()) == 0)
        {
            bLinked = true;
            return ERROR_SUCCESS;
        }
        if (errno != EEXIST) // another program took the name meanwhile: try the next
            break;
    }
    bLinked = false;
    std::string strBytes;
    DWORD dwCode = ReadRegularFile(strTarget, strBytes);
    if (dwCode == ERROR_SUCCESS)
    {
        ReplaceOptions options;
        options.newFileMode = kBackupMode;
        dwCode = ReplaceFileAtomically(strBackup, strBytes, options);
    }
    if (dwCode != ERROR_SUCCESS)
        strBackup.clear();
    return dwCode;
}

// Removes the school's backup folder and "backup" above it when a failed save left them empty.
void RemoveEmptyFolders(const std::string& strBackup)
{
    const std::string strFolder = strBackup.substr(0, strBackup.rfind('/'));
    if (::rmdir(strFolder.c_str()) == 0)
        ::rmdir(strFolder.substr(0, strFolder.rfind('/')).c_str());
}

void PruneBackups(const std::string& strCode)
{
    const std::vector<BackupEntry> entries = ListBackups(strCode);
    std::vector<BackupStamp> stamps;
    for (const BackupEntry& entry : entries)
        stamps.push_back(entry.stamp);
    for (const std::string& strId : SelectBackupsToPrune(stamps, Now()))
    {
        const auto doomed = std::find_if(entries.begin(), entries.end(),
                                         [&](const BackupEntry& entry) { return entry.stamp.strId == strId; });
        GetFileCalls().Unlink(doomed->strPath.c_str());
    }
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
    std::vector<std::string> names;
    if (strFolder.empty() || GetFileCalls().ListDirectory(strFolder.c_str(), names) != 0)
        return entries;
    for (const std::string& strName : names)
    {
        const std::string_view name = strName;
        if (!name.ends_with(kExtension))
            continue;
        const auto stamp = ParseBackupId(name.substr(0, name.size() - kExtension.size()));
        struct stat info
        {
        };
        const std::string strPath = strFolder + '/' + strName;
        if (!stamp || GetFileCalls().Lstat(strPath.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
            continue;
        entries.push_back({*stamp, strPath, static_cast<std::uint64_t>(info.st_size)});
    }
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

DWORD ReplaceKeepingBackup(const std::string& strCode, const std::string& strPath, const ContentWriter& content,
                           ReplaceOptions options, DWORD& dwBackupError, FileIdentity* pWritten)
{
    dwBackupError = ERROR_SUCCESS;
    std::string strBackup;
    bool bLinked = false;
    // The backup is made once the new content is on disk: a save that fails before never makes one.
    options.beforeReplace = [&, next = std::move(options.beforeReplace)](const std::string& strTarget) {
        if (next)
            if (const DWORD dwCode = next(strTarget); dwCode != ERROR_SUCCESS)
                return dwCode;
        dwBackupError = MakeBackup(strCode, strTarget, strBackup, bLinked);
        return ERROR_SUCCESS;
    };
    if (const DWORD dwCode = ReplaceFileAtomically(strPath, content, options, pWritten); dwCode != ERROR_SUCCESS)
    {
        if (!strBackup.empty())
        {
            GetFileCalls().Unlink(strBackup.c_str()); // the data file still holds these bytes
            RemoveEmptyFolders(strBackup);
        }
        return dwCode;
    }
    if (strBackup.empty())
        return ERROR_SUCCESS;
    // Only now is the linked file the backup's alone: making it private earlier would have
    // changed the data file's mode too.
    if (bLinked && GetFileCalls().Chmod(strBackup.c_str(), kBackupMode) != 0)
        dwBackupError = ErrorFromErrno(errno);
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
    if (const DWORD dwCode = ReadRegularFile(strBackupPath, strBytes); dwCode != ERROR_SUCCESS)
        return FailWith(dwCode);
    CMemTable restored;
    if (!LoadDatabaseBytes(strBytes, strPassword, restored))
        return FALSE;
    // Only the holder of the current password replaces the current file; a damaged one may go.
    const std::string strPath = GetSchoolDatabasePath(strCode);
    if (strPath.empty() ||
        (!LoadDatabaseFile(strPath, strPassword, restored) && GetLastError() == ERROR_INVALID_PASSWORD))
        return FALSE;
    if (const DWORD dwCode = WriteSchoolFileBytes(strCode, strBytes); dwCode != ERROR_SUCCESS)
        return FailWith(dwCode);
    LoadDatabaseBytes(strBytes, strPassword, table);
    return TRUE;
}
