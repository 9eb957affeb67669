// Adding and modifying records from the main window.
#include <QItemSelectionModel>
#include <QTableView>

#include "core/DataFunc.h"
#include "ui/MainDialog.h"
#include "ui/RecordUpdate.h"
#include "ui/Support/MessageBox.h"
#include "ui/Support/StudentListModel.h"

// One editor after another until the user leaves one with "退出添加"; each accepted record is
// appended, shown and saved before the next editor opens.
void CMainDialog::OnNewRecord()
{
    const SchoolKey key = GetSchoolKey();
    while (AddStudentRow(this, key))
        m_pModel->NotifyRowsAppended();
}

// Changes the record at the selection mark, which stays set after the items were deselected.
void CMainDialog::OnModifyRecord()
{
    const int nRow = GetSelectionMark();
    if (nRow < 0 || nRow >= g_memStudents.GetRowCount())
    {
        UiMessageBox(this, QStringLiteral("没有指定要修改的项目。"), QStringLiteral("提示"));
        return;
    }
    if (ModifyStudentRow(this, nRow, GetSchoolKey()))
        m_pModel->NotifyRowChanged(nRow);
}

void CMainDialog::OnListDblClk()
{
    if (m_lstStudents->selectionModel()->hasSelection())
        OnModifyRecord();
    else
        OnNewRecord();
}
