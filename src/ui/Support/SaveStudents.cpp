#include "ui/Support/SaveStudents.h"

#include "core/DataFunc.h"
#include "platform/LastError.h"
#include "ui/Support/BackupReport.h"
#include "ui/Support/GbkText.h"
#include "ui/Support/MessageBox.h"

namespace
{
QString ReasonText(DWORD dwCode)
{
    switch (dwCode)
    {
    case ERROR_NOT_ENOUGH_MEMORY:
        return QStringLiteral("路径太长或内存不足");
    case ERROR_ACCESS_DENIED:
        return QStringLiteral("没有写入权限");
    case ERROR_DISK_FULL:
        return QStringLiteral("磁盘空间不足");
    case ERROR_PATH_NOT_FOUND:
        return QStringLiteral("目录不存在");
    case ERROR_WRITE_FAULT:
        return QStringLiteral("写入的字节不完整");
    default:
        return QStringLiteral("错误码 %1").arg(dwCode);
    }
}
} // namespace

bool SaveStudentsOrReport(QWidget* parent, const SchoolKey& key)
{
    if (SaveSchoolDatabase(key.strCode, g_memStudents, key.strPassword))
    {
        ReportBackupFailure(parent);
        return true;
    }
    const DWORD dwCode = GetLastError();
    std::string strPath = GetSchoolDatabasePath(key.strCode);
    if (strPath.empty())
        strPath = key.strCode + ".db";
    const QString text =
        QStringLiteral("保存数据文件“%1”失败（%2）。\n刚才的修改仍保留在程序中，下次保存成功时会一并写入。")
            .arg(QString::fromLocal8Bit(strPath.c_str()), ReasonText(dwCode));
    UiMessageBox(parent, text, QStringLiteral("错误"), MsgButtons::Ok, MsgIcon::Error);
    return false;
}
