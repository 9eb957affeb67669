#pragma once

#include <functional>

#include <QString>
#include <QStringList>

class QWidget;

// The answers of a message box, numbered as the dialogs of the program expect them.
enum : int
{
    IDOK = 1,
    IDCANCEL = 2,
    IDYES = 6,
    IDNO = 7
};

enum class MsgButtons
{
    Ok,
    YesNo,
    YesNoCancel // Escape answers IDCANCEL
};

enum class MsgIcon
{
    None,
    Information,
    Exclamation,
    Error,
    Question
};

struct MessageBoxCall
{
    QWidget* parent = nullptr;
    QString text;
    QString caption;
    MsgButtons buttons = MsgButtons::Ok;
    MsgIcon icon = MsgIcon::None;
    bool bDefaultNo = false; // the No button is the default (destructive questions)
    QStringList choices;     // the buttons of a choice box (UiChoiceBox); empty for the others
};

// Shows a modal message box and returns IDOK, IDYES, IDNO or IDCANCEL. Every dialog uses this one function.
int UiMessageBox(QWidget* parent, const QString& text, const QString& caption, MsgButtons buttons = MsgButtons::Ok,
                 MsgIcon icon = MsgIcon::None, bool bDefaultNo = false);

// Shows a modal message box whose buttons are the choices, the first the default, the last the one
// Escape gives; returns the index of the button chosen (the hook's answer outside the choices: -1).
int UiChoiceBox(QWidget* parent, const QString& text, const QString& caption, const QStringList& choices,
                MsgIcon icon = MsgIcon::None);

// Replaces the real box (tests record the call and give the answer); an empty hook restores it.
void SetMessageBoxHook(std::function<int(const MessageBoxCall&)> hook);
