#include "core/SchoolAccess.h"

#include <utility>

#include "core/SchoolDatabase.h"
#include "core/SchoolDirectory.h"
#include "core/SchoolHold.h"
#include "platform/LastError.h"

namespace
{
// The refusal that a failed load of the data file gives.
SchoolAccess LoadRefusal()
{
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

// The code is not empty and names a school of the directory.
SchoolAccess CheckCode(const std::string& strCode)
{
    if (strCode.empty())
        return SchoolAccess::CodeEmpty;
    return FindSchoolRow(strCode) < 0 ? SchoolAccess::CodeUnknown : SchoolAccess::Done;
}
} // namespace

SchoolAccess OpenSchool(const std::string& strCode, const std::string& strPassword, CMemTable& students,
                        bool bAcceptChangedFile)
{
    if (const SchoolAccess checked = CheckCode(strCode); checked != SchoolAccess::Done)
        return checked;
    return LoadSchoolDatabase(strCode, strPassword, students, bAcceptChangedFile) ? SchoolAccess::Done : LoadRefusal();
}

SchoolAccess OpenSchoolToWrite(const std::string& strCode, const std::string& strPassword, CMemTable& students,
                               CSchoolHold& hold, int nWaitSeconds, bool bAcceptChangedFile)
{
    if (const SchoolAccess checked = CheckCode(strCode); checked != SchoolAccess::Done)
        return checked;
    // A hold that has the school already keeps it whatever the load gives; a new one is kept on Done.
    CSchoolHold taken;
    CSchoolHold& loading = hold.Holds(strCode) ? hold : taken;
    if (const DWORD dwCode = loading.Lock(strCode, nWaitSeconds); dwCode != ERROR_SUCCESS)
    {
        SetLastError(dwCode);
        return dwCode == ERROR_LOCK_VIOLATION ? SchoolAccess::Locked : SchoolAccess::LockUnreachable;
    }
    if (!LoadSchoolDatabase(strCode, strPassword, students, bAcceptChangedFile, &loading))
        return LoadRefusal();
    if (&loading == &taken)
        hold = std::move(taken);
    return SchoolAccess::Done;
}
