#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Naming and rotation of a school's backups, as pure logic over names, times and write order.
// A backup's id is its time to the second in UTC, "YYYYMMDD-HHMMSSZ", with "-N" (N >= 2) appended
// when several backups fall into the same second; its file is the id followed by ".db". Earlier
// versions named backups by local time without the "Z"; those ids are still read.

struct BackupStamp
{
    std::string strId;
    std::time_t tWhen = 0;  // the time of the id
    int nSerial = 1;        // 1, or N of the "-N" suffix
    long long nWritten = 0; // the backup's place in the order of writing; 0 when not recorded
};

// The id of a backup made at tWhen; nSerial > 1 appends "-N".
std::string MakeBackupId(std::time_t tWhen, int nSerial = 1);

// The stamp of a backup id, or nullopt when the text is no backup id (such entries are foreign:
// never listed, never pruned).
std::optional<BackupStamp> ParseBackupId(std::string_view id);

// "YYYY-MM-DD HH:MM:SS" in local time.
std::string FormatBackupTime(std::time_t tWhen);

// Orders newest first: the later written first (a clock set wrong does not change that order), then,
// among backups whose order was not recorded, the later time and the higher serial of one second.
void SortNewestFirst(std::vector<BackupStamp>& stamps);

// How many of the newest backups are always kept, and for how many calendar days (today
// included) the oldest backup of each day is kept besides.
constexpr int kKeepNewest = 20;
constexpr int kKeepDays = 14;

// The ids to delete so that what remains is the last kKeepNewest backups written plus the oldest
// backup of each of the last kKeepDays local days up to tNow. The oldest backup of such a day
// is its only copy when it has one, so no day that should be kept ever loses its last backup.
std::vector<std::string> SelectBackupsToPrune(std::vector<BackupStamp> stamps, std::time_t tNow);
