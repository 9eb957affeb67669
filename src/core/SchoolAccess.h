#pragma once

#include <string>

#include "platform/LastError.h"

class CMemTable;
class CSchoolHold;

// How opening a school's data file or changing its password ended; each refusal has its message.
enum class SchoolAccess
{
    Done,                // opened (login) or changed (password change)
    CodeEmpty,           // "请输入院校代码，不知院校代码可以查询。"
    CodeUnknown,         // "院校代码不正确，请检查。"
    WrongPassword,       // "密码不正确，请检查。"
    DatabaseUnreachable, // "不能访问该院校的数据库，请检查。", naming the data file and the reason
    LockUnreachable,     // the same, naming the school's lock file and the reason it cannot be locked
    ConfirmationDiffers, // "新旧密码输入不一致，请检查。"
    SaveFailed,          // "修改密码失败。"
    Locked,              // another program writes the school now
    FileDamaged,         // the data file was cut short or overwritten; it is left as it is
    FileChanged,         // the data file is not the one its last save noted (see LoadSchoolDatabase)
    ProfileNotWritten    // the data file has the new password, but quillmark.ini could not be written
};

// The message (GBK) shown with the caption "提示" for a refusal; empty for Done. The code names the
// school's backup folder in the message for a damaged file, and its data or lock file when either
// cannot be reached; dwReason (the last error of the refusal) gives the words of why.
std::string SchoolAccessMessage(SchoolAccess result, const std::string& strCode = {}, DWORD dwReason = ERROR_SUCCESS);

// The login's checks (no lock: reading needs none): the code is not empty, is a row of g_memSchools (exact match), and
// its data file loads into the table with the password. On WrongPassword and on every failure before the file is read
// the table keeps what it held. A file whose header lacks the 24 field names is WrongPassword; a damaged file is
// FileDamaged.
// A file that is not the one its last save noted is FileChanged, unless bAcceptChangedFile.
SchoolAccess OpenSchool(const std::string& strCode, const std::string& strPassword, CMemTable& students,
                        bool bAcceptChangedFile = false);

// OpenSchool for a program that will write the school: first takes the school's writer lock,
// waiting up to nWaitSeconds (Locked while another holder has it), and loads the file through it.
// After Done the hold has the school until it ends; after any other result the lock is let go again,
// unless the hold had the school before (then it keeps it). A lock file that cannot be opened or
// locked (a folder, a FIFO, a link to nowhere, a folder without write access) is LockUnreachable.
SchoolAccess OpenSchoolToWrite(const std::string& strCode, const std::string& strPassword, CMemTable& students,
                               CSchoolHold& hold, int nWaitSeconds = 0, bool bAcceptChangedFile = false);
