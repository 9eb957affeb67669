#pragma once

#include <QDateEdit>

// A date picker that shows and takes yyyy-MM-dd whatever the desktop's language, with a calendar
// pop-up. Tab leaves it in one step; the Left and Right keys move between year, month and day.
class CDatePicker : public QDateEdit
{
    Q_OBJECT
  public:
    explicit CDatePicker(QWidget* parent = nullptr);

  protected:
    bool focusNextPrevChild(bool bNext) override;
    void keyPressEvent(QKeyEvent* pEvent) override;
};
