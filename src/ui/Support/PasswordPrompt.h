#pragma once

#include <functional>
#include <optional>

#include <QString>

class QWidget;

struct PasswordPromptCall
{
    QWidget* parent = nullptr;
    QString prompt;
    QString caption;
};

// Asks for a password in a small modal box that hides what is typed; nullopt when cancelled.
std::optional<QString> UiAskPassword(QWidget* parent, const QString& prompt, const QString& caption);

// Replaces the real box (tests record the call and give the answer); an empty hook restores it.
void SetPasswordPromptHook(std::function<std::optional<QString>(const PasswordPromptCall&)> hook);
