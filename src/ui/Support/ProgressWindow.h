#pragma once

#include <QString>

#include "exchange/Progress.h"

class QProgressDialog;
class QWidget;

// Shows how far long work in the main thread has come: an application-modal bar without a cancel button
// (the work is whole or not at all), shown only once the work has taken a moment, so quick work
// shows nothing but the busy cursor. It closes when this goes out of scope.
class CProgressWindow
{
  public:
    CProgressWindow(QWidget* pParent, const QString& label);
    ~CProgressWindow();
    CProgressWindow(const CProgressWindow&) = delete;
    CProgressWindow& operator=(const CProgressWindow&) = delete;

    // For the work to call: moves the bar (0 to 1) and lets the window repaint.
    ExchangeProgress Callback() const;

  private:
    QProgressDialog* m_pDialog;
};

// Runs an exchange's long work under a window with the label.
ExchangeRunner ProgressRunner(QWidget* pParent, const QString& label);

// The time work must have taken before the window shows (500 ms); tests set 0 to see it at once.
// Returns the delay it replaces.
int SetProgressShowDelay(int nMilliseconds);
