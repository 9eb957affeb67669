#pragma once

#include <QAbstractTableModel>
#include <QDialog>

#include "core/ImportPreview.h"

class CImportTable;
class QRadioButton;
struct ImportedRecords;

// The records of an import that fail the editor's checks, one line each as the check results show
// them: the file row, student number, name, first failing check and the values no code table holds.
class CImportFailingModel : public QAbstractTableModel
{
  public:
    CImportFailingModel(QObject* pParent, const ImportedRecords& records, const CImportPreview& preview);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

  private:
    const ImportedRecords& m_records;
    const CImportPreview& m_preview;
};

// Shows what an import would do before anything is stored: how many records were read and from
// where, how many pass the checks (the others listed), how many student numbers are stored already
// and how many fields an update would change. The registrar chooses 导入, 只导入通过检查的 or 取消,
// and what becomes of the stored numbers.
class CImportPreviewDialog : public QDialog
{
  public:
    CImportPreviewDialog(QWidget* pParent, const CImportTable& table, const ImportedRecords& records,
                         const CImportPreview& preview);

    // Valid once the dialog was accepted.
    ImportScope Scope() const { return m_scope; }
    StoredChoice Stored() const;

  private:
    void Choose(ImportScope scope);

    ImportScope m_scope = ImportScope::All;
    QRadioButton* m_pUpdate;
    QRadioButton* m_pSkip;
    QRadioButton* m_pAppend;
};
