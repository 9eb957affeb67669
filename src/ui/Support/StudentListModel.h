#pragma once

#include <QAbstractTableModel>

class CMemTable;

// The student list as a view of a memory table: item i is table row i, column c field c, shown
// as stored or, for coded fields, by name with the code in the tooltip. Nothing is copied;
// whoever changes the table tells the model what changed.
class CStudentListModel : public QAbstractTableModel
{
    Q_OBJECT
  public:
    explicit CStudentListModel(CMemTable& table, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    const CMemTable& Table() const { return *m_pTable; }
    bool ShowsCodeNames() const { return m_bNames; }
    // Shows coded fields by name (true) or as stored codes (false); every item changes.
    void SetShowCodeNames(bool bNames);

    // Rows were appended to the table (its row count is read anew).
    void NotifyRowsAppended();
    // The cells of one row changed.
    void NotifyRowChanged(int nRow);
    // Anything else (deletions, new contents): the whole list is read anew.
    void Refresh();
    // Shows another table from now on (the one a login opened), read anew.
    void SetTable(CMemTable& table);

  private:
    CMemTable* m_pTable; // never null
    int m_nRows;         // the row count the views know; the table may already hold more
    bool m_bNames = false;
};
