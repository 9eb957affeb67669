#include "print/PrintJob.h"

#include "print/ListPages.h"
#include "print/PrintText.h"
#include "print/SheetPages.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

#include "core/DataFunc.h"

namespace
{
constexpr double kMarginMm = 10;

bool PaintList(QPagedPaintDevice& device, QPainter& painter, const PrintJob& job)
{
    const CListPages pages(device, job);
    for (int nPage = 0; nPage < pages.PageCount(); ++nPage)
    {
        if (nPage > 0 && !device.newPage())
            return false;
        pages.PaintPage(painter, nPage);
    }
    return true;
}

bool PaintSheets(QPagedPaintDevice& device, QPainter& painter, const PrintJob& job)
{
    const QRectF page(0, 0, device.width(), device.height());
    const int nPerPage = SheetsPerPage(job);
    for (std::size_t i = 0; i < job.rows.size(); ++i)
    {
        const int nOnPage = static_cast<int>(i % nPerPage);
        if (i > 0 && nOnPage == 0 && !device.newPage())
            return false;
        PaintVerificationSheet(painter, SheetRect(page, job, nOnPage), job, job.rows[i]);
    }
    return true;
}
} // namespace

PrintJob PrintJobForSchool(const std::string& strSchoolCode)
{
    PrintJob job;
    job.schoolCode = PrintText(strSchoolCode);
    const int nRow = FindSchoolRow(strSchoolCode);
    if (nRow >= 0)
        job.schoolName = PrintText(g_memSchools.GetCell(nRow, 1));
    job.date = QDate::currentDate();
    return job;
}

void SetUpPrintPage(QPagedPaintDevice& device, const PrintJob& job)
{
    const bool bLandscape = job.kind == PrintJob::List || job.bTwoPerPage;
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4),
                                     bLandscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                     QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm), QPageLayout::Millimeter));
}

bool PaintPrintJob(QPagedPaintDevice& device, const PrintJob& job)
{
    if (job.kind == PrintJob::Sheets && job.rows.empty())
        return false;
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const bool bPainted =
        job.kind == PrintJob::List ? PaintList(device, painter, job) : PaintSheets(device, painter, job);
    return painter.end() && bPainted;
}

bool RenderPdf(const PrintJob& job, std::string& strBytes)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(300);
        writer.setCreator(QStringLiteral("Varnholt"));
        writer.setTitle(job.kind == PrintJob::List ? QStringLiteral("学生名单") : QStringLiteral("学生信息核对表"));
        SetUpPrintPage(writer, job);
        if (!PaintPrintJob(writer, job))
            return false;
    }
    strBytes.assign(buffer.data().constData(), static_cast<std::size_t>(buffer.data().size()));
    return !strBytes.empty();
}
