#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Naming and rotation of a school's backups, as pure logic over names and times (local time).
// A backup's id is its time to the second, "YYYYMMDD-HHMMSS", with "-N" (N >= 2) appended when
// several backups fall into the same second; its file is the id followed by ".db".

struct BackupStamp
{
    std::string strId;
    std::time_t tWhen = 0; // local time of the id
    int nSerial = 1;       // 1, or N of the "-N" suffix
};

// The id of a backup made at tWhen; nSerial > 1 appends "-N".
std::string MakeBackupId(std::time_t tWhen, int nSerial = 1);

// The stamp of a backup id, or nullopt when the text is no backup id (such entries are foreign:
// never listed, never pruned).
std::optional<BackupStamp> ParseBackupId(std::string_view id);

// "YYYY-MM-DD HH:MM:SS" in local time.
std::string FormatBackupTime(std::time_t tWhen);

// Orders newest first: later time first, then the higher serial of the same second.
void SortNewestFirst(std::vector<BackupStamp>& stamps);

// How many of the newest backups are always kept, and for how many calendar days (today
// included) the oldest backup of each day is kept besides.
constexpr int kKeepNewest = 20;
constexpr int kKeepDays = 14;

// The ids to delete so that what remains is the newest kKeepNewest backups plus the oldest
// backup of each of the last kKeepDays local days up to tNow. The oldest backup of such a day
// is its only copy when it has one, so no day that should be kept ever loses its last backup.
std::vector<std::string> SelectBackupsToPrune(std::vector<BackupStamp> stamps, std::time_t tNow);
