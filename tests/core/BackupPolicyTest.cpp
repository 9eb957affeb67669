#include "core/BackupPolicy.h"

#include <algorithm>
#include <ctime>
#include <gtest/gtest.h>
#include <map>
#include <set>

namespace
{
// Local time of a date in the test's time zone (Asia/Shanghai).
std::time_t At(int nYear, int nMonth, int nDay, int nHour = 0, int nMin = 0, int nSec = 0)
{
    std::tm tm{};
    tm.tm_year = nYear - 1900;
    tm.tm_mon = nMonth - 1;
    tm.tm_mday = nDay;
    tm.tm_hour = nHour;
    tm.tm_min = nMin;
    tm.tm_sec = nSec;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

constexpr std::time_t kDay = 24 * 3600;

// A backup store in memory that rotates like the real one after every backup.
class SimulatedStore
{
  public:
    void Backup(std::time_t tNow)
    {
        int nSerial = 1;
        while (m_stamps.contains(MakeBackupId(tNow, nSerial)))
            ++nSerial;
        const std::string strId = MakeBackupId(tNow, nSerial);
        m_stamps[strId] = *ParseBackupId(strId);
        m_made.push_back(m_stamps[strId]);
        std::vector<BackupStamp> stamps;
        for (const auto& [strKey, stamp] : m_stamps)
            stamps.push_back(stamp);
        for (const std::string& strDoomed : SelectBackupsToPrune(stamps, tNow))
            m_stamps.erase(strDoomed);
    }
    bool Has(const std::string& strId) const { return m_stamps.contains(strId); }
    std::size_t Size() const { return m_stamps.size(); }
    const std::vector<BackupStamp>& Made() const { return m_made; } // in the order made

  private:
    std::map<std::string, BackupStamp> m_stamps;
    std::vector<BackupStamp> m_made;
};

long DayOf(std::time_t t)
{
    std::tm tm{};
    localtime_r(&t, &tm);
    return (tm.tm_year + 1900) * 10000L + (tm.tm_mon + 1) * 100 + tm.tm_mday;
}
} // namespace

TEST(BackupId, NamesTheUtcTimeToTheSecondAndReadsOldLocalNamesToo)
{
    // Named in UTC, shown in local time (Asia/Shanghai, eight hours ahead).
    const std::time_t t = At(2026, 12, 10, 9, 5, 7);
    EXPECT_EQ(MakeBackupId(t), "20261210-010507Z");
    EXPECT_EQ(MakeBackupId(t, 3), "20261210-010507Z-3");
    EXPECT_EQ(FormatBackupTime(t), "2026-12-10 09:05:07");
    for (const char* lpcszId : {"20261210-010507Z-3", "20261210-090507-3"}) // new and old names of one moment
    {
        const auto stamp = ParseBackupId(lpcszId);
        ASSERT_TRUE(stamp) << lpcszId;
        EXPECT_EQ(stamp->tWhen, t) << lpcszId;
        EXPECT_EQ(stamp->nSerial, 3) << lpcszId;
    }
}

TEST(BackupId, RefusesWhatTheProgramNeverWrites)
{
    for (const char* lpcszId :
         {"", "20261210", "20261210-0905", "20261210-090507.db", "20261310-090507", "20261232-090507",
          "20261210-250507", "2026121x-090507", "20261210-090507-1", "20261210-090507-01", "20261210-090507-02",
          "20261210-090507Z-02", "20261210-090507z", "20261210-090507ZZ", "20261210-090507-2Z", "20261210-090507-",
          "x20261210-090507", "../20261210-090507"})
        EXPECT_FALSE(ParseBackupId(lpcszId)) << lpcszId;
}

TEST(BackupId, SortsNewestFirstWithSerialsOfOneSecond)
{
    std::vector<BackupStamp> stamps;
    for (const char* lpcszId : {"20261209-235959", "20261210-000000-2", "20261210-000000", "20261210-000000-10"})
        stamps.push_back(*ParseBackupId(lpcszId));
    SortNewestFirst(stamps);
    std::vector<std::string> ids;
    for (const BackupStamp& stamp : stamps)
        ids.push_back(stamp.strId);
    EXPECT_EQ(ids, (std::vector<std::string>{"20261210-000000-10", "20261210-000000-2", "20261210-000000",
                                             "20261209-235959"}));
}

TEST(BackupRotation, KeepsTheNewestTwentyAndTheOldestOfToday)
{
    SimulatedStore store;
    const std::time_t tStart = At(2026, 12, 10, 8);
    for (int i = 0; i < 30; ++i)
        store.Backup(tStart + i * 60);
    EXPECT_EQ(store.Size(), 21u);
    EXPECT_TRUE(store.Has(MakeBackupId(tStart))); // the day's first
    for (int i = 1; i <= 9; ++i)
        EXPECT_FALSE(store.Has(MakeBackupId(tStart + i * 60))) << i;
    for (int i = 10; i < 30; ++i)
        EXPECT_TRUE(store.Has(MakeBackupId(tStart + i * 60))) << i;
}

TEST(BackupRotation, ManySavesInOneSecondGetTheirOwnNames)
{
    SimulatedStore store;
    const std::time_t t = At(2026, 12, 10, 8);
    for (int i = 0; i < 5; ++i)
        store.Backup(t);
    EXPECT_EQ(store.Size(), 5u);
    EXPECT_TRUE(store.Has("20261210-000000Z-5"));
}

// A month of use, several saves a day at varying hours, with pruning after every backup.
TEST(BackupRotation, AMonthOfSavesKeepsTheLastTwentyAndOneBackupOfEachOfTheLastFortnight)
{
    SimulatedStore store;
    const std::time_t tFirstDay = At(2026, 11, 1);
    std::time_t tNow = tFirstDay;
    for (int nDay = 0; nDay < 31; ++nDay)
    {
        const int nSaves = nDay % 4 == 3 ? 0 : 1 + nDay % 7; // some days without any save
        for (int i = 0; i < nSaves; ++i)
        {
            tNow = tFirstDay + nDay * kDay + (7 + i) * 3600 + i * 61;
            store.Backup(tNow);
        }
    }
    const auto& made = store.Made();
    for (std::size_t i = made.size() - 20; i < made.size(); ++i)
        EXPECT_TRUE(store.Has(made[i].strId)) << made[i].strId;
    // The first backup made on each of the last 14 days (today included) survives.
    std::set<long> seenDays;
    for (const BackupStamp& stamp : made)
    {
        const bool bRecentDay = stamp.tWhen > tNow - 14 * kDay && DayOf(stamp.tWhen) > DayOf(tNow - 14 * kDay);
        if (!seenDays.insert(DayOf(stamp.tWhen)).second || !bRecentDay)
            continue;
        EXPECT_TRUE(store.Has(stamp.strId)) << stamp.strId;
    }
    EXPECT_LE(store.Size(), 20u + 14u);
    // Nothing older than the fortnight outlives the newest twenty.
    for (std::size_t i = 0; i + 20 < made.size(); ++i)
    {
        if (DayOf(made[i].tWhen) <= DayOf(tNow - 14 * kDay))
        {
            EXPECT_FALSE(store.Has(made[i].strId)) << made[i].strId;
        }
    }
}

TEST(BackupRotation, KeepsAnOldDaysOnlyBackupWhileItIsAmongTheNewestTwenty)
{
    // One backup a month ago, then nothing: it stays, being among the newest twenty.
    const std::vector<BackupStamp> stamps{*ParseBackupId("20261110-120000")};
    EXPECT_TRUE(SelectBackupsToPrune(stamps, At(2026, 12, 10, 12)).empty());
}
