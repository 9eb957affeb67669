#include "ui/Support/PasswordPrompt.h"

#include <utility>

#include <QInputDialog>
#include <QLineEdit>

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

std::optional<QString> UiAskPassword(QWidget* parent, const QString& prompt, const QString& caption)
{
    if (Hook())
        return Hook()({parent, prompt, caption});
    bool bOk = false;
    const QString text = QInputDialog::getText(parent, caption, prompt, QLineEdit::Password, {}, &bOk);
    return bOk ? std::optional(text) : std::nullopt;
}
