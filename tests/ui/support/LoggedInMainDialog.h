#pragma once

#include "UiSchoolFixture.h"
#include "UiTestSupport.h"

#include <initializer_list>
#include <utility>

#include <QItemSelectionModel>
#include <QLineEdit>
#include <QTableView>

#include "core/OpenSchool.h"
#include "ui/MainDialog.h"

// The main window with its login answered in place of the modal login dialog: the real login check
// runs with the given code and password, without a modal loop; a new school's second ask for the
// password is answered with the same password.
class LoggedInMainDialog : public CMainDialog
{
  public:
    LoggedInMainDialog(const QString& code, const QString& password) : m_code(code), m_password(password) {}
    using CMainDialog::m_dlgLogin;
    using CMainDialog::m_lstStudents;
    using CMainDialog::m_pModel;
    using CMainDialog::m_school;
    using CMainDialog::m_stcStatus;
    CMemTable& Students() { return m_school.Students(); }

  protected:
    int RunLogin() override
    {
        FindById<QLineEdit>(&m_dlgLogin, 1001)->setText(m_code);
        FindById<QLineEdit>(&m_dlgLogin, 1002)->setText(m_password);
        const PasswordPromptAnswers typedAgain(m_password);
        m_dlgLogin.OnOK();
        return TakeSchoolOfLogin();
    }

  private:
    QString m_code;
    QString m_password;
};

// The main window working on the test school (TestSchool) without any login: it takes the school
// when made and gives it back when it ends, so that the test reaches the records throughout.
class TestSchoolMainDialog : public CMainDialog
{
  public:
    TestSchoolMainDialog() { UseSchool(std::move(TestSchool())); }
    ~TestSchoolMainDialog() override { TestSchool() = std::move(m_school); }

  protected:
    int RunLogin() override { return IDOK; }
};

// Selects whole rows of the list, adding to the selection.
inline void SelectRows(QTableView* pView, std::initializer_list<int> rows)
{
    for (int nRow : rows)
        pView->selectionModel()->select(pView->model()->index(nRow, 0),
                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
}
