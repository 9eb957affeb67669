#pragma once

#include <functional>
#include <string>
#include <vector>

#include <QUndoCommand>

#include "core/BatchChange.h"

// One step of the records' history for a batch change: the rows it changed, the field, the new
// value and the values it replaced, so that undo and redo touch that one column only (quick for a
// change of 100 000 records). Pushed after the change was made, like CRowsCommand:
//   previous = ApplyBatchChange(students, rows, change);
//   stack->push(new CBatchEditCommand(students, rows, change, std::move(previous), afterChange));
class CBatchEditCommand : public QUndoCommand
{
  public:
    // Named "批量修改 N 条记录"; afterChange runs after every undo and redo: it shows and saves the table.
    CBatchEditCommand(CMemTable& students, std::vector<int> rows, FieldChange change, std::vector<std::string> previous,
                      std::function<void()> afterChange);

    void undo() override;
    void redo() override;

  private:
    CMemTable& m_students;
    std::vector<int> m_rows;
    FieldChange m_change;
    std::vector<std::string> m_previous;
    std::function<void()> m_afterChange;
    bool m_bFirstRedo = true; // the change was made before the step was pushed
};
