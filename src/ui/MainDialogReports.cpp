// Statistics, printing and PDF files from the main window.
#include "print/PrintJob.h"

#include <QPrinter>

#include "core/DataFunc.h"
#include "ui/MainDialog.h"
#include "ui/PrintOptionsDialog.h"
#include "ui/StatsWindow.h"
#include "ui/Support/ExchangeFiles.h"
#include "ui/Support/FileMessages.h"
#include "ui/Support/Seams/FileDialogs.h"
#include "ui/Support/Seams/MessageBox.h"
#include "ui/Support/Seams/PrintPreview.h"
#include "ui/Support/Seams/ShellOpen.h"
#include "ui/Support/StudentListModel.h"
#include "ui/Support/StudentSortModel.h"

void CMainDialog::OnStatistics()
{
    CStatsWindow window(this, m_school.Students(), GetSelectedRows(), m_school.Code());
    window.exec();
}

bool CMainDialog::ChoosePrintJob(const QString& caption, PrintJob& job)
{
    const std::vector<int> selected = GetSelectedRows();
    PrintChoice choice;
    if (!ChoosePrint(this, caption, m_pModel->rowCount(), static_cast<int>(selected.size()), choice))
        return false;
    std::vector<char> marked(static_cast<std::size_t>(m_pModel->rowCount()), 0);
    for (int nRow : selected)
        marked[static_cast<std::size_t>(nRow)] = 1;
    job = PrintJobForSchool(m_school.Code());
    // The records in the order the list shows them.
    for (int nViewRow = 0; nViewRow < m_pSortModel->rowCount(); ++nViewRow)
    {
        const int nRow = m_pSortModel->StoredRow(nViewRow);
        if (!choice.bSelected || marked[static_cast<std::size_t>(nRow)])
            job.rows.push_back(nRow);
    }
    job.kind = choice.bSheets ? PrintJob::Sheets : PrintJob::List;
    job.pStudents = &m_school.Students();
    job.bNames = m_pModel->ShowsCodeNames();
    job.bTwoPerPage = choice.bTwoPerPage;
    if (job.kind == PrintJob::Sheets && job.rows.empty())
    {
        UiMessageBox(this, QStringLiteral("没有可以打印核对表的记录。"), QStringLiteral("提示"));
        return false;
    }
    return true;
}

void CMainDialog::OnPrint()
{
    PrintJob job;
    if (!ChoosePrintJob(QStringLiteral("打印"), job))
        return;
    QPrinter printer(QPrinter::HighResolution);
    SetUpPrintPage(printer, job);
    UiPrintPreview({this, &printer, [&job](QPrinter* pPrinter) { PaintPrintJob(*pPrinter, job); }});
}

void CMainDialog::OnExportPdf()
{
    PrintJob job;
    if (!ChoosePrintJob(QStringLiteral("导出PDF"), job))
        return;
    const QString defaultName =
        job.kind == PrintJob::List ? QStringLiteral("学生名单.pdf") : QStringLiteral("学生信息核对表.pdf");
    const QString path = ChooseFileInLastFolder(
        {this, true, defaultName, QStringLiteral("PDF 文件 (*.pdf)"), QStringLiteral("pdf"), {}});
    if (path.isEmpty())
        return;
    std::string strPdf;
    if (!RenderPdf(job, strPdf))
    {
        ShowFileError(this, QStringLiteral("不能生成PDF文件。"));
        return;
    }
    if (!WriteExport(this, path, strPdf, m_school.Code()))
        return;
    if (UiMessageBox(this, QStringLiteral("文件已经生成，是否现在就查看内容。"), QStringLiteral("提示"),
                     MsgButtons::YesNo, MsgIcon::Question) == IDYES)
        UiShellOpen(path);
}
