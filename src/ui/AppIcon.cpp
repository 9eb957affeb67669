#include "ui/AppIcon.h"

#include <QPainter>
#include <QPixmap>

namespace
{
QPixmap DrawIcon(int nSize)
{
    QPixmap pixmap(nSize, nSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x1f, 0x5f, 0x9f));
    painter.drawRoundedRect(QRectF(0, 0, nSize, nSize), nSize / 6.0, nSize / 6.0);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(nSize * 3 / 4);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, 0, nSize, nSize), Qt::AlignCenter, QStringLiteral("V"));
    return pixmap;
}
} // namespace

QIcon ApplicationIcon()
{
    QIcon icon;
    for (int nSize : {16, 32, 48, 64})
        icon.addPixmap(DrawIcon(nSize));
    return icon;
}
