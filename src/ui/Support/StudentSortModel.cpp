#include "ui/Support/StudentSortModel.h"

#include "core/DataFunc.h"
#include "ui/Support/CodeNameDisplay.h"
#include "ui/Support/StudentListModel.h"

CStudentSortModel::CStudentSortModel(QAbstractItemModel* pSource, QObject* parent) : QSortFilterProxyModel(parent)
{
    // Connected before the proxy connects its own handlers, so that a re-sort after a change
    // never reads keys of the table as it was.
    const auto invalidate = [this] { m_bKeysValid = false; };
    connect(pSource, &QAbstractItemModel::dataChanged, this, invalidate);
    connect(pSource, &QAbstractItemModel::rowsInserted, this, invalidate);
    connect(pSource, &QAbstractItemModel::rowsRemoved, this, invalidate);
    connect(pSource, &QAbstractItemModel::modelReset, this, invalidate);
    connect(pSource, &QAbstractItemModel::layoutChanged, this, invalidate);
    setSourceModel(pSource);
}

void CStudentSortModel::sort(int nColumn, Qt::SortOrder order)
{
    m_bKeysValid = false;
    QSortFilterProxyModel::sort(nColumn, order);
}

int CStudentSortModel::StoredRow(int nViewRow) const
{
    if (nViewRow < 0 || nViewRow >= rowCount())
        return -1;
    return mapToSource(index(nViewRow, 0)).row();
}

const std::vector<std::string_view>& CStudentSortModel::Keys() const
{
    if (m_bKeysValid)
        return m_keys;
    const auto* pSource = static_cast<const CStudentListModel*>(sourceModel());
    const CMemTable& table = pSource->Table();
    const int nCol = sortColumn();
    const int nRows = pSource->rowCount();
    const bool bNames = pSource->ShowsCodeNames() && g_studentFields[nCol].pTable != nullptr;
    m_keys.assign(static_cast<size_t>(nRows), std::string_view());
    m_names.clear();
    for (int nRow = 0; nRow < nRows; ++nRow)
    {
        const char* lpcszCell = table.GetCell(nRow, nCol);
        if (!bNames)
        {
            m_keys[static_cast<size_t>(nRow)] = lpcszCell;
            continue;
        }
        // A school's records share few codes: each is looked up once.
        auto [it, bInserted] = m_names.try_emplace(lpcszCell);
        if (bInserted)
            it->second = ListCellBytes(nCol, lpcszCell, true);
        m_keys[static_cast<size_t>(nRow)] = it->second;
    }
    m_bKeysValid = true;
    return m_keys;
}

bool CStudentSortModel::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    const std::vector<std::string_view>& keys = Keys();
    const auto nLeft = static_cast<size_t>(left.row());
    const auto nRight = static_cast<size_t>(right.row());
    if (nLeft >= keys.size() || nRight >= keys.size())
        return nLeft < nRight;
    const auto compare = [](std::string_view a, std::string_view b) {
        // Bytes compare unsigned, so that GBK characters sort after ASCII.
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
            return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
        });
    };
    return compare(keys[nLeft], keys[nRight]);
}
