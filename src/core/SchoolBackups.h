#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "core/BackupPolicy.h"
#include "core/SaveResult.h"
#include "platform/FileSystem.h"
#include "platform/Types.h"

// The promises this keeps: docs/guarantees.md, "Backups" and "Listing and restoring backups".
// Keeping a backup while the data file is replaced, and the list of the backups kept; loading and
// restoring one is BackupRestore.h, above the data file's load and save.
// A school's backups: copies of its data file as it was before each save replaced it, kept in
// "<program directory>/backup/<code>/<id>.db", byte-identical to the file they replaced (the same
// scrambling: the password of that time opens them), mode 0600, rotated by the backup policy.
// Beside each, "<id>.info" records its place in the order of writing and what the save that made
// it was for ("导入前"). Both folders must be real folders: the program neither writes nor prunes
// through a symbolic link, so it never touches files it did not write.

// The clock that names backups and drives their rotation; null restores the real clock.
void SetBackupClock(std::time_t (*pfnNow)());

// What the saves of its scope are for, recorded with the backups they make (GBK, such as
// "删除 3 条记录前"); a save outside any scope records "保存前". Scopes nest.
class CBackupOccasion
{
  public:
    explicit CBackupOccasion(std::string strOccasion);
    ~CBackupOccasion();
    CBackupOccasion(const CBackupOccasion&) = delete;
    CBackupOccasion& operator=(const CBackupOccasion&) = delete;

  private:
    std::string m_strPrevious;
};

struct BackupEntry
{
    BackupStamp stamp;
    std::string strPath;
    std::uint64_t nSize = 0;
    std::string strOccasion; // what the save that made it was for; empty when not recorded
};

// This school's backups, last written first. Files whose names the program does not write are
// ignored, and so is a backup folder that is not a real folder.
std::vector<BackupEntry> ListBackups(const std::string& strCode);

// The path of the backup with this id, or empty when the school has no such backup.
std::string FindBackupPath(const std::string& strCode, const std::string& strId);

// Writes the data file's new content through the file layer (with its options), keeping the file
// it replaces as a new backup once the new content is safely on disk, just before it takes the
// file's place. A backup that cannot be made never stops the save: the result gives its code. A
// failed save leaves no backup behind (the data file is unchanged). Old backups are pruned after
// every new one.
SaveResult ReplaceKeepingBackup(const std::string& strCode, const std::string& strPath, const ContentWriter& content,
                                ReplaceOptions options, FileIdentity* pWritten = nullptr);
