#include "core/SchoolBackups.h"

#include <algorithm>
#include <charconv>

#include "core/SchoolPaths.h"
#include "platform/FileCalls.h"
#include "platform/LastError.h"

namespace
{
constexpr std::string_view kExtension = ".db";
constexpr std::string_view kInfoExtension = ".info";
constexpr mode_t kBackupMode = 0600;
constexpr mode_t kFolderMode = 0700;
// Far more saves than one second can hold; a search that reaches it stops instead of spinning.
constexpr int kMaxSerial = 999;

std::time_t (*g_pfnNow)() = nullptr;
thread_local std::string t_strOccasion;

std::time_t Now()
{
    return g_pfnNow != nullptr ? g_pfnNow() : std::time(nullptr);
}

// A folder of the backups must be a real folder: through a link the program would write and prune
// where files it never wrote live. Creates it when missing and bCreate.
DWORD CheckFolder(const std::string& strPath, bool bCreate)
{
    PathKind kind = PathKind::Missing;
    if (const DWORD dwCode = InspectPath(strPath, kind); dwCode != ERROR_SUCCESS)
        return dwCode;
    if (kind == PathKind::Missing)
    {
        if (!bCreate)
            return ERROR_PATH_NOT_FOUND;
        if (const DWORD dwCode = MakeDirectory(strPath, kFolderMode); dwCode != ERROR_SUCCESS)
            return dwCode;
        if (const DWORD dwCode = InspectPath(strPath, kind); dwCode != ERROR_SUCCESS)
            return dwCode;
        if (kind == PathKind::Missing) // removed again meanwhile
            return ERROR_FILE_NOT_FOUND;
    }
    if (kind == PathKind::SymbolicLink)
        return ERROR_STOPPED_ON_SYMLINK;
    return kind == PathKind::Directory ? ERROR_SUCCESS : ERROR_BAD_PATHNAME;
}

// "<program directory>/backup/<code>" after checking (and, when bCreate, making) both folders.
DWORD OpenBackupFolder(const std::string& strCode, bool bCreate, std::string& strFolder)
{
    strFolder = GetBackupDirectory(strCode);
    if (strFolder.empty())
        return GetLastError();
    if (const DWORD dwCode = CheckFolder(strFolder.substr(0, strFolder.rfind('/')), bCreate); dwCode != ERROR_SUCCESS)
        return dwCode;
    return CheckFolder(strFolder, bCreate);
}

bool Exists(const std::string& strPath)
{
    PathKind kind = PathKind::Missing;
    return InspectPath(strPath, kind) != ERROR_SUCCESS || kind != PathKind::Missing;
}

std::string InfoPathOf(const std::string& strBackupPath)
{
    return strBackupPath.substr(0, strBackupPath.size() - kExtension.size()) + std::string(kInfoExtension);
}

// The path of a new backup named by the clock, with the first serial from nSerial on that is free.
// Any failure but "no such file" ends the search: the folder cannot be searched.
DWORD FreeBackupPath(const std::string& strFolder, std::time_t tNow, int& nSerial, std::string& strPath)
{
    for (; nSerial <= kMaxSerial; ++nSerial)
    {
        strPath = strFolder + '/' + MakeBackupId(tNow, nSerial) + std::string(kExtension);
        PathKind kind = PathKind::Missing;
        if (const DWORD dwCode = InspectPath(strPath, kind); dwCode != ERROR_SUCCESS || kind == PathKind::Missing)
            return dwCode;
    }
    return ERROR_FILE_EXISTS;
}

// "<order of writing>\n<occasion>\n": the record beside a backup.
DWORD WriteInfo(const std::string& strBackupPath, long long nWritten)
{
    ReplaceOptions options;
    options.newFileMode = kBackupMode;
    const std::string strOccasion = t_strOccasion.empty() ? std::string("保存前") : t_strOccasion;
    return ReplaceFileAtomically(InfoPathOf(strBackupPath), std::to_string(nWritten) + '\n' + strOccasion + '\n',
                                 options);
}

void ReadInfo(BackupEntry& entry)
{
    std::string strText;
    if (ReadRegularFile(InfoPathOf(entry.strPath), strText) != ERROR_SUCCESS)
        return;
    const auto nEnd = strText.find('\n');
    if (nEnd == std::string::npos)
        return;
    long long nWritten = 0;
    const auto [pEnd, error] = std::from_chars(strText.data(), strText.data() + nEnd, nWritten);
    if (error != std::errc() || pEnd != strText.data() + nEnd || nWritten <= 0)
        return;
    entry.stamp.nWritten = nWritten;
    const auto nOccasionEnd = strText.find('\n', nEnd + 1);
    entry.strOccasion =
        strText.substr(nEnd + 1, nOccasionEnd == std::string::npos ? nOccasionEnd : nOccasionEnd - nEnd - 1);
}

void RemoveBackup(const std::string& strBackupPath)
{
    RemoveFile(strBackupPath);
    RemoveFile(InfoPathOf(strBackupPath));
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
    if (const DWORD dwCode = OpenBackupFolder(strCode, true, strFolder); dwCode != ERROR_SUCCESS)
        return dwCode;
    const std::vector<BackupEntry> existing = ListBackups(strCode);
    const long long nWritten = existing.empty() ? 1 : existing.front().stamp.nWritten + 1;
    const std::time_t tNow = Now();
    std::string strPath;
    DWORD dwCode = ERROR_SUCCESS;
    for (int nSerial = 1;; ++nSerial)
    {
        if (dwCode = FreeBackupPath(strFolder, tNow, nSerial, strPath); dwCode != ERROR_SUCCESS)
            return dwCode;
        // The record comes first: a backup without one would count as the oldest and be pruned.
        if (dwCode = WriteInfo(strPath, nWritten); dwCode != ERROR_SUCCESS)
            return dwCode;
        dwCode = LinkFile(strTarget, strPath);
        if (dwCode == ERROR_SUCCESS)
        {
            bLinked = true;
            strBackup = strPath;
            return ERROR_SUCCESS;
        }
        if (dwCode != ERROR_FILE_EXISTS) // another program took the name meanwhile: try the next
            break;
    }
    bLinked = false;
    std::string strBytes;
    dwCode = ReadRegularFile(strTarget, strBytes);
    if (dwCode == ERROR_SUCCESS)
    {
        ReplaceOptions options;
        options.newFileMode = kBackupMode;
        dwCode = ReplaceFileAtomically(strPath, strBytes, options);
    }
    if (dwCode != ERROR_SUCCESS)
        RemoveFile(InfoPathOf(strPath));
    else
        strBackup = strPath;
    return dwCode;
}

// Removes the school's backup folder and "backup" above it when a failed save left them empty.
void RemoveEmptyFolders(const std::string& strBackup)
{
    const std::string strFolder = strBackup.substr(0, strBackup.rfind('/'));
    if (RemoveEmptyDirectory(strFolder) == ERROR_SUCCESS)
        RemoveEmptyDirectory(strFolder.substr(0, strFolder.rfind('/')));
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
        RemoveBackup(doomed->strPath);
    }
}
} // namespace

CBackupOccasion::CBackupOccasion(std::string strOccasion) : m_strPrevious(std::move(t_strOccasion))
{
    t_strOccasion = std::move(strOccasion);
}

CBackupOccasion::~CBackupOccasion()
{
    t_strOccasion = std::move(m_strPrevious);
}

void SetBackupClock(std::time_t (*pfnNow)())
{
    g_pfnNow = pfnNow;
}

std::vector<BackupEntry> ListBackups(const std::string& strCode)
{
    std::vector<BackupEntry> entries;
    std::string strFolder;
    std::vector<std::string> names;
    if (OpenBackupFolder(strCode, false, strFolder) != ERROR_SUCCESS ||
        GetFileCalls().ListDirectory(strFolder.c_str(), names) != 0)
        return entries;
    for (const std::string& strName : names)
    {
        const std::string_view name = strName;
        if (!name.ends_with(kExtension))
            continue;
        const auto stamp = ParseBackupId(name.substr(0, name.size() - kExtension.size()));
        const std::string strPath = strFolder + '/' + strName;
        PathKind kind = PathKind::Missing;
        std::uint64_t nSize = 0;
        if (!stamp || InspectPath(strPath, kind, &nSize) != ERROR_SUCCESS || kind != PathKind::RegularFile)
            continue;
        BackupEntry& entry = entries.emplace_back(BackupEntry{*stamp, strPath, nSize, {}});
        ReadInfo(entry);
    }
    std::vector<BackupStamp> stamps;
    for (const BackupEntry& entry : entries)
        stamps.push_back(entry.stamp);
    SortNewestFirst(stamps);
    std::vector<BackupEntry> sorted;
    for (const BackupStamp& stamp : stamps)
        sorted.push_back(std::move(*std::find_if(entries.begin(), entries.end(), [&](const BackupEntry& entry) {
            return entry.stamp.strId == stamp.strId;
        })));
    return sorted;
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

SaveResult ReplaceKeepingBackup(const std::string& strCode, const std::string& strPath, const ContentWriter& content,
                                ReplaceOptions options, FileIdentity* pWritten)
{
    DWORD dwBackupError = ERROR_SUCCESS;
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
            RemoveBackup(strBackup); // the data file still holds these bytes
            RemoveEmptyFolders(strBackup);
        }
        return {dwCode};
    }
    if (strBackup.empty())
        return {ERROR_SUCCESS, dwBackupError};
    // Only now is the linked file the backup's alone: making it private earlier would have
    // changed the data file's mode too.
    if (bLinked)
        if (const DWORD dwCode = SetFileMode(strBackup, kBackupMode); dwCode != ERROR_SUCCESS)
            dwBackupError = dwCode;
    PruneBackups(strCode);
    return {ERROR_SUCCESS, dwBackupError};
}
