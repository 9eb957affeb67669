#include "TypeText.h"

#include <QTest>

void TypeText(QWidget* widget, const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i)
    {
        const qsizetype nLength = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, text.mid(i, nLength), Qt::NoModifier);
        i += nLength - 1;
    }
}
