#pragma once

#include <cstdint>
#include <string>

#include <QString>
#include <QValidator>

#include "core/DataFunc.h"

class QDate;
class QLineEdit;

// The number of bytes the text takes in GBK; a character GBK cannot hold counts 2 per code unit.
int GbkByteCount(const QString& text);

// Limits what can be typed into an edit: at most nMaxBytes GBK bytes (0: no limit) and, when
// asked, digits only. A text that already breaks a limit (a stored value shown in full) can
// still be shortened and corrected; only changes that make it worse are refused.
class CGbkLimitValidator : public QValidator
{
  public:
    CGbkLimitValidator(QLineEdit* pEdit, int nMaxBytes, bool bDigitsOnly);
    State validate(QString& input, int& nPos) const override;

  private:
    int m_nMaxBytes;
    bool m_bDigitsOnly;
    QString m_lastText; // the edit's text before the change being validated
};

// The date pickers hold calendar dates; the editor's values are time values of local midnight,
// converted by the same rules as the stored date texts.
QDate DateFromTime(std::int32_t nTime);
// What a picker shows for a stored date: the date of its time value, or, for a date text that has
// none (before 1970), the date the text names; 1970-01-01 for a text that names no date.
QDate ShownDate(const std::string& strText, std::int32_t nTime);
// 0 for a date that is no positive time value (before 1970, or beyond the 32-bit range).
std::int32_t TimeFromDate(const QDate& date);

// The fields shown in edits, in the order their values are taken: the first over-long one is reported.
inline constexpr int kEditExchangeOrder[] = {Field::YXDM, Field::XSBSH, Field::XM,   Field::DZXX, Field::LXDH,
                                             Field::SJHM, Field::TXDZ,  Field::YZBM, Field::BZ};

// Item data of the drop-down entry that shows the value the editor opened with: the value's bytes.
constexpr int kStoredValueRole = Qt::UserRole + 1;
