#include "core/BackupPolicy.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <map>
#include <set>

namespace
{
std::tm LocalTime(std::time_t tWhen)
{
    std::tm tm{};
    localtime_r(&tWhen, &tm);
    return tm;
}

// Days since 1970-01-01 of the local calendar date of tWhen.
long LocalDayNumber(std::time_t tWhen)
{
    const std::tm tm = LocalTime(tWhen);
    using namespace std::chrono;
    const year_month_day date{year(tm.tm_year + 1900), month(static_cast<unsigned>(tm.tm_mon + 1)),
                              day(static_cast<unsigned>(tm.tm_mday))};
    return sys_days(date).time_since_epoch().count();
}

// Reads exactly nDigits decimal digits at the front of text and removes them.
bool TakeNumber(std::string_view& text, std::size_t nDigits, int& nValue)
{
    if (text.size() < nDigits)
        return false;
    const std::string_view digits = text.substr(0, nDigits);
    if (!std::all_of(digits.begin(), digits.end(), [](char ch) { return ch >= '0' && ch <= '9'; }))
        return false;
    std::from_chars(digits.data(), digits.data() + digits.size(), nValue);
    text.remove_prefix(nDigits);
    return true;
}

bool TakeChar(std::string_view& text, char ch)
{
    if (text.empty() || text.front() != ch)
        return false;
    text.remove_prefix(1);
    return true;
}

bool NewerFirst(const BackupStamp& a, const BackupStamp& b)
{
    if (a.nWritten != b.nWritten)
        return a.nWritten > b.nWritten;
    return a.tWhen != b.tWhen ? a.tWhen > b.tWhen : a.nSerial > b.nSerial;
}
} // namespace

std::string MakeBackupId(std::time_t tWhen, int nSerial)
{
    // UTC: every process names alike whatever its time zone, so names sort as they were written.
    std::tm tm{};
    gmtime_r(&tWhen, &tm);
    char szId[64];
    std::snprintf(szId, sizeof szId, "%04d%02d%02d-%02d%02d%02dZ", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                  tm.tm_hour, tm.tm_min, tm.tm_sec);
    std::string strId = szId;
    if (nSerial > 1)
        strId += "-" + std::to_string(nSerial);
    return strId;
}

std::optional<BackupStamp> ParseBackupId(std::string_view id)
{
    std::string_view rest = id;
    std::tm tm{};
    if (!TakeNumber(rest, 4, tm.tm_year) || !TakeNumber(rest, 2, tm.tm_mon) || !TakeNumber(rest, 2, tm.tm_mday) ||
        !TakeChar(rest, '-') || !TakeNumber(rest, 2, tm.tm_hour) || !TakeNumber(rest, 2, tm.tm_min) ||
        !TakeNumber(rest, 2, tm.tm_sec))
        return std::nullopt;
    const bool bUtc = TakeChar(rest, 'Z');
    int nSerial = 1;
    if (TakeChar(rest, '-'))
    {
        // A serial of 2 to 6 digits without a leading zero.
        if (rest.empty() || rest.size() > 6 || rest.front() == '0' || !TakeNumber(rest, rest.size(), nSerial) ||
            nSerial < 2)
            return std::nullopt;
    }
    if (!rest.empty())
        return std::nullopt;
    tm.tm_year -= 1900;
    tm.tm_mon -= 1;
    tm.tm_isdst = -1; // an old id is the wall-clock time, whatever the daylight-saving state
    const std::tm asRead = tm;
    const std::time_t tWhen = bUtc ? timegm(&tm) : std::mktime(&tm);
    // Only ids the program could have written: no day 32, no hour 25.
    if (tWhen == static_cast<std::time_t>(-1) || tm.tm_year != asRead.tm_year || tm.tm_mon != asRead.tm_mon ||
        tm.tm_mday != asRead.tm_mday || tm.tm_hour != asRead.tm_hour || tm.tm_min != asRead.tm_min ||
        tm.tm_sec != asRead.tm_sec)
        return std::nullopt;
    return BackupStamp{std::string(id), tWhen, nSerial};
}

std::string FormatBackupTime(std::time_t tWhen)
{
    const std::tm tm = LocalTime(tWhen);
    char szText[64];
    std::snprintf(szText, sizeof szText, "%04d-%02d-%02d %02d:%02d:%02d", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                  tm.tm_hour, tm.tm_min, tm.tm_sec);
    return szText;
}

void SortNewestFirst(std::vector<BackupStamp>& stamps)
{
    std::sort(stamps.begin(), stamps.end(), NewerFirst);
}

std::vector<std::string> SelectBackupsToPrune(std::vector<BackupStamp> stamps, std::time_t tNow)
{
    SortNewestFirst(stamps);
    std::set<std::string> keep;
    for (std::size_t i = 0; i < stamps.size() && i < static_cast<std::size_t>(kKeepNewest); ++i)
        keep.insert(stamps[i].strId);
    // Walking newest first, the last backup seen of a day is its oldest.
    const long nToday = LocalDayNumber(tNow);
    std::map<long, std::string> oldestOfDay;
    for (const BackupStamp& stamp : stamps)
    {
        const long nDay = LocalDayNumber(stamp.tWhen);
        if (nDay > nToday - kKeepDays && nDay <= nToday)
            oldestOfDay[nDay] = stamp.strId;
    }
    for (const auto& [nDay, strId] : oldestOfDay)
        keep.insert(strId);
    std::vector<std::string> doomed;
    for (const BackupStamp& stamp : stamps)
        if (!keep.contains(stamp.strId))
            doomed.push_back(stamp.strId);
    return doomed;
}
