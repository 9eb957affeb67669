// CSV and workbook export from the main window; files go through the file layer.
#include <QDir>
#include <QFile>

#include "core/CsvFile.h"
#include "core/DataFunc.h"
#include "exchange/WorkbookExport.h"
#include "exchange/WorkbookImport.h"
#include "platform/ErrorText.h"
#include "platform/FileSystem.h"
#include "platform/LastError.h"
#include "ui/MainDialog.h"
#include "ui/Support/ExchangeFiles.h"
#include "ui/Support/FileMessages.h"
#include "ui/Support/GbkText.h"
#include "ui/Support/MessageBox.h"
#include "ui/Support/ProgressWindow.h"
#include "ui/Support/ShellOpen.h"
#include "ui/Support/StudentListModel.h"

// The workbook gives the codes' names on a second sheet when the list shows names.
bool CMainDialog::BuildWorkbook(std::string& strBytes, std::string& strError)
{
    const CProgressWindow progress(this, QStringLiteral("正在生成Excel工作簿……"));
    const WorkbookSheets sheets = m_pModel->ShowsCodeNames() ? WorkbookSheets::StoredAndNames : WorkbookSheets::Stored;
    return BuildStudentWorkbook(g_memStudents, strBytes, strError, sheets, progress.Callback());
}

void CMainDialog::OnExportCsv()
{
    const QString defaultName = FromGbk(GetSchoolKey().strCode) + QStringLiteral(".CSV");
    const QString path = ChooseExchangeFile(this, true, defaultName);
    if (path.isEmpty())
        return;
    std::string strCsv, strError;
    if (FormatOf(path) != ExchangeFormat::Xlsx)
        WriteCsvText(g_memStudents, strCsv);
    else if (!BuildWorkbook(strCsv, strError))
    {
        UiMessageBox(this, FromGbk(strError), QStringLiteral("错误"), MsgButtons::Ok, MsgIcon::Error);
        return;
    }
    if (!WriteExport(this, path, strCsv, GetSchoolKey().strCode))
        return;
    if (UiMessageBox(this, QStringLiteral("文件已经生成，是否现在就查看内容。"), QStringLiteral("提示"),
                     MsgButtons::YesNo, MsgIcon::Question) == IDYES)
        UiShellOpen(path);
}
