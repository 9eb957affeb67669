#include "core/PasswordChange.h"

#include "core/DataFunc.h"
#include "platform/LastError.h"
#include "platform/Profile.h"

std::string SchoolAccessMessage(SchoolAccess result)
{
    // GBK bytes of the texts in the comments.
    switch (result)
    {
    case SchoolAccess::Done:
        break;
    case SchoolAccess::CodeEmpty: // 请输入院校代码，不知院校代码可以查询。
        return "\xc7\xeb\xca\xe4\xc8\xeb\xd4\xba\xd0\xa3\xb4\xfa\xc2\xeb\xa3\xac\xb2\xbb\xd6\xaa"
               "\xd4\xba\xd0\xa3\xb4\xfa\xc2\xeb\xbf\xc9\xd2\xd4\xb2\xe9\xd1\xaf\xa1\xa3";
    case SchoolAccess::CodeUnknown: // 院校代码不正确，请检查。
        return "\xd4\xba\xd0\xa3\xb4\xfa\xc2\xeb\xb2\xbb\xd5\xfd\xc8\xb7\xa3\xac\xc7\xeb\xbc\xec\xb2\xe9\xa1\xa3";
    case SchoolAccess::WrongPassword: // 密码不正确，请检查。
        return "\xc3\xdc\xc2\xeb\xb2\xbb\xd5\xfd\xc8\xb7\xa3\xac\xc7\xeb\xbc\xec\xb2\xe9\xa1\xa3";
    case SchoolAccess::DatabaseUnreachable: // 不能访问该院校的数据库，请检查。
        return "\xb2\xbb\xc4\xdc\xb7\xc3\xce\xca\xb8\xc3\xd4\xba\xd0\xa3\xb5\xc4"
               "\xca\xfd\xbe\xdd\xbf\xe2\xa3\xac\xc7\xeb\xbc\xec\xb2\xe9\xa1\xa3";
    case SchoolAccess::ConfirmationDiffers: // 新旧密码输入不一致，请检查。
        return "\xd0\xc2\xbe\xc9\xc3\xdc\xc2\xeb\xca\xe4\xc8\xeb\xb2\xbb"
               "\xd2\xbb\xd6\xc2\xa3\xac\xc7\xeb\xbc\xec\xb2\xe9\xa1\xa3";
    case SchoolAccess::SaveFailed: // 修改密码失败。
        return "\xd0\xde\xb8\xc4\xc3\xdc\xc2\xeb\xca\xa7\xb0\xdc\xa1\xa3";
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
