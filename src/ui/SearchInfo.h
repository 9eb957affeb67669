#pragma once

#include <string>

#include "ui/SearchDialog.h"

class QLineEdit;

// Search by student number: lists the stored record with the typed number (all 24 fields as
// stored); a double click on it modifies it through the record editor. Opens maximised.
class CSearchInfo : public CSearchDialog
{
    Q_OBJECT
  public:
    // Searches the open school, and saves it after every change made here.
    explicit CSearchInfo(COpenSchool& school, QWidget* parent = nullptr);
    ~CSearchInfo() override;

  protected:
    void OnInitDialog() override;
    void OnOK() override;

  private:
    void SearchByNumber(const std::string& strNumber);

    QLineEdit* m_editNumber;
};
