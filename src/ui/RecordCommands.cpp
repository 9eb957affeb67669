#include "ui/RecordCommands.h"

#include <numeric>

#include "core/DataFunc.h"

CRowsCommand::CRowsCommand(CMemTable& students, const QString& text, const std::vector<int>& removed,
                           std::function<void()> afterChange)
    : QUndoCommand(text), m_students(students), m_removed(removed), m_afterChange(std::move(afterChange))
{
    m_students.CopyRowSet(m_removed, m_removedRows);
}

void CRowsCommand::TakeInserted(const std::vector<int>& inserted)
{
    m_inserted = inserted;
    m_students.CopyRowSet(m_inserted, m_insertedRows);
}

void CRowsCommand::Replace(const std::vector<int>& out, const CMemTable& in, const std::vector<int>& inPositions)
{
    m_students.DeleteRowSet(out);
    const BOOL bInserted = m_students.InsertRowSet(in, inPositions);
    Q_ASSERT(bInserted); // the table holds what the step left behind: the positions fit
    Q_UNUSED(bInserted);
    m_afterChange();
}

void CRowsCommand::undo()
{
    Replace(m_inserted, m_removedRows, m_removed);
}

void CRowsCommand::redo()
{
    if (m_bFirstRedo)
    {
        m_bFirstRedo = false;
        return;
    }
    Replace(m_removed, m_insertedRows, m_inserted);
}

std::vector<int> RowRange(int nFirst, int nEnd)
{
    std::vector<int> rows(static_cast<std::size_t>(std::max(nEnd - nFirst, 0)));
    std::iota(rows.begin(), rows.end(), nFirst);
    return rows;
}
