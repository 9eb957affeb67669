#pragma once

#include <vector>

#include <QAbstractTableModel>
#include <QString>

class CMemTable;

// The lines of the check results: one per failing record, in stored order.
class CCheckResultsModel : public QAbstractTableModel
{
    Q_OBJECT
  public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Checks every row of the table (as a modified record: no duplicate check) and keeps the
    // failing ones.
    void CheckAll(const CMemTable& table);
    // REQUIRES: 0 <= nLine < rowCount().
    int StoredRow(int nLine) const { return m_lines[static_cast<size_t>(nLine)].nRow; }

  private:
    struct Line
    {
        int nRow;
        QString number;
        QString name;
        QString message;
        QString badCodes;
    };
    std::vector<Line> m_lines;
};
