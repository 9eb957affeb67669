#include "core/DateText.h"

#include <cstdio>
#include <ctime>
#include <limits>

std::int32_t ParseDateText(const std::string& strText)
{
    int nYear = 0;
    int nMonth = 0;
    int nDay = 0;
    if (std::sscanf(strText.c_str(), "%d-%d-%d", &nYear, &nMonth, &nDay) != 3)
        return 0;
    // No day of the 32-bit range lies beyond these bounds; they keep the arithmetic in range.
    if (nYear < 1900 || nYear > 9999 || nMonth < -99999 || nMonth > 99999 || nDay < -9999999 || nDay > 9999999)
        return 0;
    std::tm tm{};
    tm.tm_year = nYear - 1900;
    tm.tm_mon = nMonth - 1;
    tm.tm_mday = nDay;
    tm.tm_isdst = 0; // midnight of standard time, also on days that had daylight saving
    const std::time_t time = std::mktime(&tm);
    // Time values are signed 32-bit: anything not representable is no date, like a failure.
    if (time <= 0 || time > std::numeric_limits<std::int32_t>::max())
        return 0;
    return static_cast<std::int32_t>(time);
}

std::string FormatDateText(std::int32_t nTime)
{
    const std::time_t time = nTime;
    std::tm tm{};
    if (localtime_r(&time, &tm) == nullptr)
        return {};
    char szText[32];
    const std::size_t nLength = std::strftime(szText, sizeof szText, "%Y-%m-%d", &tm);
    return std::string(szText, nLength);
}
