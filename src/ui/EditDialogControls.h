#pragma once

#include <QString>

class QComboBox;
class QHBoxLayout;
class QLineEdit;
class QWidget;

// The record editor's control of each field, built and filled in one place: the editor and the
// batch change use the same drop-down lists (with their cascades), date pickers and edits with
// their byte limits and counters.

// Which control a field gets: a drop-down list for the coded fields and the salary band, a date
// picker for the two dates, else an edit (digits only for the student number, school code and postal code).
enum class FieldControlKind
{
    Edit,
    DigitsEdit,
    List,
    Date
};
FieldControlKind ControlKindOf(int nField);

// A new control for the field (no parent yet): a non-editable QComboBox (wide when bWide), a
// CDatePicker, or a QLineEdit that takes at most the field's GBK bytes.
QWidget* CreateFieldControl(int nField, bool bWide = false);

// The edit with its byte counter (object name counterName) beside it, in one row.
QHBoxLayout* WithByteCounter(QLineEdit* pEdit, int nField, QWidget* pParent, const QString& counterName);

// Fills a field's list with the names of its table (the origin without "--不限--" and without a
// selection; the work region empty until its province is chosen; the salary bands); entry 0 chosen.
void FillFieldList(QComboBox* pCombo, int nField);

// The two lists that filter another: the provinces before the work region, the major categories
// before the major. Whether the field has one.
bool HasFilterList(int nField);
// Fills the filter list of such a field.
void FillFilterList(QComboBox* pFilter, int nField);
// Refills the field's list with the entries of the filter's choice (the editor's cascade).
void FollowFilterList(const QComboBox* pFilter, int nField, QComboBox* pList);
