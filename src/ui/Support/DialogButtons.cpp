#include "ui/Support/DialogButtons.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>

QDialogButtonBox* CreateOkCancelButtons(QDialog* pDialog)
{
    auto* buttons = new QDialogButtonBox(pDialog);
    QPushButton* ok = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    QPushButton* cancel = buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    ok->setObjectName(QStringLiteral("id1"));
    ok->setDefault(true);
    cancel->setObjectName(QStringLiteral("id2"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, pDialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, pDialog, &QDialog::reject);
    return buttons;
}
