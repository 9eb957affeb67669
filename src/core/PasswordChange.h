#pragma once

#include <string>

class CMemTable;

// How opening a school's data file or changing its password ended; each refusal has its message.
enum class SchoolAccess
{
    Done,                // opened (login) or changed (password change)
    CodeEmpty,           // "请输入院校代码，不知院校代码可以查询。"
    CodeUnknown,         // "院校代码不正确，请检查。"
    WrongPassword,       // "密码不正确，请检查。"
    DatabaseUnreachable, // "不能访问该院校的数据库，请检查。"
    ConfirmationDiffers, // "新旧密码输入不一致，请检查。"
    SaveFailed           // "修改密码失败。"
};

// The message (GBK) shown with the caption "提示" for a refusal; empty for Done.
std::string SchoolAccessMessage(SchoolAccess result);

// The login's checks: the code is not empty, is a row of g_memSchools (exact match), and its data
// file loads into the table with the password. On WrongPassword and on every failure before the
// file is read the table keeps what it held.
SchoolAccess OpenSchool(const std::string& strCode, const std::string& strPassword, CMemTable& students);

struct PasswordChangeRequest
{
    std::string strCode;
    std::string strOldPassword;
    std::string strNewPassword;
    std::string strConfirm;
};

// Changes a school's password, in this order: OpenSchool with the current password (which leaves the
// school's records loaded in the table), the new password compared byte for byte with its
// confirmation, the table saved with the new password (a failed save keeps the previous file), then
// the profile record "quillmark.ini" [security] code=new password written; its failure is ignored.
// A school without a data file gets one with the new password and no records.
SchoolAccess ChangeSchoolPassword(const PasswordChangeRequest& request, CMemTable& students);
