#include "core/PasswordChange.h"

#include "core/SchoolBackups.h"
#include "core/SchoolDatabase.h"
#include "core/SchoolHold.h"
#include "platform/Profile.h"

SchoolAccess ChangeSchoolPassword(const PasswordChangeRequest& request, CMemTable& students, int nWaitSeconds,
                                  SaveResult* pSaved)
{
    // The school is held from the load to the save.
    CSchoolHold hold;
    const SchoolAccess opened = OpenSchoolToWrite(request.strCode, request.strOldPassword, students, hold, nWaitSeconds,
                                                  request.bAcceptChangedFile);
    if (opened != SchoolAccess::Done)
        return opened;
    if (request.strNewPassword != request.strConfirm)
        return SchoolAccess::ConfirmationDiffers;
    SaveResult saved;
    {
        const CBackupOccasion occasion("修改密码前");
        saved = SaveSchoolDatabase(request.strCode, students, request.strNewPassword, &hold);
    }
    if (pSaved != nullptr)
        *pSaved = saved;
    if (!saved)
        return SchoolAccess::SaveFailed;
    // The record is for the user's reference only; nothing reads it back. Its failure is still
    // told, since the user would otherwise look there for a password that is not in it.
    if (!WritePrivateProfileString("security", request.strCode, request.strNewPassword, "quillmark.ini"))
        return SchoolAccess::ProfileNotWritten;
    return SchoolAccess::Done;
}
