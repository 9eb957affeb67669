#include "print/SheetPages.h"

#include "print/PrintJob.h"
#include "print/PrintText.h"

#include <QFontMetricsF>
#include <QPainter>

#include "core/DataFunc.h"
#include "core/Statistics.h"

namespace
{
// The sheet is laid out at its A4 size in points and scaled to where it is drawn.
constexpr double kSheetWidth = 523;  // 210 mm less the margins
constexpr double kSheetHeight = 770; // 297 mm less the margins
constexpr double kLabelWidth = 120;
constexpr double kRowHeight = 25;
constexpr double kPadding = 6;

QString SheetValue(int nField, const char* lpcszCell)
{
    const CODETABLE* pTable = g_studentFields[nField].pTable;
    if (pTable == nullptr || *lpcszCell == '\0')
        return PrintText(lpcszCell);
    const CODEITEM* pRow = FindCodeRow(*pTable, lpcszCell);
    if (pRow == nullptr)
        return PrintText(lpcszCell) + PrintText(g_lpcszInvalidCode);
    return QStringLiteral("%1（%2）").arg(PrintText(pRow->name), PrintText(lpcszCell));
}

// Fonts in points of the sheet: QFont's point sizes follow the device, so they are set in pixels
// of the sheet's own coordinates instead.
QFont SheetFont(double fPoints, bool bBold = false)
{
    QFont font = PrintFont(10, bBold);
    font.setPixelSize(static_cast<int>(fPoints));
    return font;
}
} // namespace

int SheetsPerPage(const PrintJob& job)
{
    return job.bTwoPerPage ? 2 : 1;
}

QRectF SheetRect(const QRectF& page, const PrintJob& job, int nIndexOnPage)
{
    if (!job.bTwoPerPage)
        return page;
    const double fGap = page.width() * 0.04;
    const double fWidth = (page.width() - fGap) / 2;
    return QRectF(page.left() + nIndexOnPage * (fWidth + fGap), page.top(), fWidth, page.height());
}

void PaintVerificationSheet(QPainter& painter, const QRectF& rect, const PrintJob& job, int nRow)
{
    painter.save();
    const double fScale = std::min(rect.width() / kSheetWidth, rect.height() / kSheetHeight);
    painter.translate(rect.left() + (rect.width() - kSheetWidth * fScale) / 2, rect.top());
    painter.scale(fScale, fScale);
    QPen pen = painter.pen();
    pen.setWidthF(0.6);
    painter.setPen(pen);

    painter.setFont(SheetFont(22, true));
    painter.drawText(QRectF(0, 0, kSheetWidth, 40), Qt::AlignCenter, QStringLiteral("学生信息核对表"));
    painter.setFont(SheetFont(12));
    painter.drawText(QRectF(0, 48, kSheetWidth, 20), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("院校：%1（%2）").arg(job.schoolName, job.schoolCode));
    double fY = 76;
    for (int c = 0; c < STUDENT_FIELD_COUNT; ++c, fY += kRowHeight)
    {
        const QRectF label(0, fY, kLabelWidth, kRowHeight);
        const QRectF value(kLabelWidth, fY, kSheetWidth - kLabelWidth, kRowHeight);
        painter.drawRect(label);
        painter.drawRect(value);
        painter.setFont(SheetFont(12, true));
        painter.drawText(label.adjusted(kPadding, 0, -kPadding, 0), Qt::AlignLeft | Qt::AlignVCenter,
                         PrintText(g_studentFields[c].lpcszEditorLabel));
        painter.setFont(SheetFont(12));
        painter.drawText(value.adjusted(kPadding, 0, -kPadding, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap,
                         SheetValue(c, job.pStudents->GetCell(nRow, c)));
    }
    painter.setFont(SheetFont(13));
    painter.drawText(QRectF(0, fY + 30, kSheetWidth, 30), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("本人已核对以上信息无误。本人签字：______ 日期：______"));
    painter.restore();
}
