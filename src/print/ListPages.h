#pragma once

#include <vector>

#include <QString>

class QPainter;
class QPagedPaintDevice;
struct PrintJob;

// The student list on paper: the rows of the job under the list's column titles, as many rows as
// fit on a page. Columns that do not fit beside each other go on to further pages in order, each
// such page beginning with the student number again so that its rows can be told apart; a column
// is never cut. Every page repeats the title, the school and the date, the column titles and
// "第N页/共M页".
class CListPages
{
  public:
    // Measures the job on the device (its page set up) and divides it into pages.
    CListPages(const QPagedPaintDevice& device, const PrintJob& job);

    int PageCount() const { return m_nRowPages * static_cast<int>(m_columnGroups.size()); }
    // REQUIRES: painter active on the device; 0 <= nPage < PageCount().
    void PaintPage(QPainter& painter, int nPage) const;

  private:
    void PaintHeading(QPainter& painter, int nPage) const;

    const PrintJob& m_job;
    double m_fPageWidth, m_fPageHeight, m_fRowHeight, m_fPadding, m_fHeadingHeight;
    std::vector<QString> m_titles;
    std::vector<std::vector<QString>> m_cells; // [row of the job][field]
    std::vector<double> m_widths;              // per field: its widest text and padding
    std::vector<std::vector<int>> m_columnGroups;
    int m_nRowsPerPage = 1;
    int m_nRowPages = 1;
};
