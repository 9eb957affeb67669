#pragma once

#include <string>

#include <QTableWidget>

#include "ui/RecordUpdate.h"

class CMemTable;
class COpenSchool;

// The result list of the two search dialogs: the 24 student columns, one item per found record
// holding a copy of its cells, coded fields as codes or names as the main list shows them. Each item also keeps the
// exact bytes of its student number, which lead back to the record in the open school's table. A double click with an
// item selected modifies the record behind the selection mark through the record editor and saves the school (or
// through the record modifier set).
class CFoundRecordList : public QTableWidget
{
    Q_OBJECT
  public:
    // bSorted: an added item takes its place in ascending order of its student number; items
    // that are changed later keep their place.
    CFoundRecordList(COpenSchool& school, bool bSorted, QWidget* parent = nullptr);

    // Adds an item showing row nRow of the table; returns the item's index.
    // REQUIRES: 0 <= nRow < table.GetRowCount().
    int AddRecord(const CMemTable& table, int nRow);
    // Whether an item's student number equals strNumber byte for byte.
    bool ContainsNumber(const std::string& strNumber) const;
    // The student number of item nItem as stored. REQUIRES: 0 <= nItem < rowCount().
    std::string NumberOf(int nItem) const;
    // The row of the school's table behind item nItem: the last row whose XSBSH equals the item's
    // student number, or the item's index when no row does.
    int TableRowOf(int nItem) const;

    // Modifies the record behind the selection mark (the current item); "没有指定要修改的项目。"
    // when there is none. Returns the table row rewritten, or -1.
    int ModifyMarkedRecord();
    // Replaces how the record is modified (see RecordModifier).
    void SetRecordModifier(RecordModifier modify) { m_modify = std::move(modify); }

  protected:
    void mouseDoubleClickEvent(QMouseEvent* pEvent) override;

  private:
    void SetRecord(int nItem, const CMemTable& table, int nRow);

    COpenSchool& m_school;
    RecordModifier m_modify;
    bool m_bSorted;
    bool m_bNames; // coded fields by name, the code in the tooltip
};
