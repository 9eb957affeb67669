#pragma once

#include <string>

#include <QDialog>

class QLineEdit;
class CHyperLink;

// Sets a school's password: opens its data file with the current password, rewrites it with the
// new one and records the new password in the profile file. Also gives a school without a data
// file its first password. Every field starts empty.
class CPasswordDialog : public QDialog
{
    Q_OBJECT
  public:
    explicit CPasswordDialog(QWidget* parent = nullptr);
    ~CPasswordDialog() override;

    void accept() override { OnOK(); }     // Enter and the default button
    void reject() override { OnCancel(); } // Escape and the close box

  protected:
    // The change; each refusal is a message (caption "提示") and the dialog stays, also while another
    // program writes the school. Closes once the data file has the new password, after a message
    // when the profile record could not be written.
    void OnOK();
    void OnCancel();
    void OnLookupCode();

  private:
    // Takes the four texts as GBK; false (after a message) when one holds a character GBK lacks.
    bool DoDataExchange();

    QLineEdit* m_edtCode;
    QLineEdit* m_edtOldPassword;
    QLineEdit* m_edtNewPassword;
    QLineEdit* m_edtConfirm;
    CHyperLink* m_lnkLookup;
    std::string m_strCode;
    std::string m_strOldPassword;
    std::string m_strNewPassword;
    std::string m_strConfirm;
};
