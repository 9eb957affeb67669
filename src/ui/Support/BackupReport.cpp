#include "ui/Support/BackupReport.h"

#include "core/SaveResult.h"
#include "platform/ErrorText.h"
#include "platform/LastError.h"
#include "ui/Support/GbkText.h"
#include "ui/Support/Seams/MessageBox.h"

void ReportBackupFailure(QWidget* parent, const SaveResult& saved, bool bFailingBefore)
{
    const DWORD dwCode = saved.dwBackupError;
    if (dwCode == ERROR_SUCCESS || bFailingBefore)
        return;
    UiMessageBox(parent,
                 QStringLiteral("备份失败：被覆盖的数据文件没能留作备份（%1）。\n数据已照常保存。")
                     .arg(FromGbk(GetErrorReasonText(dwCode))),
                 QStringLiteral("提示"), MsgButtons::Ok, MsgIcon::Exclamation);
}
