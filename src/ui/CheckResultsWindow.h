#pragma once

#include <QWidget>

#include "ui/RecordUpdate.h"

class COpenSchool;
class QLabel;
class QTableView;
class CCheckResultsModel;

// The result of checking every stored record as the record editor accepts a record: one line per
// failing record (row, student number, name, the first failing check's message, every coded value
// that is not in its table), and below it how many failed ("全部N条记录都通过了检查。" when none did)
// with a "关闭" button. A double click (or Enter) opens the record in the editor; accepting it saves
// the record and checks everything again. A panel the main window docks below its list, so the list
// and the status line stay in view and keep working; 关闭 and Escape close it.
class CCheckResultsWindow : public QWidget
{
    Q_OBJECT
  public:
    // Checks the open school's table; a record modified here saves the school.
    explicit CCheckResultsWindow(COpenSchool& school, QWidget* parent = nullptr);
    ~CCheckResultsWindow() override;

    // Checks every row of the school's table anew and shows the failing ones; emits Checked.
    void Recheck();
    int FailingCount() const;
    // The stored row shown on line nLine, or -1.
    int StoredRowOf(int nLine) const;
    // Opens the record on line nLine in the editor; on OK the record is saved and everything is
    // checked again.
    void ModifyLine(int nLine);
    // Replaces how the record is modified (see RecordModifier).
    void SetRecordModifier(RecordModifier modify) { m_modify = std::move(modify); }

  signals:
    // After every check: how many records are stored and how many fail.
    void Checked(int nRecords, int nFailing);
    // The panel was closed (关闭, Escape or close()).
    void Closed();

  protected:
    void closeEvent(QCloseEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;

  private:
    COpenSchool& m_school;
    RecordModifier m_modify;
    CCheckResultsModel* m_pModel;
    QTableView* m_lstResults;
    QLabel* m_stcSummary;
};
