// Adding and modifying records from the main window.
#include <QItemSelectionModel>
#include <QTableView>

#include "core/DataFunc.h"
#include "ui/MainDialog.h"
#include "ui/RecordCommands.h"
#include "ui/RecordUpdate.h"
#include "ui/Support/Seams/MessageBox.h"
#include "ui/Support/StudentListModel.h"

// One editor after another until the user leaves one with "退出添加"; each accepted record is
// appended, shown and saved before the next editor opens.
void CMainDialog::OnNewRecord()
{
    for (;;)
    {
        auto pStep = BeginStep(QStringLiteral("新增 1 条记录"), {});
        if (!AddStudentRow(this, m_school))
            return;
        m_pModel->NotifyRowsAppended();
        FinishStep(std::move(pStep), {m_school.Students().GetRowCount() - 1});
    }
}

// Changes the record at the selection mark, which stays set after the items were deselected.
void CMainDialog::OnModifyRecord()
{
    const int nRow = GetSelectionMark();
    if (nRow < 0 || nRow >= m_school.Students().GetRowCount())
    {
        UiMessageBox(this, QStringLiteral("没有指定要修改的项目。"), QStringLiteral("提示"));
        return;
    }
    ModifyRowAsStep(this, nRow);
}

// Every modification, from the list or from a window beside it, is one undo step.
bool CMainDialog::ModifyRowAsStep(QWidget* pParent, int nRow)
{
    auto pStep = BeginStep(QStringLiteral("修改 1 条记录"), {nRow});
    if (!ModifyStudentRow(pParent, nRow, m_school))
        return false;
    m_pModel->NotifyRowChanged(nRow);
    FinishStep(std::move(pStep), {nRow});
    return true;
}

RecordModifier CMainDialog::StepModifier()
{
    return [this](QWidget* pParent, int nRow) { return ModifyRowAsStep(pParent, nRow); };
}

void CMainDialog::OnListDblClk()
{
    if (m_lstStudents->selectionModel()->hasSelection())
        OnModifyRecord();
    else
        OnNewRecord();
}
