#pragma once

#include <optional>
#include <string>
#include <utility>

#include <QDialog>

#include "core/OpenSchool.h"

enum class SchoolAccess;
class QLineEdit;
class QPushButton;
class CHyperLink;

// Identifies the school: a school code of the directory and the password that opens its data file.
// A successful login opens the school (its records loaded, its writer lock held) for the main window
// to take.
class CLoginDialog : public QDialog
{
    Q_OBJECT
  public:
    explicit CLoginDialog(QWidget* pParent = nullptr);
    ~CLoginDialog() override;

    // IDOK after a successful login, IDCANCEL when the user gives up.
    int DoModal();

    // The login check: stays open with a message (caption "提示") for an empty or unknown code, a
    // wrong password, a damaged or unreadable data file, or a school another program writes now
    // (its writer lock is held elsewhere); closes with IDOK when the file opened. The open school,
    // with its writer lock, is then held until the dialog ends or TakeSchool hands it on. A school whose data file
    // holds nothing yet opens with any password, so the password is asked for a second time first (see
    // ConfirmFirstPassword); cancelling or a mismatch goes back to the login.
    void OnOK();
    void OnCancel();

    void accept() override { OnOK(); }     // Enter and the default button
    void reject() override { OnCancel(); } // Escape, the close box and "取消"

    // After IDOK: the school the login opened; the dialog holds none afterwards.
    COpenSchool TakeSchool() { return std::move(m_school); }

    // GBK, as typed; after IDOK the accepted code and password.
    std::string m_strCode;
    std::string m_strPassword;

  protected:
    // The link "点击此处查询院校编码" (id 101): the school code lookup; its choice fills the code field.
    void OnLookupCode();
    // The button "密码设置" (id 4): the password change; nothing here changes.
    void OnPasswordSetup();

    // Takes the edits' texts into m_strCode and m_strPassword; false when one cannot be held as GBK.
    bool DoDataExchange();
    // A new school's first login: asks for the password again; when it matches, notes it in the
    // profile "quillmark.ini" [security] as the password change does (a failed note is told, the
    // login goes on). False when cancelled or different (told; the password edit is cleared).
    bool ConfirmFirstPassword();
    // A data file that is not the one its last save noted: asks whether to open it as it is, restore
    // the newest backup over it, or cancel. The outcome of the open chosen, or nullopt when cancelled
    // or told why not already.
    // The school is opened into school.
    std::optional<SchoolAccess> OpenChangedFile(COpenSchool& school);

  private:
    QLineEdit* m_edtCode;
    QLineEdit* m_edtPassword;
    CHyperLink* m_stcLookup;
    QPushButton* m_btnPassword;
    COpenSchool m_school; // the accepted school with its writer lock, until taken or the dialog ends
};
