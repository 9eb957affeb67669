#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <QSortFilterProxyModel>

// The order in which a student list shows its records: stored order (sort column -1), or sorted by
// one column as shown (codes or names), ascending or descending; records with equal values keep
// their stored order. Sorting never touches the table. Values compare as their GBK bytes, which
// puts Chinese names in the order of their readings for the common characters.
class CStudentSortModel : public QSortFilterProxyModel
{
    Q_OBJECT
  public:
    // pSource must be a CStudentListModel (it decides whether names are shown).
    explicit CStudentSortModel(QAbstractItemModel* pSource, QObject* parent = nullptr);

    void sort(int nColumn, Qt::SortOrder order = Qt::AscendingOrder) override;

    // The stored row behind view row nViewRow, or -1.
    int StoredRow(int nViewRow) const;

  protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

  private:
    // The sort keys of every stored row for the sort column, built when first needed after a change.
    const std::vector<std::string_view>& Keys() const;

    mutable std::vector<std::string_view> m_keys;
    mutable std::unordered_map<std::string, std::string> m_names; // code -> name, for the keys
    mutable bool m_bKeysValid = false;
};
