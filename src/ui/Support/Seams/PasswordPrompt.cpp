#include "ui/Support/Seams/PasswordPrompt.h"

#include <utility>

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "ui/AppIcon.h"
#include "ui/Support/DialogButtons.h"

namespace
{
std::function<std::optional<QString>(const PasswordPromptCall&)>& Hook()
{
    static std::function<std::optional<QString>(const PasswordPromptCall&)> hook;
    return hook;
}
} // namespace

void SetPasswordPromptHook(std::function<std::optional<QString>(const PasswordPromptCall&)> hook)
{
    Hook() = std::move(hook);
}

std::optional<QString> UiAskPassword(QWidget* parent, const QString& text, const QString& caption)
{
    if (Hook())
        return Hook()({parent, text, caption});

    QDialog box(parent);
    box.setWindowTitle(caption);
    box.setWindowIcon(ApplicationIcon());
    auto* pText = new QLabel(text, &box);
    pText->setWordWrap(true);
    auto* pEdit = new QLineEdit(&box);
    pEdit->setObjectName(QStringLiteral("id1002"));
    pEdit->setAccessibleName(QStringLiteral("密码"));
    pEdit->setEchoMode(QLineEdit::Password);
    // The login's passwords are digits: what cannot be typed there cannot be typed here.
    pEdit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), pEdit));
    pText->setBuddy(pEdit);
    auto* pLayout = new QVBoxLayout(&box);
    pLayout->addWidget(pText);
    pLayout->addWidget(pEdit);
    pLayout->addWidget(CreateOkCancelButtons(&box));
    pLayout->setSizeConstraint(QLayout::SetFixedSize);
    if (box.exec() != QDialog::Accepted)
        return std::nullopt;
    return pEdit->text();
}
