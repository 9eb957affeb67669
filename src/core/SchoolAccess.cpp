#include "core/SchoolAccess.h"

#include "core/SchoolDatabase.h"
#include "core/SchoolDirectory.h"
#include "core/SchoolSession.h"
#include "platform/LastError.h"

SchoolAccess OpenSchool(const std::string& strCode, const std::string& strPassword, CMemTable& students,
                        bool bAcceptChangedFile)
{
    if (strCode.empty())
        return SchoolAccess::CodeEmpty;
    if (FindSchoolRow(strCode) < 0)
        return SchoolAccess::CodeUnknown;
    if (LoadSchoolDatabase(strCode, strPassword, students, bAcceptChangedFile))
        return SchoolAccess::Done;
    switch (GetLastError())
    {
    case ERROR_INVALID_PASSWORD:
        return SchoolAccess::WrongPassword;
    case ERROR_FILE_CORRUPT:
        return SchoolAccess::FileDamaged;
    case ERROR_DATA_CHECKSUM_ERROR:
        return SchoolAccess::FileChanged;
    default:
        return SchoolAccess::DatabaseUnreachable;
    }
}

SchoolAccess OpenSchoolToWrite(const std::string& strCode, const std::string& strPassword, CMemTable& students,
                               int nWaitSeconds, bool bAcceptChangedFile)
{
    if (strCode.empty())
        return SchoolAccess::CodeEmpty;
    if (FindSchoolRow(strCode) < 0)
        return SchoolAccess::CodeUnknown;
    const bool bHeldBefore = g_schoolSession.Holds(strCode);
    if (const DWORD dwCode = g_schoolSession.Lock(strCode, nWaitSeconds); dwCode != ERROR_SUCCESS)
    {
        SetLastError(dwCode);
        return dwCode == ERROR_LOCK_VIOLATION ? SchoolAccess::Locked : SchoolAccess::LockUnreachable;
    }
    const SchoolAccess result = OpenSchool(strCode, strPassword, students, bAcceptChangedFile);
    if (result != SchoolAccess::Done && !bHeldBefore)
    {
        const DWORD dwCode = GetLastError();
        g_schoolSession.Unlock(strCode);
        SetLastError(dwCode);
    }
    return result;
}
