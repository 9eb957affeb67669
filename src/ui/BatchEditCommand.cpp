#include "ui/BatchEditCommand.h"

#include "core/DataFunc.h"

CBatchEditCommand::CBatchEditCommand(CMemTable& students, std::vector<int> rows, FieldChange change,
                                     std::vector<std::string> previous, std::function<void()> afterChange)
    : QUndoCommand(QStringLiteral("批量修改 %1 条记录").arg(rows.size())), m_students(students),
      m_rows(std::move(rows)), m_change(std::move(change)), m_previous(std::move(previous)),
      m_afterChange(std::move(afterChange))
{
}

void CBatchEditCommand::undo()
{
    RevertBatchChange(m_students, m_rows, m_change.nField, m_previous);
    m_afterChange();
}

void CBatchEditCommand::redo()
{
    if (m_bFirstRedo)
    {
        m_bFirstRedo = false;
        return;
    }
    ApplyBatchChange(m_students, m_rows, m_change);
    m_afterChange();
}
