#include "ui/EditDialogInput.h"

#include <cstdio>

#include <QDate>
#include <QLineEdit>

#include "core/DataFunc.h"
#include "ui/Support/GbkText.h"

namespace
{
int NonDigitCount(const QString& text)
{
    int nCount = 0;
    for (QChar ch : text)
        nCount += (ch >= u'0' && ch <= u'9') ? 0 : 1;
    return nCount;
}
} // namespace

int GbkByteCount(const QString& text)
{
    if (const auto bytes = ToGbk(text))
        return static_cast<int>(bytes->size());
    int nCount = 0;
    for (QChar ch : text)
        nCount += ch.unicode() < 0x80 ? 1 : 2;
    return nCount;
}

CGbkLimitValidator::CGbkLimitValidator(QLineEdit* pEdit, int nMaxBytes, bool bDigitsOnly)
    : QValidator(pEdit), m_nMaxBytes(nMaxBytes), m_bDigitsOnly(bDigitsOnly), m_lastText(pEdit->text())
{
    connect(pEdit, &QLineEdit::textChanged, this, [this](const QString& text) { m_lastText = text; });
}

QValidator::State CGbkLimitValidator::validate(QString& input, int&) const
{
    if (m_bDigitsOnly && NonDigitCount(input) > NonDigitCount(m_lastText))
        return Invalid;
    if (m_nMaxBytes > 0)
    {
        const int nBytes = GbkByteCount(input);
        if (nBytes > m_nMaxBytes && nBytes > GbkByteCount(m_lastText))
            return Invalid;
    }
    return Acceptable;
}

QDate DateFromTime(std::int32_t nTime)
{
    return QDate::fromString(QString::fromLatin1(FormatDateText(nTime).c_str()), QStringLiteral("yyyy-MM-dd"));
}

QDate ShownDate(const std::string& strText, std::int32_t nTime)
{
    if (nTime > 0)
        return DateFromTime(nTime);
    int nYear = 0;
    int nMonth = 0;
    int nDay = 0;
    if (std::sscanf(strText.c_str(), "%d-%d-%d", &nYear, &nMonth, &nDay) == 3 && QDate::isValid(nYear, nMonth, nDay))
        return QDate(nYear, nMonth, nDay);
    return DateFromTime(0);
}

std::int32_t TimeFromDate(const QDate& date)
{
    return ParseDateText(date.toString(QStringLiteral("yyyy-MM-dd")).toStdString());
}
