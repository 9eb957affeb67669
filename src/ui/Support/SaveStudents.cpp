#include "ui/Support/SaveStudents.h"

#include <QFile>

#include "core/DataFunc.h"
#include "core/OpenSchool.h"
#include "core/SchoolBackups.h"
#include "platform/ErrorText.h"
#include "platform/LastError.h"
#include "platform/ProgramDir.h"
#include "ui/Support/BackupReport.h"
#include "ui/Support/GbkText.h"
#include "ui/Support/Seams/MessageBox.h"

namespace
{
// The data file's full path for the message, also when it is too long to be opened.
QString DataFilePathText(const std::string& strCode)
{
    std::string strPath = GetSchoolDatabasePath(strCode);
    if (strPath.empty())
        strPath = GetProgramDirectory() + '/' + strCode + ".db";
    return QFile::decodeName(strPath.c_str());
}

QString SaveFailureText(const std::string& strCode, DWORD dwCode)
{
    const QString what = QStringLiteral("保存数据文件“%1”失败（%2）。\n")
                             .arg(DataFilePathText(strCode), FromGbk(GetErrorReasonText(dwCode)));
    // Another program put a file there: saving over it would lose what that program wrote.
    if (dwCode == ERROR_FILE_INVALID)
        return what + QStringLiteral("为了不覆盖另一个程序写入的内容，这次没有保存。刚才的修改仍保留在程序中，"
                                     "可以先用“导出Excel文件”把全部记录另存一份，然后退出并重新登录。");
    return what + QStringLiteral("刚才的修改仍保留在程序中，下次保存成功时会一并写入。");
}
} // namespace

bool SaveStudentsOrReport(QWidget* parent, COpenSchool& school, const QString& occasion)
{
    const bool bBackupFailing = school.BackupFailing();
    SaveResult saved;
    {
        const CBackupOccasion recorded(ToGbk(occasion).value_or(std::string()));
        saved = school.Save();
    }
    if (saved)
    {
        ReportBackupFailure(parent, saved, bBackupFailing);
        return true;
    }
    UiMessageBox(parent, SaveFailureText(school.Code(), saved.dwError), QStringLiteral("错误"), MsgButtons::Ok,
                 MsgIcon::Error);
    return false;
}
