#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "core/BackupPolicy.h"
#include "platform/FileSystem.h"
#include "platform/Types.h"

class CMemTable;

// A school's backups: copies of its data file as it was before each save replaced it, kept in
// "<program directory>/backup/<code>/<id>.db", byte-identical to the file they replaced (the same
// scrambling: the password of that time opens them), mode 0600, rotated by the backup policy.

// "<program directory>/backup/<code>"; empty (last error set) when the program directory is unknown.
std::string GetBackupDirectory(const std::string& strCode);

// The clock that names backups and drives their rotation; null restores the real clock.
void SetBackupClock(std::time_t (*pfnNow)());

struct BackupEntry
{
    BackupStamp stamp;
    std::string strPath;
    std::uint64_t nSize = 0;
};

// This school's backups, newest first. Files whose names the program does not write are ignored.
std::vector<BackupEntry> ListBackups(const std::string& strCode);

// The path of the backup with this id, or empty when the school has no such backup.
std::string FindBackupPath(const std::string& strCode, const std::string& strId);

// Writes the data file's new content through the file layer (with its options), keeping the file
// it replaces as a new backup once the new content is safely on disk, just before it takes the
// file's place. Returns the save's code (0: saved). A backup that cannot be made never stops the
// save: its code is given in dwBackupError (0 when the backup was made or there was no file to
// keep). A failed save leaves no backup behind (the data file is unchanged). Old backups are
// pruned after every new one.
DWORD ReplaceKeepingBackup(const std::string& strCode, const std::string& strPath, const ContentWriter& content,
                           ReplaceOptions options, DWORD& dwBackupError, FileIdentity* pWritten = nullptr);

// The outcome of the last save's backup on this thread (see ReplaceKeepingBackup); 0 when none failed.
DWORD GetLastBackupError();
void SetLastBackupError(DWORD dwCode);

// Loads a backup with the password like the data file itself (the same codes: 86 for another
// password, 13 for text that does not parse). On FALSE the table is unchanged, or empty with the
// student columns after code 13.
BOOL LoadBackup(const std::string& strCode, const std::string& strId, const std::string& strPassword, CMemTable& table);

// Makes the backup the school's data file again, byte for byte, with the rules of every save,
// after checking that the password opens it and the current file (a damaged current file may be
// replaced); the current file becomes a backup first, so a restore can itself be undone. Loads the
// restored records into the table. FALSE with the last error: 2 (no such backup), 86 (the backup
// or the current file needs another password), 13 or 1392 (damaged backup), or the save's code;
// the data file and the table are then unchanged.
BOOL RestoreBackup(const std::string& strCode, const std::string& strId, const std::string& strPassword,
                   CMemTable& table);
