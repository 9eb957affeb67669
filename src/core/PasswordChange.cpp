#include "core/PasswordChange.h"

#include "core/SchoolDatabase.h"
#include "core/SchoolDirectory.h"
#include "platform/LastError.h"
#include "platform/Profile.h"

std::string SchoolAccessMessage(SchoolAccess result)
{
    switch (result)
    {
    case SchoolAccess::Done:
        break;
    case SchoolAccess::CodeEmpty:
        return "请输入院校代码，不知院校代码可以查询。";
    case SchoolAccess::CodeUnknown:
        return "院校代码不正确，请检查。";
    case SchoolAccess::WrongPassword:
        return "密码不正确，请检查。";
    case SchoolAccess::DatabaseUnreachable:
        return "不能访问该院校的数据库，请检查。";
    case SchoolAccess::ConfirmationDiffers:
        return "新旧密码输入不一致，请检查。";
    case SchoolAccess::SaveFailed:
        return "修改密码失败。";
    }
    return {};
}

SchoolAccess OpenSchool(const std::string& strCode, const std::string& strPassword, CMemTable& students)
{
    if (strCode.empty())
        return SchoolAccess::CodeEmpty;
    if (FindSchoolRow(strCode) < 0)
        return SchoolAccess::CodeUnknown;
    if (!LoadSchoolDatabase(strCode, strPassword, students))
        return GetLastError() == ERROR_INVALID_PASSWORD ? SchoolAccess::WrongPassword
                                                        : SchoolAccess::DatabaseUnreachable;
    return SchoolAccess::Done;
}

SchoolAccess ChangeSchoolPassword(const PasswordChangeRequest& request, CMemTable& students)
{
    const SchoolAccess opened = OpenSchool(request.strCode, request.strOldPassword, students);
    if (opened != SchoolAccess::Done)
        return opened;
    if (request.strNewPassword != request.strConfirm)
        return SchoolAccess::ConfirmationDiffers;
    if (!SaveSchoolDatabase(request.strCode, students, request.strNewPassword))
        return SchoolAccess::SaveFailed;
    // The record is for the user's reference only; nothing reads it back.
    WritePrivateProfileString("security", request.strCode, request.strNewPassword, "quillmark.ini");
    return SchoolAccess::Done;
}
