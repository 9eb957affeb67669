#include "ui/FoundRecordList.h"

#include <QHeaderView>
#include <QMouseEvent>

#include "core/DataFunc.h"
#include "core/OpenSchool.h"
#include "ui/RecordUpdate.h"
#include "ui/Support/CodeNameDisplay.h"
#include "ui/Support/GbkText.h"
#include "ui/Support/Seams/MessageBox.h"
#include "ui/Support/StudentColumns.h"

namespace
{
// The least column widths in pixels, in record order.
constexpr int g_nColumnWidths[STUDENT_FIELD_COUNT] = {100, 100, 60,  80,  40, 80, 40, 100, 60,  60, 100, 100,
                                                      60,  100, 100, 100, 40, 40, 40, 40,  100, 50, 100, 100};

// The exact bytes of an item's student number, beside the text it shows.
constexpr int NumberRole = Qt::UserRole;

QByteArray Bytes(const std::string& str)
{
    return QByteArray(str.data(), static_cast<qsizetype>(str.size()));
}
} // namespace

CFoundRecordList::CFoundRecordList(COpenSchool& school, bool bSorted, QWidget* parent)
    : QTableWidget(0, STUDENT_FIELD_COUNT, parent), m_school(school),
      m_modify([&school](QWidget* pParent, int nRow) { return ModifyStudentRow(pParent, nRow, school); }),
      m_bSorted(bSorted), m_bNames(ShowsCodeNames())
{
    for (int nCol = 0; nCol < STUDENT_FIELD_COUNT; ++nCol)
    {
        auto* pHeader = new QTableWidgetItem(FromGbk(g_studentFields[nCol].lpcszListLabel));
        pHeader->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        setHorizontalHeaderItem(nCol, pHeader);
    }
    FitStudentColumns(this, g_nColumnWidths, m_bNames);
    verticalHeader()->hide();
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
}

int CFoundRecordList::AddRecord(const CMemTable& table, int nRow)
{
    int nItem = rowCount();
    if (m_bSorted)
    {
        const std::string strNumber = table.GetCell(nRow, Field::XSBSH);
        while (nItem > 0 && NumberOf(nItem - 1) > strNumber)
            --nItem;
    }
    insertRow(nItem);
    SetRecord(nItem, table, nRow);
    return nItem;
}

bool CFoundRecordList::ContainsNumber(const std::string& strNumber) const
{
    for (int nItem = 0; nItem < rowCount(); ++nItem)
    {
        if (NumberOf(nItem) == strNumber)
            return true;
    }
    return false;
}

std::string CFoundRecordList::NumberOf(int nItem) const
{
    return item(nItem, Field::XSBSH)->data(NumberRole).toByteArray().toStdString();
}

int CFoundRecordList::TableRowOf(int nItem) const
{
    const std::string strNumber = NumberOf(nItem);
    for (int nRow = m_school.Students().GetRowCount() - 1; nRow >= 0; --nRow)
    {
        if (strNumber == m_school.Students().GetCell(nRow, Field::XSBSH))
            return nRow;
    }
    return nItem;
}

int CFoundRecordList::ModifyMarkedRecord()
{
    const int nItem = currentRow();
    if (nItem < 0)
    {
        UiMessageBox(window(), QStringLiteral("没有指定要修改的项目。"), QStringLiteral("提示"));
        return -1;
    }
    const int nRow = TableRowOf(nItem);
    if (nRow >= m_school.Students().GetRowCount() || !m_modify(window(), nRow))
        return -1;
    SetRecord(nItem, m_school.Students(), nRow);
    return nRow;
}

void CFoundRecordList::mouseDoubleClickEvent(QMouseEvent* pEvent)
{
    QTableWidget::mouseDoubleClickEvent(pEvent);
    if (pEvent->button() == Qt::LeftButton && selectionModel()->hasSelection())
        ModifyMarkedRecord();
}

void CFoundRecordList::SetRecord(int nItem, const CMemTable& table, int nRow)
{
    for (int nCol = 0; nCol < STUDENT_FIELD_COUNT; ++nCol)
    {
        const char* lpcszCell = table.GetCell(nRow, nCol);
        auto* pItem = new QTableWidgetItem(ListCellText(nCol, lpcszCell, m_bNames));
        pItem->setToolTip(ListCellToolTip(nCol, lpcszCell, m_bNames));
        if (nCol == Field::XSBSH)
            pItem->setData(NumberRole, Bytes(lpcszCell));
        setItem(nItem, nCol, pItem);
    }
}
