// The main window's history of record changes (undo, redo) and the restore of backups.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QUndoStack>

#include "core/BackupRestore.h"
#include "core/DataFunc.h"
#include "core/SchoolBackups.h"
#include "platform/ErrorText.h"
#include "platform/LastError.h"
#include "ui/MainDialog.h"
#include "ui/RecordCommands.h"
#include "ui/RestoreDialog.h"
#include "ui/Support/BackupReport.h"
#include "ui/Support/GbkText.h"
#include "ui/Support/SaveStudents.h"
#include "ui/Support/Seams/MessageBox.h"

namespace
{
QAction* NewAction(QWidget* pParent, const QString& name, const QKeySequence& keys)
{
    auto* pAction = new QAction(pParent);
    pAction->setObjectName(name);
    pAction->setShortcut(keys);
    pAction->setShortcutContext(Qt::WindowShortcut);
    return pAction;
}

QMenu* MenuOf(QMenuBar* pMenuBar, int nIndex)
{
    return pMenuBar->actions().at(nIndex)->menu();
}
} // namespace

void CMainDialog::SetUpHistory()
{
    m_pHistory = new QUndoStack(this);
    m_pUndoAction = NewAction(this, QStringLiteral("undo"), QKeySequence(Qt::CTRL | Qt::Key_Z));
    m_pRedoAction = NewAction(this, QStringLiteral("redo"), QKeySequence(Qt::CTRL | Qt::Key_Y));
    connect(m_pUndoAction, &QAction::triggered, m_pHistory, &QUndoStack::undo);
    connect(m_pRedoAction, &QAction::triggered, m_pHistory, &QUndoStack::redo);
    connect(m_pHistory, &QUndoStack::indexChanged, this, &CMainDialog::UpdateHistoryActions);
    UpdateHistoryActions();

    QMenu* pEdit = MenuOf(m_pMenuBar, 1);
    QAction* pFirst = pEdit->actions().value(0);
    pEdit->insertAction(pFirst, m_pUndoAction);
    pEdit->insertAction(pFirst, m_pRedoAction);
    pEdit->insertSeparator(pFirst)->setObjectName(QStringLiteral("historySeparator"));

    // 恢复备份... goes just above 退出系统, set apart by separators.
    QMenu* pFile = MenuOf(m_pMenuBar, 0);
    QAction* pExit = pFile->actions().constLast();
    auto* pRestore = new QAction(QStringLiteral("恢复备份(&B)..."), this);
    pRestore->setObjectName(QStringLiteral("restoreBackup"));
    connect(pRestore, &QAction::triggered, this, &CMainDialog::OnRestoreBackup);
    pFile->insertAction(pExit, pRestore);
    pFile->insertSeparator(pExit)->setObjectName(QStringLiteral("restoreSeparator"));
}

void CMainDialog::UpdateHistoryActions()
{
    // The items name the step: "撤销删除 12 条记录(&U)", "重做导入 35 条记录(&R)".
    m_pUndoAction->setText(QStringLiteral("撤销%1(&U)").arg(m_pHistory->undoText()));
    m_pUndoAction->setEnabled(m_pHistory->canUndo());
    m_pRedoAction->setText(QStringLiteral("重做%1(&R)").arg(m_pHistory->redoText()));
    m_pRedoAction->setEnabled(m_pHistory->canRedo());
}

std::unique_ptr<CRowsCommand> CMainDialog::BeginStep(const QString& text, const std::vector<int>& removed)
{
    // Every undo and redo shows the table anew and saves it at once, like every other change.
    return std::make_unique<CRowsCommand>(m_school.Students(), text, removed, [this, text] {
        FillList();
        SaveStudentsOrReport(this, m_school, QStringLiteral("撤销或重做%1前").arg(text));
    });
}

void CMainDialog::FinishStep(std::unique_ptr<CRowsCommand> pStep, const std::vector<int>& inserted)
{
    pStep->TakeInserted(inserted);
    m_pHistory->push(pStep.release());
}

void CMainDialog::OnRestoreBackup()
{
    std::string strId;
    std::string strBackupPassword;
    {
        CRestoreDialog dlg(m_school, this);
        if (dlg.exec() != QDialog::Accepted)
            return;
        strId = dlg.GetChosenId();
        strBackupPassword = dlg.GetBackupPassword();
    }
    auto pStep = BeginStep(QStringLiteral("恢复备份"), RowRange(0, m_school.Students().GetRowCount()));
    const bool bBackupFailing = m_school.BackupFailing();
    const SaveResult restored = m_school.Restore(strId, strBackupPassword);
    if (!restored)
    {
        const DWORD dwCode = restored.dwError;
        const QString text =
            dwCode == ERROR_INVALID_PASSWORD ? QStringLiteral("密码不正确，请检查。")
            : dwCode == ERROR_INVALID_DATA || dwCode == ERROR_FILE_CORRUPT
                ? QStringLiteral("这个备份已损坏，不能恢复。")
                : QStringLiteral("恢复备份失败（%1），数据文件没有改变。").arg(FromGbk(GetErrorReasonText(dwCode)));
        UiMessageBox(this, text, QStringLiteral("提示"));
        return;
    }
    FillList();
    ReportBackupFailure(this, restored, bBackupFailing);
    FinishStep(std::move(pStep), RowRange(0, m_school.Students().GetRowCount()));
    // Told like an import's outcome, in the words of the command line's restore.
    const QString summary = QStringLiteral("已恢复备份 %1，共 %2 条记录。")
                                .arg(QString::fromStdString(strId))
                                .arg(m_school.Students().GetRowCount());
    m_stcStatus->setText(summary);
    UiMessageBox(this, summary, QStringLiteral("提示"));
}
