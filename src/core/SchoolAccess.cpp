#include "core/SchoolAccess.h"

#include <utility>

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
                               CSchoolLockToken& lock, int nWaitSeconds, bool bAcceptChangedFile)
{
    if (strCode.empty())
        return SchoolAccess::CodeEmpty;
    if (FindSchoolRow(strCode) < 0)
        return SchoolAccess::CodeUnknown;
    CSchoolLockToken taken;
    if (const DWORD dwCode = taken.Lock(strCode, nWaitSeconds); dwCode != ERROR_SUCCESS)
    {
        SetLastError(dwCode);
        return dwCode == ERROR_LOCK_VIOLATION ? SchoolAccess::Locked : SchoolAccess::LockUnreachable;
    }
    const SchoolAccess result = OpenSchool(strCode, strPassword, students, bAcceptChangedFile);
    if (result == SchoolAccess::Done)
        lock = std::move(taken);
    return result;
}
