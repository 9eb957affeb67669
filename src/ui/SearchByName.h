#pragma once

#include <string>

#include "ui/SearchDialog.h"

class QComboBox;
class QLineEdit;

// Search by major and name: lists every stored record with the chosen major and the typed name,
// in table order; a double click on one modifies it through the record editor. The major is
// chosen through its category; both stay chosen between searches. Opens maximised.
class CSearchByName : public CSearchDialog
{
    Q_OBJECT
  public:
    // Searches the open school, and saves it after every change made here.
    explicit CSearchByName(COpenSchool& school, QWidget* parent = nullptr);
    ~CSearchByName() override;

  protected:
    void OnInitDialog() override;
    void OnOK() override;
    // Refills the majors with the chosen category's rows (the category's own row first).
    void OnSelendokCategory();

  private:
    void SearchByMajorAndName(const std::string& strMajorCode, const std::string& strName);

    QComboBox* m_cboCategory;
    QComboBox* m_cboMajor;
    QLineEdit* m_editName;
};
