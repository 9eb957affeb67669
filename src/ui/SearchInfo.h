#pragma once

#include <string>

#include "ui/Layout/SizingDialog.h"
#include "ui/Support/SaveStudents.h"

class QLineEdit;
class CFoundRecordList;

// Search by student number: lists the stored record with the typed number (all 24 fields as
// stored); a double click on it modifies it through the record editor. Opens maximised.
class CSearchInfo : public CSizingDialog
{
    Q_OBJECT
  public:
    // The key saves every change made here (the school's code and login password).
    explicit CSearchInfo(const SchoolKey& key, QWidget* parent = nullptr);
    ~CSearchInfo() override;

    void accept() override { OnOK(); } // Enter and button 1 search; the dialog stays open

  signals:
    // Row nRow of g_memStudents was changed and saved from this dialog.
    void RecordModified(int nRow);

  protected:
    void OnInitDialog() override;
    void OnOK();

  private:
    void SearchByNumber(const std::string& strNumber);

    QLineEdit* m_editNumber;
    CFoundRecordList* m_lstFound;
};
