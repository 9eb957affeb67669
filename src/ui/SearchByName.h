#pragma once

#include <string>

#include "ui/Layout/SizingDialog.h"
#include "ui/Support/SaveStudents.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class CFoundRecordList;

// Search by major and name: lists every stored record with the chosen major and the typed name,
// in table order; a double click on one modifies it through the record editor. The major is
// chosen through its category; both stay chosen between searches. Opens maximised.
class CSearchByName : public CSizingDialog
{
    Q_OBJECT
  public:
    // The key saves every change made here (the school's code and login password).
    explicit CSearchByName(const SchoolKey& key, QWidget* parent = nullptr);
    ~CSearchByName() override;

    void accept() override { OnOK(); } // Enter and button 1 search; the dialog stays open

  signals:
    // Row nRow of g_memStudents was changed and saved from this dialog.
    void RecordModified(int nRow);

  protected:
    void OnInitDialog() override;
    void OnOK();
    // Refills the majors with the chosen category's rows (the category's own row first).
    void OnSelendokCategory();

  private:
    void SearchByMajorAndName(const std::string& strMajorCode, const std::string& strName);

    QComboBox* m_cboCategory;
    QComboBox* m_cboMajor;
    QLineEdit* m_editName;
    CFoundRecordList* m_lstFound;
    QPushButton* m_btnOK;
    QPushButton* m_btnExit;
};
