#include "ui/AboutDialog.h"

#include <QLabel>
#include <QPushButton>

#include "ui/AppIcon.h"

namespace
{
QLabel* NewLabel(QWidget* pParent, const QString& text, const QRect& rect)
{
    auto* pLabel = new QLabel(text, pParent);
    pLabel->setGeometry(rect);
    return pLabel;
}
} // namespace

CAboutDialog::CAboutDialog(QWidget* pParent) : CSizingDialog(pParent, sfBoth, true)
{
    setWindowTitle(QStringLiteral("关于..."));
    // The controls keep their template positions; only the grip follows the corner.
    QLabel* pIcon = NewLabel(this, QString(), QRect(16, 16, 32, 32));
    pIcon->setPixmap(ApplicationIcon().pixmap(32, 32));
    NewLabel(this, QStringLiteral("Varnholt"), QRect(64, 12, 180, 20));
    NewLabel(this, QStringLiteral("版本：1.0"), QRect(64, 34, 180, 20));
    NewLabel(this, QStringLiteral("Stellwick"), QRect(64, 56, 180, 20));
    auto* pOk = new QPushButton(QStringLiteral("确定"), this);
    pOk->setObjectName(QStringLiteral("id1"));
    pOk->setDefault(true);
    pOk->setGeometry(256, 12, 80, 26);
    connect(pOk, &QPushButton::clicked, this, &QDialog::accept);
    resize(352, 96);
}
