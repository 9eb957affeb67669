// The main window's batch change: one field set to one value for every selected record.
#include <QUndoStack>

#include "core/BatchChange.h"
#include "core/DataFunc.h"
#include "ui/BatchEditCommand.h"
#include "ui/BatchEditDialog.h"
#include "ui/MainDialog.h"
#include "ui/Support/SaveStudents.h"
#include "ui/Support/Seams/MessageBox.h"

void CMainDialog::OnBatchModify()
{
    const std::vector<int> rows = GetSelectedRows();
    if (rows.empty())
    {
        UiMessageBox(this, QStringLiteral("没有选中要修改的记录。"), QStringLiteral("提示"));
        return;
    }
    FieldChange change;
    {
        CBatchEditDialog dlg(m_school.Students(), rows, this);
        if (dlg.exec() != QDialog::Accepted)
            return;
        change = dlg.GetChange();
    }
    // Only the records that change are rewritten, and only they come back with undo.
    std::vector<int> changing = RowsThatChange(m_school.Students(), rows, change);
    std::vector<std::string> previous = ApplyBatchChange(m_school.Students(), changing, change);
    const auto afterChange = [this] {
        FillList();
        SaveStudentsOrReport(this, m_school, QStringLiteral("撤销或重做批量修改前"));
    };
    FillList();
    SaveStudentsOrReport(this, m_school, QStringLiteral("批量修改前"));
    m_pHistory->push(new CBatchEditCommand(m_school.Students(), std::move(changing), std::move(change),
                                           std::move(previous), afterChange));
}
