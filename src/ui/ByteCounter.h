#pragma once

#include <QLabel>

class QLineEdit;

// A small counter beside an edit with a byte limit: the GBK bytes its text takes and the limit
// ("12/30"), grey, and red once the limit is reached.
class CByteCounter : public QLabel
{
    Q_OBJECT
  public:
    CByteCounter(QLineEdit* pEdit, int nMaxBytes, QWidget* parent = nullptr);

    bool IsAtLimit() const { return m_bAtLimit; }

  private:
    void Update(const QString& text);

    int m_nMaxBytes;
    bool m_bAtLimit = false;
};
