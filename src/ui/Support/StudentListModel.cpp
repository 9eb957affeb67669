#include "ui/Support/StudentListModel.h"

#include "core/DataFunc.h"
#include "ui/Support/CodeNameDisplay.h"
#include "ui/Support/GbkText.h"

CStudentListModel::CStudentListModel(CMemTable& table, QObject* parent)
    : QAbstractTableModel(parent), m_pTable(&table), m_nRows(table.GetRowCount())
{
}

int CStudentListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_nRows;
}

int CStudentListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : STUDENT_FIELD_COUNT;
}

QVariant CStudentListModel::data(const QModelIndex& index, int role) const
{
    if ((role != Qt::DisplayRole && role != Qt::ToolTipRole) || !index.isValid() ||
        index.row() >= m_pTable->GetRowCount() || index.column() >= m_pTable->GetColCount())
        return {};
    const char* lpcszCell = m_pTable->GetCell(index.row(), index.column());
    if (role == Qt::ToolTipRole)
    {
        const QString code = ListCellToolTip(index.column(), lpcszCell, m_bNames);
        return code.isEmpty() ? QVariant() : QVariant(code);
    }
    return ListCellText(index.column(), lpcszCell, m_bNames);
}

QVariant CStudentListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= STUDENT_FIELD_COUNT)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return FromGbk(g_studentFields[section].lpcszListLabel);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

void CStudentListModel::NotifyRowsAppended()
{
    const int nNew = m_pTable->GetRowCount();
    if (nNew <= m_nRows)
    {
        Refresh();
        return;
    }
    beginInsertRows(QModelIndex(), m_nRows, nNew - 1);
    m_nRows = nNew;
    endInsertRows();
}

void CStudentListModel::NotifyRowChanged(int nRow)
{
    if (nRow >= 0 && nRow < m_nRows)
        emit dataChanged(index(nRow, 0), index(nRow, STUDENT_FIELD_COUNT - 1));
}

void CStudentListModel::Refresh()
{
    beginResetModel();
    m_nRows = m_pTable->GetRowCount();
    endResetModel();
}

void CStudentListModel::SetTable(CMemTable& table)
{
    beginResetModel();
    m_pTable = &table;
    m_nRows = table.GetRowCount();
    endResetModel();
}

void CStudentListModel::SetShowCodeNames(bool bNames)
{
    if (bNames == m_bNames)
        return;
    m_bNames = bNames;
    if (m_nRows > 0)
        emit dataChanged(index(0, 0), index(m_nRows - 1, STUDENT_FIELD_COUNT - 1), {Qt::DisplayRole, Qt::ToolTipRole});
}
