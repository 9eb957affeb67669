#include "core/BackupRestore.h"

#include "core/SchoolBackups.h"
#include "core/SchoolDatabase.h"
#include "core/SchoolPaths.h"
#include "platform/FileSystem.h"
#include "platform/LastError.h"

namespace
{
// A restore that did not happen: its code, also as the last error.
SaveResult Refused(DWORD dwCode)
{
    SetLastError(dwCode);
    return {dwCode};
}
} // namespace

BOOL LoadBackup(const std::string& strCode, const std::string& strId, const std::string& strPassword, CMemTable& table)
{
    const std::string strPath = FindBackupPath(strCode, strId);
    if (strPath.empty())
        return FailWith(ERROR_FILE_NOT_FOUND);
    return LoadDatabaseFile(strPath, strPassword, table);
}

SaveResult RestoreBackup(const std::string& strCode, const std::string& strId, const std::string& strPassword,
                         const std::string& strBackupPassword, CMemTable& table, CSchoolHold* pHold)
{
    const std::string strBackupPath = FindBackupPath(strCode, strId);
    std::string strBytes;
    if (strBackupPath.empty())
        return Refused(ERROR_FILE_NOT_FOUND);
    if (const DWORD dwCode = ReadRegularFile(strBackupPath, strBytes); dwCode != ERROR_SUCCESS)
        return Refused(dwCode);
    CMemTable restored;
    if (!LoadDatabaseBytes(strBytes, strBackupPassword, restored))
        return {GetLastError()};
    // Only the holder of the current password replaces the current file; a damaged one may go.
    const std::string strPath = GetSchoolDatabasePath(strCode);
    CMemTable current;
    if (strPath.empty() ||
        (!LoadDatabaseFile(strPath, strPassword, current) && GetLastError() == ERROR_INVALID_PASSWORD))
        return {GetLastError()};
    const CBackupOccasion occasion("恢复前");
    const SaveResult saved = strBackupPassword == strPassword ? WriteSchoolFileBytes(strCode, strBytes, pHold)
                                                              : SaveSchoolDatabase(strCode, restored, strPassword,
                                                                                   pHold); // under the current password
    if (!saved)
        return Refused(saved.dwError);
    LoadDatabaseBytes(strBytes, strBackupPassword, table);
    return saved;
}
