#include "core/PasswordChange.h"

#include "core/SchoolBackups.h"
#include "core/SchoolDatabase.h"
#include "core/SchoolSession.h"
#include "platform/Profile.h"

SchoolAccess ChangeSchoolPassword(const PasswordChangeRequest& request, CMemTable& students, int nWaitSeconds)
{
    // The school is held from the load to the save, unless the caller holds it already.
    CSchoolLockToken lock;
    const SchoolAccess opened = OpenSchoolToWrite(request.strCode, request.strOldPassword, students, lock, nWaitSeconds,
                                                  request.bAcceptChangedFile);
    if (opened != SchoolAccess::Done)
        return opened;
    SchoolAccess result = SchoolAccess::Done;
    const CBackupOccasion occasion("修改密码前");
    if (request.strNewPassword != request.strConfirm)
        result = SchoolAccess::ConfirmationDiffers;
    else if (!SaveSchoolDatabase(request.strCode, students, request.strNewPassword))
        result = SchoolAccess::SaveFailed;
    // The record is for the user's reference only; nothing reads it back. Its failure is still
    // told, since the user would otherwise look there for a password that is not in it.
    else if (!WritePrivateProfileString("security", request.strCode, request.strNewPassword, "quillmark.ini"))
        result = SchoolAccess::ProfileNotWritten;
    return result;
}
