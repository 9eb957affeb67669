#pragma once

#include <string>

#include "core/SchoolAccess.h"

class CMemTable;
struct SaveResult;

struct PasswordChangeRequest
{
    std::string strCode;
    std::string strOldPassword;
    std::string strNewPassword;
    std::string strConfirm;
    bool bAcceptChangedFile = false; // see OpenSchool
};

// Changes a school's password, in this order: OpenSchool with the current password (which leaves the
// school's records loaded in the table), the new password compared byte for byte with its
// confirmation, the table saved with the new password (a failed save keeps the previous file), then
// the profile record "quillmark.ini" [security] code=new password written (ProfileNotWritten when
// that fails). A school without a data file gets one with the new password and no records. The
// school's writer lock is held throughout (OpenSchoolToWrite's rules, waiting up to nWaitSeconds).
// pSaved (optional) receives the save's result, and with it the outcome of the backup it made.
SchoolAccess ChangeSchoolPassword(const PasswordChangeRequest& request, CMemTable& students, int nWaitSeconds = 0,
                                  SaveResult* pSaved = nullptr);
