#pragma once

#include <string>

#include "core/SaveResult.h"
#include "platform/Types.h"

class CMemTable;
class CSchoolHold;

// The promise this keeps: docs/guarantees.md, "Listing and restoring backups".
// Loading and restoring a school's backups (listed by SchoolBackups.h) with the data file's rules.

// Loads a backup with the password like the data file itself (the same codes: 86 for another
// password, 13 for text that does not parse). On FALSE the table is unchanged, or empty with the
// student columns after code 13.
BOOL LoadBackup(const std::string& strCode, const std::string& strId, const std::string& strPassword, CMemTable& table);

// Makes the backup the school's data file again with the rules of every save, after checking that
// strBackupPassword opens it and strPassword the current file (a damaged current file may be
// replaced); the current file becomes a backup first, so a restore can itself be undone. A backup
// saved under the current password comes back byte for byte; one saved under an earlier password
// comes back scrambled with the current one. Loads the restored records into the table. A failure
// has the code (also the last error): 2 (no such backup), 86 (the backup or the current file needs
// another password), 13 or 1392 (damaged backup), or the save's code; the data file and the table
// are then unchanged. The result gives the outcome of keeping the current file as a backup. The
// restore writes through pHold when it has the school (see SaveSchoolDatabase).
SaveResult RestoreBackup(const std::string& strCode, const std::string& strId, const std::string& strPassword,
                         const std::string& strBackupPassword, CMemTable& table, CSchoolHold* pHold = nullptr);
