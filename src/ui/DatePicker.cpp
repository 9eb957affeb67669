#include "ui/DatePicker.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>

namespace
{
bool IsDigitKey(const QKeyEvent* pEvent)
{
    const QString text = pEvent->text();
    return text.size() == 1 && text.front().isDigit() && (pEvent->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

// "1986-03-04", "1986-3-4" or "19860304"; an invalid date otherwise.
QDate WholeDate(const QString& text)
{
    const QDate date = QDate::fromString(text, QStringLiteral("yyyy-M-d"));
    return date.isValid() ? date : QDate::fromString(text, QStringLiteral("yyyyMMdd"));
}

// The whole date the edit that made input brought in: eight digits replacing the field's text,
// or the clipboard's whole date pasted anywhere into it.
QDate WholeDateIn(const QString& input)
{
    if (input.size() == 8)
    {
        const QDate date = QDate::fromString(input, QStringLiteral("yyyyMMdd"));
        if (date.isValid())
            return date;
    }
    for (const QClipboard::Mode mode : {QClipboard::Clipboard, QClipboard::Selection})
    {
        const QString pasted = QGuiApplication::clipboard()->text(mode).trimmed();
        if (!pasted.isEmpty() && input.contains(pasted))
        {
            const QDate date = WholeDate(pasted);
            if (date.isValid())
                return date;
        }
    }
    return {};
}
} // namespace

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
    if (IsDigitKey(pEvent))
        SelectSectionToType();
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

void CDatePicker::SelectSectionToType()
{
    QLineEdit* pEdit = lineEdit();
    if (pEdit->hasSelectedText())
        pEdit->setCursorPosition(pEdit->selectionStart()); // its section becomes the current one
    else if (pEdit->text() != textFromDateTime(dateTime()))
        return; // a section is half typed: the digit goes on with it
    setSelectedSection(currentSection());
}

QValidator::State CDatePicker::validate(QString& input, int& nPos) const
{
    const QString edited = input; // as the edit left it: the check below may have padded it
    const QValidator::State state = QDateEdit::validate(input, nPos);
    if (state == QValidator::Acceptable)
        return state;
    const QDate date = WholeDateIn(edited);
    if (!date.isValid() || date < minimumDate() || date > maximumDate())
        return state;
    input = textFromDateTime(date.startOfDay());
    nPos = static_cast<int>(input.size());
    return QValidator::Acceptable;
}
