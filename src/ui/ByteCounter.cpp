#include "ui/ByteCounter.h"

#include <QLineEdit>

#include "ui/EditDialogInput.h"

CByteCounter::CByteCounter(QLineEdit* pEdit, int nMaxBytes, QWidget* parent) : QLabel(parent), m_nMaxBytes(nMaxBytes)
{
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    setFont(small);
    // Room for the widest count, so that the edit beside it keeps its width while the user types.
    setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("%1/%1").arg(nMaxBytes)) + 4);
    connect(pEdit, &QLineEdit::textChanged, this, &CByteCounter::Update);
    Update(pEdit->text());
}

void CByteCounter::Update(const QString& text)
{
    const int nBytes = GbkByteCount(text);
    m_bOverLimit = nBytes > m_nMaxBytes;
    setText(QStringLiteral("%1/%2").arg(nBytes).arg(m_nMaxBytes));
    setStyleSheet(m_bOverLimit ? QStringLiteral("color: #c00000;") : QStringLiteral("color: gray;"));
}
