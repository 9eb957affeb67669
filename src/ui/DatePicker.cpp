#include "ui/DatePicker.h"

#include <QKeyEvent>

CDatePicker::CDatePicker(QWidget* parent) : QDateEdit(parent)
{
    setCalendarPopup(true);
    setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    // Dates before 1970 are shown as stored; the record's checks decide about them.
    setMinimumDate(QDate(1900, 1, 1));
}

bool CDatePicker::focusNextPrevChild(bool bNext)
{
    return QWidget::focusNextPrevChild(bNext); // not from section to section
}

void CDatePicker::keyPressEvent(QKeyEvent* pEvent)
{
    const int nStep = pEvent->key() == Qt::Key_Left ? -1 : pEvent->key() == Qt::Key_Right ? 1 : 0;
    if (nStep == 0 || pEvent->modifiers() != Qt::NoModifier)
    {
        QDateEdit::keyPressEvent(pEvent);
        return;
    }
    const int nSection = currentSectionIndex() + nStep;
    if (nSection < 0 || nSection >= sectionCount())
        return;
    setCurrentSectionIndex(nSection);
    setSelectedSection(currentSection()); // digits typed now replace the part
}
