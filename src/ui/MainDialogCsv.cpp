// CSV (and workbook) export and import from the main window; files go through the file layer.
#include <QDir>
#include <QFile>

#include "core/CsvFile.h"
#include "core/DataFunc.h"
#include "exchange/WorkbookExport.h"
#include "exchange/WorkbookImport.h"
#include "platform/ErrorText.h"
#include "platform/FileSystem.h"
#include "platform/LastError.h"
#include "ui/ImportEncodingDialog.h"
#include "ui/MainDialog.h"
#include "ui/RecordCommands.h"
#include "ui/Support/FileDialogs.h"
#include "ui/Support/FileMessages.h"
#include "ui/Support/GbkText.h"
#include "ui/Support/MessageBox.h"
#include "ui/Support/ProgressWindow.h"
#include "ui/Support/ShellOpen.h"
#include "ui/Support/StudentListModel.h"

namespace
{
FileDialogRequest CsvFileRequest(QWidget* pParent, bool bSave, const QString& defaultName)
{
    const QString filter = bSave ? QStringLiteral("Excel Files (*.csv);;Excel 工作簿 (*.xlsx)")
                                 : QStringLiteral("Excel Files (*.csv);;Excel 工作簿 (*.xlsx);;"
                                                  "OpenDocument 电子表格 (*.ods);;Excel 97-2003 工作簿 (*.xls)");
    return {pParent, bSave, defaultName, filter, QStringLiteral("CSV")};
}

ExchangeFormat FormatOf(const QString& path)
{
    return FormatOfPath(QFile::encodeName(path).toStdString());
}
} // namespace

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
    const QString path = UiFileDialog(CsvFileRequest(this, true, defaultName));
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

void CMainDialog::OnImportCsv()
{
    const QString path = UiFileDialog(CsvFileRequest(this, false, QString()));
    if (path.isEmpty())
        return;
    // The file is read whole into a table of its own: a refused file leaves the records untouched.
    CMemTable imported;
    std::string strError;
    const int nFirstNew = g_memStudents.GetRowCount();
    // Read through the file layer whatever the type: it refuses FIFOs, devices and folders at once.
    const std::string strPath = QFile::encodeName(path).toStdString();
    std::string strBytes;
    if (const DWORD dwCode = ReadRegularFile(strPath, strBytes); dwCode != ERROR_SUCCESS)
    {
        ShowFileError(this, QStringLiteral("不能读取文件“%1”（%2）。").arg(NativePath(path), ReasonOf(dwCode)));
        return;
    }
    BOOL bRead = FALSE;
    if (const ExchangeFormat format = FormatOf(path);
        format != ExchangeFormat::Csv && format != ExchangeFormat::Unknown)
    {
        const CProgressWindow progress(this, QStringLiteral("正在读取工作簿……"));
        bRead = ReadWorkbookStudents(strPath, strBytes, format, imported, strError, progress.Callback());
    }
    else
    {
        const std::string_view text(strBytes);
        const std::optional<TextEncoding> encoding =
            IsEncodingOpen(text) ? AskCsvEncoding(this, text) : std::optional(TextEncoding::Gbk);
        if (!encoding)
            return;
        bRead = ReadCsvStudents(text, imported, strError, *encoding);
    }
    if (!bRead || !g_memStudents.AppendTable(imported))
    {
        UiMessageBox(this, strError.empty() ? QStringLiteral("导入失败。") : FromGbk(strError),
                     QStringLiteral("文件格式不对"));
        return;
    }
    FillList();
    SaveStudentsOrReport(this, GetSchoolKey());
    auto pStep = BeginStep(QStringLiteral("导入 %1 条记录").arg(imported.GetRowCount()), {});
    FinishStep(std::move(pStep), RowRange(nFirstNew, g_memStudents.GetRowCount()));
}
