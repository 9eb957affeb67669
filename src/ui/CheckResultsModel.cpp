#include "ui/CheckResultsModel.h"

#include "core/DataFunc.h"
#include "core/StoredRecordCheck.h"
#include "ui/Support/GbkText.h"

namespace
{
const char16_t* const kTitles[] = {u"行号", u"学号", u"姓名", u"问题", u"不在代码表中的值"};
constexpr int kColumns = 5;

// "性别：3；专业：99" for the fields whose values no table holds.
QString BadCodesText(const CMemTable& table, int nRow, const std::vector<int>& fields)
{
    QStringList parts;
    for (int nField : fields)
        parts << FromGbk(g_studentFields[nField].lpcszListLabel) + u'：' + FromGbk(table.GetCell(nRow, nField));
    return parts.join(u'；');
}
} // namespace

int CCheckResultsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_lines.size());
}

int CCheckResultsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumns;
}

QVariant CCheckResultsModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount())
        return {};
    const Line& line = m_lines[static_cast<size_t>(index.row())];
    switch (index.column())
    {
    case 0:
        return line.nRow + 1;
    case 1:
        return line.number;
    case 2:
        return line.name;
    case 3:
        return line.message;
    default:
        return line.badCodes;
    }
}

QVariant CCheckResultsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < kColumns)
        return QString::fromUtf16(kTitles[section]);
    return QAbstractTableModel::headerData(section, orientation, role);
}

void CCheckResultsModel::CheckAll(const CMemTable& table)
{
    beginResetModel();
    m_lines.clear();
    for (const auto& [nRow, problems] : CheckStoredRecords(table))
        m_lines.push_back({nRow, FromGbk(table.GetCell(nRow, Field::XSBSH)), FromGbk(table.GetCell(nRow, Field::XM)),
                           problems.first.lpcszMessage ? FromGbk(problems.first.lpcszMessage) : QString(),
                           BadCodesText(table, nRow, problems.badCodeFields)});
    endResetModel();
}
