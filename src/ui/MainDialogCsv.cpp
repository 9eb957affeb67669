// CSV and workbook export from the main window: the file dialog, the progress window and the
// messages; the file itself is written by the exchange's one export.
#include <QFile>

#include "core/DataFunc.h"
#include "exchange/StudentsFile.h"
#include "ui/MainDialog.h"
#include "ui/Support/ExchangeFiles.h"
#include "ui/Support/FileMessages.h"
#include "ui/Support/GbkText.h"
#include "ui/Support/ProgressWindow.h"
#include "ui/Support/Seams/MessageBox.h"
#include "ui/Support/Seams/ShellOpen.h"
#include "ui/Support/StudentListModel.h"

namespace
{
void ShowExportFault(QWidget* pParent, const QString& path, const ExchangeOutcome& outcome)
{
    if (outcome.fault == ExchangeFault::DataFile)
        ShowDataFileRefusal(pParent, path);
    else if (outcome.fault == ExchangeFault::File)
        ShowWriteError(pParent, path, outcome.dwCode);
    else
        ShowFileError(pParent, FromGbk(outcome.strError));
}
} // namespace

void CMainDialog::OnExportCsv()
{
    const QString defaultName = FromGbk(m_school.Code()) + QStringLiteral(".CSV");
    const QString path = ChooseExchangeFile(this, true, defaultName);
    if (path.isEmpty())
        return;
    // The workbook gives the codes' names on a second sheet when the list shows names.
    StudentsFileWriting writing;
    writing.strSchoolCode = m_school.Code();
    writing.sheets = m_pModel->ShowsCodeNames() ? WorkbookSheets::StoredAndNames : WorkbookSheets::Stored;
    writing.runWorkbook = ProgressRunner(this, QStringLiteral("正在生成Excel工作簿……"));
    if (const ExchangeOutcome outcome =
            WriteStudentsFile(QFile::encodeName(path).toStdString(), m_school.Students(), writing);
        !outcome)
    {
        ShowExportFault(this, path, outcome);
        return;
    }
    if (UiMessageBox(this, QStringLiteral("文件已经生成，是否现在就查看内容。"), QStringLiteral("提示"),
                     MsgButtons::YesNo, MsgIcon::Question) == IDYES)
        UiShellOpen(path);
}
