#pragma once

#include <functional>

class COpenSchool;
class QWidget;

// The one record-update flow behind the main window and both search dialogs.

// Runs the record editor in add mode once. On OK appends the record (values converted with
// LookupFieldCode) as a new row of the school's table and saves. True when a row was appended.
bool AddStudentRow(QWidget* parent, COpenSchool& school);

// Runs the record editor in modify mode for row nRow of the school's table (codes shown as names,
// the derived work province and major category, the dates). On OK rewrites all 24 cells of the row
// and saves. True when the row was rewritten.
bool ModifyStudentRow(QWidget* parent, int nRow, COpenSchool& school);

// How a window beside the main list modifies row nRow, the editor parented to parent; true when
// the row was rewritten. On its own a window runs ModifyStudentRow with the open school; the
// main window hands one that makes the change one of its undo steps.
using RecordModifier = std::function<bool(QWidget* parent, int nRow)>;
