#pragma once

#include <memory>
#include <vector>

#include <QPointer>

#include "ui/Layout/SizingDialog.h"
#include "ui/LoginDialog.h"
#include "ui/RecordUpdate.h"

class QLabel;
class QMenu;
class QMenuBar;
class QAction;
class QSplitter;
class QTableView;
class CCheckResultsWindow;
class QUndoStack;
class CRowsCommand;
class CStudentListModel;
class CStudentSortModel;
struct ColumnMapping;
struct ImportActions;
struct ImportedRecords;
struct PrintJob;

// The program's main window: logs the school in before it shows, then lists the school's records
// (the list mirrors the open school's table row for row) and offers the commands on them. Every command that
// changes records changes the table, tells the list, and saves the whole table at once.
class CMainDialog : public CSizingDialog
{
    Q_OBJECT
  public:
    explicit CMainDialog(QWidget* pParent = nullptr);
    ~CMainDialog() override;

    // The list may show the records sorted; these two are the one place where the rows of the
    // view are turned into rows of the school's table, and every record command goes through them.
    // The selection mark: the stored row of the item most recently selected or focused (the view's
    // current row), even when it is no longer selected; -1 when there is none.
    int GetSelectionMark() const;
    // The stored rows of the selected items, ascending.
    std::vector<int> GetSelectedRows() const;

    // Reads the whole table anew: after a login, an import, or a search dialog that changed rows.
    void FillList();

    // The list's context menu (owned by the caller): modify and delete are greyed without a selection mark.
    QMenu* CreateListContextMenu();

    void accept() override { OnOK(); }     // Enter: does nothing
    void reject() override { OnCancel(); } // Escape, the close box, Alt+F4 and "退出系统"

    // Commands of the menu bar and the list.
    void OnNewRecord();
    void OnModifyRecord();
    void OnDeleteRecord();
    void OnSelectAll();
    // 编辑 → 批量修改选中记录...: one field set to one value for every selected record, after the
    // editor's checks for the field; saved at once and one step of the history.
    void OnBatchModify();
    void OnExportCsv();
    void OnImportCsv();
    void OnSearchByNumber();
    void OnSearchByMajor();
    void OnShowList();
    void OnHideList();
    // Shows coded fields by name or by code, as the checkable item says, and remembers the choice.
    void OnShowCodeNames();
    // Shows the records in stored order again.
    void OnStoredOrder();
    // Checks every stored record and opens the results window beside the list.
    void OnCheckAllRecords();
    void OnHelpTopics();
    void OnAbout();
    void OnListDblClk();
    void OnListRClick();
    // 文件 → 恢复备份...: picks a backup, makes it the data file, shows it; a step of the history.
    void OnRestoreBackup();
    // 查询 → 统计...: the statistics window over the records (or the selected ones).
    void OnStatistics();
    // 文件 → 打印... and 文件 → 导出PDF...: the list or the verification sheets, after a preview or
    // into a PDF file.
    void OnPrint();
    void OnExportPdf();
    void OnOK();
    // The exit question; on Yes the window, and with it the program, ends. While a change is unsaved
    // the question says so and offers to save again first.
    void OnCancel();

  protected:
    // Logs in, then lays out and fills the list and opens maximised with the list hidden. A cancelled
    // login ends the window at once, without the exit question.
    void OnInitDialog() override;
    // Runs the login and takes the school it opened; IDOK or IDCANCEL. Tests replace it to log in
    // without a modal loop.
    virtual int RunLogin();
    // After the login dialog ended: takes the school it opened. IDOK, or IDCANCEL when it opened none.
    int TakeSchoolOfLogin();
    // Makes the school the one this window works on, its table the one the list shows.
    void UseSchool(COpenSchool school);

    void resizeEvent(QResizeEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override; // Enter on a selected record modifies it
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

    // The school this window works on, from the login to the window's end; the record flows, the
    // searches and the check window are handed it.
    COpenSchool m_school;
    CLoginDialog m_dlgLogin;
    QMenuBar* m_pMenuBar;
    QTableView* m_lstStudents;  // the student list, id 1018
    QSplitter* m_pListSplitter; // the list, and below it the check results while they are open
    QLabel* m_stcStatus;        // the status line, id 101
    CStudentListModel* m_pModel;
    CStudentSortModel* m_pSortModel; // the order the list shows
    QPointer<CCheckResultsWindow> m_pCheckWindow;
    // The history of the records' changes while the school is open: 编辑 → 撤销 / 重做.
    QUndoStack* m_pHistory;
    QAction* m_pUndoAction;
    QAction* m_pRedoAction;

  private:
    // The exit question while the last save failed: Yes saves again and quits when that works, No
    // quits and drops the change, Cancel (and Escape) stays.
    void OnExitWithUnsavedChange();
    QMenuBar* CreateMenuBar();
    // Adds 撤销, 重做 and 恢复备份... to the menus, wired to the history.
    void SetUpHistory();
    void UpdateHistoryActions();
    // A step around a change about to be made: copies the rows it will remove (positions now).
    std::unique_ptr<CRowsCommand> BeginStep(const QString& text, const std::vector<int>& removed);
    // After the change: copies the rows it put in (positions now) and adds the step to the history.
    void FinishStep(std::unique_ptr<CRowsCommand> pStep, const std::vector<int>& inserted);
    // Modifies row nRow in the editor (parented to pParent) as one undo step; true when rewritten.
    bool ModifyRowAsStep(QWidget* pParent, int nRow);
    // ModifyRowAsStep for the windows beside the list (searches, the check results).
    RecordModifier StepModifier();
    // Makes an import's changes as one step of the history, saves, and says what was done.
    void StoreImport(const ImportActions& actions, const ImportedRecords& records, const ColumnMapping& mapping);
    void SetUpListColumns();
    // The list or sheets the user chooses to print, of the records in the list's order; false when
    // cancelled or nothing is to be printed (after saying so).
    bool ChoosePrintJob(const QString& caption, PrintJob& job);
    // While the check window is open, every change of the records checks them again.
    void OnRecordsChanged();
    void ShowCheckCounts(int nRecords, int nFailing);
    // The status line's own text, shown while no check window reports to it.
    void ShowNormalStatus();
    // The check window was closed: the status line goes back, the window goes.
    void OnCheckWindowClosed();
    int m_nMenuHeight;
};
