#include "core/SchoolAccess.h"
#include "core/SchoolBackups.h"
#include "core/SchoolDatabase.h"
#include "core/SchoolPaths.h"
#include "platform/ErrorText.h"
#include "platform/ProgramDir.h"

namespace
{
// Where a damaged file's school can start again: its newest backup, and the command that restores it.
std::string NewestBackupText(const std::string& strCode)
{
    const std::vector<BackupEntry> backups = ListBackups(strCode);
    if (backups.empty())
        return {};
    const std::string& strId = backups.front().stamp.strId;
    return "最新的备份是 " + FormatBackupTime(backups.front().stamp.tWhen) + " 的 " + strId +
           ".db，可以用 varnholt-cli restore --school " + strCode + " --backup " + strId + " 恢复。";
}

// Which of the school's files could not be reached, and why: the user can see to that file.
std::string UnreachableText(const char* lpcszWhich, const std::string& strPath, DWORD dwReason)
{
    if (dwReason == ERROR_SUCCESS || strPath.empty())
        return {};
    return std::string(lpcszWhich) + "“" + strPath + "”：" + GetErrorReasonText(dwReason) + "。";
}
} // namespace

std::string SchoolAccessMessage(SchoolAccess result, const std::string& strCode, DWORD dwReason)
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
        return "不能访问该院校的数据库，请检查。" +
               UnreachableText("数据文件", GetSchoolDatabasePath(strCode), dwReason);
    case SchoolAccess::LockUnreachable:
        return "不能访问该院校的数据库，请检查。" + UnreachableText("锁文件", GetSchoolLockPath(strCode), dwReason);
    case SchoolAccess::ConfirmationDiffers:
        return "新旧密码输入不一致，请检查。";
    case SchoolAccess::SaveFailed:
        return "修改密码失败。";
    case SchoolAccess::Locked:
        return "另一个程序正在修改该院校的数据，请等它结束后再试。";
    case SchoolAccess::FileDamaged:
        return "该院校的数据文件已损坏，没有打开，文件保持原样。备份在“" + GetProgramDirectory() + "/backup/" +
               strCode + "/”中。" + NewestBackupText(strCode);
    case SchoolAccess::FileChanged:
        return "该院校的数据文件与上次保存时记下的大小或校验和不一致，可能被截短或被另一个程序改过，文件保持原样。" +
               NewestBackupText(strCode);
    case SchoolAccess::ProfileNotWritten:
        return "数据文件已用新密码保存，但不能把新密码记入配置文件 quillmark.ini。";
    }
    return {};
}
