// The main window's own commands: delete, select all, show and hide the list, the manual, the
// about box and exit.
#include <QItemSelectionModel>
#include <QTableView>

#include "core/DataFunc.h"
#include "platform/ProgramDir.h"
#include "ui/AboutDialog.h"
#include "ui/MainDialog.h"
#include "ui/RecordCommands.h"
#include "ui/Support/SaveStudents.h"
#include "ui/Support/Seams/MessageBox.h"
#include "ui/Support/Seams/ShellOpen.h"
#include "ui/Support/StudentListModel.h"
#include "ui/Support/StudentSortModel.h"

namespace
{
// The message for a failed opening of the manual, by the shell's result.
QString ManualErrorText(int nResult)
{
    switch (nResult)
    {
    case ShellResult::OutOfResources:
    case ShellResult::OutOfMemory:
        return QStringLiteral("没有足够的资源去执行程序或打开文档");
    case ShellResult::FileNotFound:
        return QStringLiteral("不能找到要执行的程序或要打开的文档 ，因为文件不存在。");
    case ShellResult::PathNotFound:
        return QStringLiteral("不能找到要执行的程序或要打开的文档 ，因为路径非法。");
    case ShellResult::AccessDenied:
    case ShellResult::SharingViolation:
        return QStringLiteral("不能存取文件，它被操作系统占用。");
    case ShellResult::BadProgram:
        return QStringLiteral("要执行的程序已经损坏，请重新下载。");
    case ShellResult::AssociationIncomplete:
    case ShellResult::NoAssociation:
        return QStringLiteral("文件关联无效，不知道如何处理文件，可能原因你的注册表信息不全。");
    case ShellResult::DdeTimeout:
        return QStringLiteral("打开或执行文件超时，可能原因：系统忙。");
    case ShellResult::DdeFailed:
        return QStringLiteral("DDE交易失败，不能打开或执行文件，可能原因：系统不稳定，请重启机器后再试。");
    case ShellResult::DdeBusy:
        return QStringLiteral("DDE交易忙，不能打开或执行文件，可能原因：系统忙。");
    case ShellResult::LibraryMissing:
        return QStringLiteral("当前系统至少缺少一个%1需要的动态链接库。").arg(QStringLiteral("Varnholt"));
    default:
        return QStringLiteral("调用ShellExecute失败，错误码为%1。").arg(nResult);
    }
}
} // namespace

void CMainDialog::OnDeleteRecord()
{
    const std::vector<int> rows = GetSelectedRows();
    if (rows.empty())
    {
        UiMessageBox(this, QStringLiteral("没有指定要删除的项目。"), QStringLiteral("提示"));
        return;
    }
    if (UiMessageBox(this, QStringLiteral("真的要删除该项目？"), QStringLiteral("提示"), MsgButtons::YesNo,
                     MsgIcon::None, true) != IDYES)
        return;
    // Every selected record goes in one pass over the table, then one save.
    auto pStep = BeginStep(QStringLiteral("删除 %1 条记录").arg(rows.size()), rows);
    m_school.Students().DeleteRowSet(rows);
    FillList();
    // The deleted records leave no selection mark behind: modify then asks which record.
    m_lstStudents->setCurrentIndex(QModelIndex());
    SaveStudentsOrReport(this, m_school, QStringLiteral("删除 %1 条记录前").arg(rows.size()));
    FinishStep(std::move(pStep), {});
}

void CMainDialog::OnSelectAll()
{
    const int nRows = m_pSortModel->rowCount();
    if (nRows == 0)
        return;
    // One range for all rows; the current row (the selection mark) stays where it was.
    const QItemSelection all(m_pSortModel->index(0, 0),
                             m_pSortModel->index(nRows - 1, m_pSortModel->columnCount() - 1));
    m_lstStudents->selectionModel()->select(all, QItemSelectionModel::Select);
}

void CMainDialog::OnShowList()
{
    m_lstStudents->show();
}

void CMainDialog::OnHideList()
{
    m_lstStudents->hide();
}

void CMainDialog::OnHelpTopics()
{
    const QString path = QString::fromStdString(GetProgramDirectory()) + QStringLiteral("/Varnholt使用手册.mht");
    const int nResult = UiShellOpen(path);
    if (ShellResult::IsOpened(nResult))
        return;
    UiMessageBox(this, ManualErrorText(nResult), QStringLiteral("错误"), MsgButtons::Ok, MsgIcon::Exclamation);
}

void CMainDialog::OnAbout()
{
    CAboutDialog dlg(this);
    dlg.exec();
}

void CMainDialog::OnOK()
{
    // Enter does not close the main window.
}

void CMainDialog::OnCancel()
{
    if (m_school.HasUnsavedChange())
    {
        OnExitWithUnsavedChange();
        return;
    }
    if (UiMessageBox(this, QStringLiteral("这将退出登记软件，是否真的要退出吗?"), QStringLiteral("提示"),
                     MsgButtons::YesNo, MsgIcon::None, true) == IDYES)
        done(QDialog::Rejected);
}

void CMainDialog::OnExitWithUnsavedChange()
{
    const int nAnswer =
        UiMessageBox(this,
                     QStringLiteral("最近的修改没有保存到数据文件（上次保存失败），现在退出会丢失这些修改。\n\n"
                                    "是：再保存一次，保存成功后退出\n否：不保存，直接退出（修改将丢失）\n取消：不退出"),
                     QStringLiteral("提示"), MsgButtons::YesNoCancel, MsgIcon::Exclamation);
    // A failed retry has shown its own message; the window stays with the change.
    if (nAnswer == IDNO || (nAnswer == IDYES && SaveStudentsOrReport(this, m_school)))
        done(QDialog::Rejected);
}
