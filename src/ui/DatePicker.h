#pragma once

#include <QDateEdit>

// A date picker that shows and takes yyyy-MM-dd whatever the desktop's language, with a calendar
// pop-up. Tab leaves it in one step; the Left and Right keys move between year, month and day.
// Digits replace the section under the caret (or, over a selection, the first selected section)
// and typing runs on into the next section, so "1986-03-04" and "19860304" can be typed whole;
// a whole date pasted anywhere into the field replaces the field's date.
class CDatePicker : public QDateEdit
{
    Q_OBJECT
  public:
    explicit CDatePicker(QWidget* parent = nullptr);

  protected:
    bool focusNextPrevChild(bool bNext) override;
    void keyPressEvent(QKeyEvent* pEvent) override;
    QValidator::State validate(QString& input, int& nPos) const override;

  private:
    // Before a digit: selects the section it is to replace, unless a section is being typed.
    void SelectSectionToType();
};
