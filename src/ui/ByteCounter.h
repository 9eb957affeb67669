#pragma once

#include <QLabel>

class QLineEdit;

// A small counter beside an edit with a byte limit: the GBK bytes its text takes and the limit
// ("12/30"), grey, and red only when the text is over the limit (a stored value longer than the
// editor allows): a value that fills its field exactly, such as a six-digit postal code, is right.
class CByteCounter : public QLabel
{
    Q_OBJECT
  public:
    CByteCounter(QLineEdit* pEdit, int nMaxBytes, QWidget* parent = nullptr);

    bool IsOverLimit() const { return m_bOverLimit; }

  private:
    void Update(const QString& text);

    int m_nMaxBytes;
    bool m_bOverLimit = false;
};
