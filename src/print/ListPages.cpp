#include "print/ListPages.h"

#include "print/PrintJob.h"
#include "print/PrintText.h"

#include <algorithm>
#include <unordered_map>

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QSet>

#include "core/DataFunc.h"

namespace
{
constexpr double kCellPoints = 8.5;
constexpr double kTitlePoints = 14;

// The cells of the list as it shows them: coded fields by name when the job says so. A school
// repeats few codes many times, so each is looked up and converted once.
std::vector<std::vector<QString>> ListCells(const PrintJob& job)
{
    std::vector<std::unordered_map<std::string, QString>> known(STUDENT_FIELD_COUNT);
    std::vector<std::vector<QString>> cells;
    cells.reserve(job.rows.size());
    for (int nRow : job.rows)
    {
        std::vector<QString>& line = cells.emplace_back(STUDENT_FIELD_COUNT);
        for (int c = 0; c < STUDENT_FIELD_COUNT; ++c)
        {
            const char* lpcszCell = job.pStudents->GetCell(nRow, c);
            const CODETABLE* pTable = g_studentFields[c].pTable;
            if (!job.bNames || pTable == nullptr)
            {
                line[c] = PrintText(lpcszCell);
                continue;
            }
            auto [it, bNew] = known[c].try_emplace(lpcszCell);
            if (bNew)
                it->second = PrintText(LookupCodeName(lpcszCell, pTable));
            line[c] = it->second;
        }
    }
    return cells;
}

// Groups the fields into runs that fit the width, in order; every run after the first starts
// with field 0 (the student number) again.
std::vector<std::vector<int>> ColumnGroups(const std::vector<double>& widths, double fPageWidth)
{
    std::vector<std::vector<int>> groups(1);
    double fUsed = 0;
    for (int c = 0; c < static_cast<int>(widths.size()); ++c)
    {
        if (!groups.back().empty() && fUsed + widths[c] > fPageWidth)
        {
            groups.push_back({0});
            fUsed = widths[0];
        }
        groups.back().push_back(c);
        fUsed += widths[c];
    }
    return groups;
}
} // namespace

CListPages::CListPages(const QPagedPaintDevice& device, const PrintJob& job)
    : m_job(job), m_fPageWidth(device.width()), m_fPageHeight(device.height()), m_fPadding(MmToPixels(device, 1.2)),
      m_cells(ListCells(job)), m_widths(STUDENT_FIELD_COUNT)
{
    // Metrics for the device's resolution, not the screen's.
    const QFontMetricsF cellMetrics(PrintFont(kCellPoints), const_cast<QPagedPaintDevice*>(&device));
    const QFontMetricsF boldMetrics(PrintFont(kCellPoints, true), const_cast<QPagedPaintDevice*>(&device));
    const QFontMetricsF titleMetrics(PrintFont(kTitlePoints, true), const_cast<QPagedPaintDevice*>(&device));
    m_fRowHeight = cellMetrics.height() + 2 * m_fPadding;
    m_fHeadingHeight = titleMetrics.height() + cellMetrics.height() + 3 * m_fPadding;
    for (int c = 0; c < STUDENT_FIELD_COUNT; ++c)
    {
        m_titles.push_back(PrintText(g_studentFields[c].lpcszListLabel));
        double fWidest = boldMetrics.horizontalAdvance(m_titles[c]);
        QSet<QString> measured;
        for (const std::vector<QString>& line : m_cells)
        {
            if (measured.contains(line[c]))
                continue;
            measured.insert(line[c]);
            fWidest = std::max(fWidest, cellMetrics.horizontalAdvance(line[c]));
        }
        m_widths[c] = fWidest + 2 * m_fPadding;
    }
    m_columnGroups = ColumnGroups(m_widths, m_fPageWidth);
    // Heading, column titles, rows, and the page number at the foot.
    const double fRowsHeight = m_fPageHeight - m_fHeadingHeight - 2 * m_fRowHeight;
    m_nRowsPerPage = std::max(1, static_cast<int>(fRowsHeight / m_fRowHeight));
    m_nRowPages = std::max<int>(1, (static_cast<int>(m_cells.size()) + m_nRowsPerPage - 1) / m_nRowsPerPage);
}

void CListPages::PaintHeading(QPainter& painter, int nPage) const
{
    painter.setFont(PrintFont(kTitlePoints, true));
    const double fTitleHeight = QFontMetricsF(painter.font()).height();
    painter.drawText(QRectF(0, 0, m_fPageWidth, fTitleHeight), Qt::AlignCenter, QStringLiteral("学生名单"));
    painter.setFont(PrintFont(kCellPoints));
    const QRectF line(0, fTitleHeight + m_fPadding, m_fPageWidth, m_fRowHeight);
    painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("院校代码：%1    院校名称：%2").arg(m_job.schoolCode, m_job.schoolName));
    painter.drawText(line, Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("打印日期：%1").arg(m_job.date.toString(QStringLiteral("yyyy-MM-dd"))));
    painter.drawText(QRectF(0, m_fPageHeight - m_fRowHeight, m_fPageWidth, m_fRowHeight), Qt::AlignCenter,
                     PageNumberText(nPage + 1, PageCount()));
}

void CListPages::PaintPage(QPainter& painter, int nPage) const
{
    PaintHeading(painter, nPage);
    const std::vector<int>& fields = m_columnGroups[nPage % m_columnGroups.size()];
    const int nFirst = nPage / static_cast<int>(m_columnGroups.size()) * m_nRowsPerPage;
    const int nEnd = std::min<int>(nFirst + m_nRowsPerPage, static_cast<int>(m_cells.size()));
    // Text row by row; the grid afterwards in one line per row and per column, far fewer strokes
    // than a rectangle per cell.
    const auto paintRow = [&](double fY, const auto& textOf) {
        double fX = 0;
        for (int c : fields)
        {
            painter.drawText(QRectF(fX + m_fPadding, fY, m_widths[c] - 2 * m_fPadding, m_fRowHeight),
                             Qt::AlignLeft | Qt::AlignVCenter, textOf(c));
            fX += m_widths[c];
        }
        return fX;
    };
    painter.setFont(PrintFont(kCellPoints, true));
    const double fRight = paintRow(m_fHeadingHeight, [&](int c) { return m_titles[c]; });
    painter.setFont(PrintFont(kCellPoints));
    for (int r = nFirst; r < nEnd; ++r)
        paintRow(m_fHeadingHeight + (r - nFirst + 1) * m_fRowHeight, [&](int c) { return m_cells[r][c]; });
    const double fBottom = m_fHeadingHeight + (nEnd - nFirst + 1) * m_fRowHeight;
    for (int r = 0; r <= nEnd - nFirst + 1; ++r)
        painter.drawLine(QPointF(0, m_fHeadingHeight + r * m_fRowHeight),
                         QPointF(fRight, m_fHeadingHeight + r * m_fRowHeight));
    double fX = 0;
    painter.drawLine(QPointF(0, m_fHeadingHeight), QPointF(0, fBottom));
    for (int c : fields)
    {
        fX += m_widths[c];
        painter.drawLine(QPointF(fX, m_fHeadingHeight), QPointF(fX, fBottom));
    }
}
