#include "print/PrintText.h"

#include <QPaintDevice>
#include <QStringDecoder>

QString PrintText(std::string_view gbk)
{
    QStringDecoder decoder("windows-936");
    return decoder.decode(QByteArrayView(gbk.data(), static_cast<qsizetype>(gbk.size())));
}

QFont PrintFont(double fPointSize, bool bBold)
{
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setStyleHint(QFont::SansSerif, QFont::PreferNoShaping);
    font.setPointSizeF(fPointSize);
    font.setBold(bBold);
    return font;
}

double MmToPixels(const QPaintDevice& device, double fMm)
{
    return fMm * device.logicalDpiX() / 25.4;
}

QString PageNumberText(int nPage, int nPages)
{
    return QStringLiteral("第%1页/共%2页").arg(nPage).arg(nPages);
}
