#pragma once

#include <QString>

#include "ui/Layout/SizingDialog.h"
#include "ui/RecordUpdate.h"

class COpenSchool;
class QPushButton;
class CFoundRecordList;

// What the two search dialogs share: the list of found records (a double click modifies one and
// saves the open school, or through the record modifier set), the search button (1, default)
// and the exit button (2), and Enter searching while the dialog stays open. The derived dialog
// creates its inputs, then these controls, places them and runs its search in OnOK.
class CSearchDialog : public CSizingDialog
{
    Q_OBJECT
  public:
    void accept() override { OnOK(); } // Enter and button 1 search; the dialog stays open
    // Replaces how a record of the list is modified (see RecordModifier).
    void SetRecordModifier(RecordModifier modify);

  protected:
    // The open school: searched, and saved after every change made in the list.
    CSearchDialog(COpenSchool& school, QWidget* parent);
    ~CSearchDialog() override;

    // Creates the list and the two buttons; called after the dialog's inputs are created, so that
    // the list and the buttons follow them in tab order. bSorted keeps the list in order of the
    // student numbers.
    void CreateSearchControls(bool bSorted, const QString& okText, const QString& exitText);

    virtual void OnOK() = 0;

    COpenSchool& m_school;
    CFoundRecordList* m_lstFound = nullptr;
    QPushButton* m_btnOK = nullptr;
    QPushButton* m_btnExit = nullptr;
};
