#pragma once

#include <array>

#include <QDialog>

#include "core/ColumnMapping.h"

class CImportTable;
class QComboBox;
class QLabel;
class QTableWidget;

// The column step of an import whose header does not name every field: one drop-down of the file's
// columns for each of the 24 fields, the first five records as they will be stored, and the file's
// columns that nothing takes.
class CImportColumnsDialog : public QDialog
{
  public:
    CImportColumnsDialog(QWidget* pParent, const CImportTable& table, const ColumnMapping& initial);

    ColumnMapping Mapping() const;
    // REQUIRES: nCol is a column the table uses, or -1 for none.
    void ChooseColumn(int nField, int nCol);

  private:
    void ShowChoice();

    const CImportTable& m_table;
    std::array<QComboBox*, STUDENT_FIELD_COUNT> m_columns{};
    QTableWidget* m_pPreview;
    QLabel* m_pIgnored;
};
