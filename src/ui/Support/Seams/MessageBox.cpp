#include "ui/Support/Seams/MessageBox.h"

#include <utility>

#include <QMessageBox>
#include <QPushButton>

namespace
{
std::function<int(const MessageBoxCall&)>& Hook()
{
    static std::function<int(const MessageBoxCall&)> hook;
    return hook;
}

QMessageBox::Icon ToQtIcon(MsgIcon icon)
{
    switch (icon)
    {
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::Exclamation:
        return QMessageBox::Warning;
    case MsgIcon::Error:
        return QMessageBox::Critical;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}
} // namespace

void SetMessageBoxHook(std::function<int(const MessageBoxCall&)> hook)
{
    Hook() = std::move(hook);
}

int UiChoiceBox(QWidget* parent, const QString& text, const QString& caption, const QStringList& choices, MsgIcon icon)
{
    const MessageBoxCall call{parent, text, caption, MsgButtons::Ok, icon, false, choices};
    if (Hook())
    {
        const int nAnswer = Hook()(call);
        return nAnswer >= 0 && nAnswer < choices.size() ? nAnswer : -1;
    }
    QMessageBox box(ToQtIcon(icon), caption, text, QMessageBox::NoButton, parent);
    QList<QAbstractButton*> buttons;
    for (const QString& choice : choices)
        buttons << box.addButton(choice, QMessageBox::ActionRole);
    box.setDefaultButton(qobject_cast<QPushButton*>(buttons.constFirst()));
    box.setEscapeButton(buttons.constLast());
    box.exec();
    return static_cast<int>(buttons.indexOf(box.clickedButton()));
}

int UiMessageBox(QWidget* parent, const QString& text, const QString& caption, MsgButtons buttons, MsgIcon icon,
                 bool bDefaultNo)
{
    const MessageBoxCall call{parent, text, caption, buttons, icon, bDefaultNo, {}};
    if (Hook())
        return Hook()(call);

    QMessageBox box(ToQtIcon(icon), caption, text, QMessageBox::NoButton, parent);
    if (buttons == MsgButtons::YesNoCancel)
    {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(bDefaultNo ? QMessageBox::No : QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::Cancel);
        const int nButton = box.exec();
        return nButton == QMessageBox::Yes ? IDYES : nButton == QMessageBox::No ? IDNO : IDCANCEL;
    }
    if (buttons == MsgButtons::YesNo)
    {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(bDefaultNo ? QMessageBox::No : QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? IDYES : IDNO;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return IDOK;
}
