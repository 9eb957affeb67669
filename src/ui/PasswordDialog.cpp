#include "ui/PasswordDialog.h"

#include <optional>

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>

#include "core/DataFunc.h"
#include "core/PasswordChange.h"
#include "ui/AppIcon.h"
#include "ui/HyperLink.h"
#include "ui/SchoolCodeDialog.h"
#include "ui/Support/DialogButtons.h"
#include "ui/Support/GbkText.h"
#include "ui/Support/Seams/MessageBox.h"

namespace
{
QLineEdit* MakeEdit(QWidget* parent, int nId, const QString& accessibleName, bool bMasked)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QStringLiteral("id%1").arg(nId));
    edit->setAccessibleName(accessibleName);
    if (bMasked)
        edit->setEchoMode(QLineEdit::Password);
    return edit;
}

// The field's text as GBK, or a message naming the field when a character cannot be stored.
bool TakeGbk(QWidget* parent, QLineEdit* edit, std::string& strOut)
{
    const std::optional<std::string> gbk = ToGbk(edit->text());
    if (!gbk)
    {
        UiMessageBox(parent, QStringLiteral("“%1”中有不能保存的字符，请修改。").arg(edit->accessibleName()),
                     QStringLiteral("提示"));
        edit->setFocus();
        return false;
    }
    strOut = *gbk;
    return true;
}
} // namespace

CPasswordDialog::CPasswordDialog(QWidget* parent)
    : QDialog(parent), m_edtCode(MakeEdit(this, 1001, QStringLiteral("院校代码"), false)),
      m_edtOldPassword(MakeEdit(this, 1013, QStringLiteral("原密码"), true)),
      m_edtNewPassword(MakeEdit(this, 1014, QStringLiteral("新设密码"), true)),
      m_edtConfirm(MakeEdit(this, 1003, QStringLiteral("再次确认"), true)),
      m_lnkLookup(new CHyperLink(QStringLiteral("点击此处查询院校编码"), this))
{
    setWindowTitle(QStringLiteral("Varnholt - 修改密码"));
    setWindowIcon(ApplicationIcon());
    m_edtCode->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));
    m_lnkLookup->setObjectName(QStringLiteral("id101"));

    QDialogButtonBox* buttons = CreateOkCancelButtons(this);

    auto* icon = new QLabel(this);
    icon->setPixmap(ApplicationIcon().pixmap(32, 32));
    auto* grid = new QGridLayout(this);
    grid->addWidget(icon, 0, 0, 5, 1, Qt::AlignTop);
    const auto addRow = [this, grid](int nRow, const QString& text, QLineEdit* edit) {
        auto* label = new QLabel(text, this);
        label->setBuddy(edit);
        grid->addWidget(label, nRow, 1);
        grid->addWidget(edit, nRow, 2);
    };
    addRow(0, QStringLiteral("院校代码："), m_edtCode);
    grid->addWidget(m_lnkLookup, 1, 2, Qt::AlignLeft);
    addRow(2, QStringLiteral("原密码："), m_edtOldPassword);
    addRow(3, QStringLiteral("新设密码："), m_edtNewPassword);
    addRow(4, QStringLiteral("再次确认："), m_edtConfirm);
    grid->addWidget(buttons, 5, 0, 1, 3);

    connect(m_lnkLookup, &CHyperLink::clicked, this, &CPasswordDialog::OnLookupCode);
}

CPasswordDialog::~CPasswordDialog() = default;

bool CPasswordDialog::DoDataExchange()
{
    return TakeGbk(this, m_edtCode, m_strCode) && TakeGbk(this, m_edtOldPassword, m_strOldPassword) &&
           TakeGbk(this, m_edtNewPassword, m_strNewPassword) && TakeGbk(this, m_edtConfirm, m_strConfirm);
}

void CPasswordDialog::OnOK()
{
    if (!DoDataExchange())
        return;
    // The change holds the school's writer lock for its run: refused while another program writes it.
    CMemTable students; // the records pass through on their way to the file under the new password
    const SchoolAccess result =
        ChangeSchoolPassword({m_strCode, m_strOldPassword, m_strNewPassword, m_strConfirm}, students);
    if (result != SchoolAccess::Done)
        UiMessageBox(this, FromGbk(SchoolAccessMessage(result, m_strCode, GetLastError())), QStringLiteral("提示"));
    // The data file has the new password even when its note in the profile failed: trying again
    // with the old one would only be refused.
    if (result == SchoolAccess::Done || result == SchoolAccess::ProfileNotWritten)
        QDialog::accept();
}

void CPasswordDialog::OnCancel()
{
    QDialog::reject();
}

void CPasswordDialog::OnLookupCode()
{
    LookupCodeInto(m_edtCode);
}
