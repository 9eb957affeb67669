#pragma once

#include <string>

#include <QDialog>

class QLineEdit;
class QModelIndex;
class QTableView;
class CSchoolListModel;

// The school code lookup: every school of the directory g_memSchools with code and name, narrowed
// at every keystroke to the schools whose name holds the typed text; OK or a double click on a
// school returns its code.
class CSchoolCodeDialog : public QDialog
{
    Q_OBJECT
  public:
    explicit CSchoolCodeDialog(QWidget* parent = nullptr);
    ~CSchoolCodeDialog() override;

    // The chosen school's code (GBK); meaningful after exec() returned QDialog::Accepted.
    const std::string& GetSelectedCode() const { return m_strSelectedCode; }

    void accept() override { OnOK(); }     // Enter and the default button
    void reject() override { OnCancel(); } // Escape and the close box

  protected:
    void OnOK();
    void OnCancel();
    void OnFilterChange();
    void OnListDblClkSchool(const QModelIndex& index);

  private:
    QLineEdit* m_edtFilter;
    QTableView* m_lstSchools;
    CSchoolListModel* m_model;
    std::string m_strSelectedCode;
};

// Runs the lookup with no parent and, only when a school was chosen, puts its code into the edit.
// The link "点击此处查询院校编码" of the login and password dialogs does this for their code field.
void LookupCodeInto(QLineEdit* edtCode);
