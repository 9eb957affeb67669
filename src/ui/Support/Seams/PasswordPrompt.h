#pragma once

#include <functional>
#include <optional>

#include <QString>

class QWidget;

struct PasswordPromptCall
{
    QWidget* parent = nullptr;
    QString text;    // what the password is for, shown above the edit
    QString caption; // the window title
};

// Asks for a password in a small modal box: the text, a masked edit that takes digits only, "确定"
// and "取消". The typed password, or nullopt when the user cancelled.
std::optional<QString> UiAskPassword(QWidget* parent, const QString& text, const QString& caption);

// Replaces the real box (tests record the call and type the answer); an empty hook restores it.
void SetPasswordPromptHook(std::function<std::optional<QString>(const PasswordPromptCall&)> hook);
