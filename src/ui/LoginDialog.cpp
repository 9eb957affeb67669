#include "ui/LoginDialog.h"

#include <utility>

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include "core/DataFunc.h"
#include "core/SchoolAccess.h"
#include "core/SchoolBackups.h"
#include "platform/ErrorText.h"
#include "platform/LastError.h"
#include "platform/Profile.h"
#include "ui/AppIcon.h"
#include "ui/HyperLink.h"
#include "ui/PasswordDialog.h"
#include "ui/SchoolCodeDialog.h"
#include "ui/Support/GbkText.h"
#include "ui/Support/Seams/MessageBox.h"
#include "ui/Support/Seams/PasswordPrompt.h"

namespace
{
QLineEdit* NewDigitsEdit(QWidget* pParent, int nId, const QString& accessibleName)
{
    auto* pEdit = new QLineEdit(pParent);
    pEdit->setObjectName(QStringLiteral("id%1").arg(nId));
    pEdit->setAccessibleName(accessibleName);
    // Only digits can be typed (or pasted).
    pEdit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), pEdit));
    return pEdit;
}

QPushButton* NewButton(QWidget* pParent, int nId, const QString& text)
{
    auto* pButton = new QPushButton(text, pParent);
    pButton->setObjectName(QStringLiteral("id%1").arg(nId));
    pButton->setAutoDefault(false);
    return pButton;
}

} // namespace

CLoginDialog::CLoginDialog(QWidget* pParent) : QDialog(pParent)
{
    setWindowTitle(QStringLiteral("Varnholt - 登录"));
    setWindowIcon(ApplicationIcon());

    auto* pIcon = new QLabel(this);
    pIcon->setPixmap(ApplicationIcon().pixmap(32, 32));
    auto* pCodeLabel = new QLabel(QStringLiteral("院校代码："), this);
    m_edtCode = NewDigitsEdit(this, 1001, QStringLiteral("院校代码"));
    pCodeLabel->setBuddy(m_edtCode);
    m_stcLookup = new CHyperLink(QStringLiteral("点击此处查询院校编码"), this);
    m_stcLookup->setObjectName(QStringLiteral("id101"));
    auto* pPasswordLabel = new QLabel(QStringLiteral("登录密码："), this);
    m_edtPassword = NewDigitsEdit(this, 1002, QStringLiteral("登录密码"));
    m_edtPassword->setEchoMode(QLineEdit::Password);
    pPasswordLabel->setBuddy(m_edtPassword);

    QPushButton* pOk = NewButton(this, 1, QStringLiteral("确定"));
    pOk->setDefault(true);
    QPushButton* pCancel = NewButton(this, 2, QStringLiteral("取消"));
    m_btnPassword = NewButton(this, 4, QStringLiteral("密码设置"));
    connect(pOk, &QPushButton::clicked, this, &CLoginDialog::OnOK);
    connect(pCancel, &QPushButton::clicked, this, &CLoginDialog::OnCancel);
    connect(m_btnPassword, &QPushButton::clicked, this, &CLoginDialog::OnPasswordSetup);
    connect(m_stcLookup, &CHyperLink::clicked, this, &CLoginDialog::OnLookupCode);

    auto* pGrid = new QGridLayout;
    pGrid->addWidget(pIcon, 0, 0, 3, 1, Qt::AlignTop);
    pGrid->addWidget(pCodeLabel, 0, 1);
    pGrid->addWidget(m_edtCode, 0, 2);
    pGrid->addWidget(m_stcLookup, 1, 2, Qt::AlignLeft);
    pGrid->addWidget(pPasswordLabel, 2, 1);
    pGrid->addWidget(m_edtPassword, 2, 2);
    auto* pButtons = new QHBoxLayout;
    pButtons->addStretch();
    pButtons->addWidget(pOk);
    pButtons->addWidget(pCancel);
    pButtons->addWidget(m_btnPassword);
    auto* pMain = new QVBoxLayout(this);
    pMain->addLayout(pGrid);
    pMain->addLayout(pButtons);
    pMain->setSizeConstraint(QLayout::SetFixedSize); // not resizable
}

CLoginDialog::~CLoginDialog() = default;

int CLoginDialog::DoModal()
{
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

bool CLoginDialog::DoDataExchange()
{
    const std::optional<std::string> code = ToGbk(m_edtCode->text());
    const std::optional<std::string> password = ToGbk(m_edtPassword->text());
    if (!code || !password)
        return false;
    m_strCode = *code;
    m_strPassword = *password;
    return true;
}

void CLoginDialog::OnOK()
{
    if (!DoDataExchange())
        return;
    // The school's writer lock is taken with the load and held until this dialog, and with it the
    // main window, ends: another window or a command-line import is refused meanwhile.
    COpenSchool school;
    SchoolAccess result = school.OpenToWrite(m_strCode, m_strPassword);
    if (result == SchoolAccess::FileChanged)
    {
        const std::optional<SchoolAccess> chosen = OpenChangedFile(school);
        if (!chosen)
            return;
        result = *chosen;
    }
    if (result != SchoolAccess::Done)
    {
        UiMessageBox(this, FromGbk(SchoolAccessMessage(result, m_strCode, GetLastError())), QStringLiteral("提示"));
        return;
    }
    // A school without a data file opens with any password, and the first save fixes it. (A file too
    // short to hold a header is refused as damaged by the load.)
    if (school.HasNoDataFileYet() && !ConfirmFirstPassword())
        return;
    m_school = std::move(school);
    QDialog::accept();
}

bool CLoginDialog::ConfirmFirstPassword()
{
    const std::optional<QString> again = UiAskPassword(
        this, QStringLiteral("这是该院校第一次登录，所输入的密码将用来保护数据文件，请再输入一次："), windowTitle());
    if (!again)
        return false;
    if (ToGbk(*again) != m_strPassword)
    {
        UiMessageBox(this, QStringLiteral("两次输入的密码不一致，请重新输入。"), QStringLiteral("提示"));
        m_edtPassword->clear();
        m_edtPassword->setFocus();
        return false;
    }
    // The password is noted where a password change notes it, for the school's own reference.
    if (!WritePrivateProfileString("security", m_strCode, m_strPassword, "quillmark.ini"))
        UiMessageBox(this, QStringLiteral("不能把密码记入配置文件 quillmark.ini，请自己记下这个密码。"),
                     QStringLiteral("提示"));
    return true;
}

std::optional<SchoolAccess> CLoginDialog::OpenChangedFile(COpenSchool& school)
{
    const std::vector<BackupEntry> backups = ListBackups(m_strCode);
    QString text = FromGbk(SchoolAccessMessage(SchoolAccess::FileChanged, m_strCode)) +
                   QStringLiteral("\n\n“打开”照现在的内容打开它；");
    QStringList choices = {QStringLiteral("打开(&O)")};
    if (!backups.empty())
    {
        text += QStringLiteral("“恢复最新备份”用 %1 的备份替换它（它先留作一个备份）；")
                    .arg(QString::fromStdString(FormatBackupTime(backups.front().stamp.tWhen)));
        choices << QStringLiteral("恢复最新备份(&R)");
    }
    choices << QStringLiteral("取消");
    text += QStringLiteral("“取消”不登录。");
    const int nChoice = UiChoiceBox(this, text, QStringLiteral("提示"), choices, MsgIcon::Exclamation);
    if (nChoice < 0 || nChoice >= choices.size() - 1)
        return std::nullopt;
    const SchoolAccess opened = school.OpenToWrite(m_strCode, m_strPassword, 0, true);
    if (opened != SchoolAccess::Done || nChoice == 0)
        return opened;
    if (school.Restore(backups.front().stamp.strId, m_strPassword))
        return SchoolAccess::Done;
    const DWORD dwCode = GetLastError();
    school = COpenSchool(); // lets go of the lock
    UiMessageBox(this,
                 QStringLiteral("恢复最新备份失败（%1），数据文件没有改变，也没有登录。")
                     .arg(FromGbk(GetErrorReasonText(dwCode))),
                 QStringLiteral("提示"));
    return std::nullopt;
}

void CLoginDialog::OnCancel()
{
    QDialog::reject();
}

void CLoginDialog::OnLookupCode()
{
    LookupCodeInto(m_edtCode);
}

void CLoginDialog::OnPasswordSetup()
{
    CPasswordDialog dlg;
    dlg.exec();
}
