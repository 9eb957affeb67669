#pragma once

#include <functional>
#include <vector>

#include <QUndoCommand>

#include "core/MemTable.h"

// One step of the records' history: the rows a change took out of the students' table and the rows it
// put in, each with their positions and exact bytes, so that undo and redo give back the table
// exactly as it was. Built around a change the caller makes itself:
//   CRowsCommand* pStep = new CRowsCommand(students, text, rowsAboutToGo, afterChange);
//   ... change students ...
//   pStep->TakeInserted(rowsNowThere);  stack->push(pStep);   // push does not apply it again
class CRowsCommand : public QUndoCommand
{
  public:
    // Copies the rows that the coming change removes (positions in the table as it is now,
    // ascending). afterChange runs after every undo and redo: it shows and saves the table.
    CRowsCommand(CMemTable& students, const QString& text, const std::vector<int>& removed,
                 std::function<void()> afterChange);

    // After the change: copies the rows it put in (positions in the table as it is now, ascending).
    void TakeInserted(const std::vector<int>& inserted);

    void undo() override;
    void redo() override;

  private:
    // Takes rows out at one set of positions and puts the other rows in at theirs.
    void Replace(const std::vector<int>& out, const CMemTable& in, const std::vector<int>& inPositions);

    CMemTable& m_students;
    std::vector<int> m_removed;
    CMemTable m_removedRows;
    std::vector<int> m_inserted;
    CMemTable m_insertedRows;
    std::function<void()> m_afterChange;
    bool m_bFirstRedo = true; // the change was made before the step was pushed
};

// Positions nFirst, nFirst + 1, ..., nEnd - 1.
std::vector<int> RowRange(int nFirst, int nEnd);
