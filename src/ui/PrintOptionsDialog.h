#pragma once

#include <functional>

#include <QDialog>

class QCheckBox;
class QRadioButton;

// What the user chose to print.
struct PrintChoice
{
    bool bSheets = false;     // the verification sheets, else the list
    bool bSelected = false;   // the selected records, else all the list shows
    bool bTwoPerPage = false; // sheets two to a page
};

// The question before printing or writing a PDF: the list or the verification sheets, of all
// records or of the selected ones, and the sheets one or two to a page.
class CPrintOptionsDialog : public QDialog
{
    Q_OBJECT
  public:
    // nAll records are listed, nSelected of them selected (the choice is greyed when none is).
    CPrintOptionsDialog(QWidget* pParent, const QString& caption, int nAll, int nSelected);
    PrintChoice Choice() const;

  private:
    QRadioButton* m_pList;
    QRadioButton* m_pSheets;
    QRadioButton* m_pAll;
    QRadioButton* m_pSelected;
    QCheckBox* m_pTwoPerPage;
};

// Asks with the dialog; false when cancelled. Tests replace it through the hook.
bool ChoosePrint(QWidget* pParent, const QString& caption, int nAll, int nSelected, PrintChoice& choice);
void SetPrintChoiceHook(std::function<bool(PrintChoice&)> hook);
