#pragma once

#include <string>

#include "core/SaveResult.h"
#include "core/SchoolSession.h"

enum class SchoolAccess;
class CMemTable;

// The school a program works on, from its opening to its end: the code and password accepted when
// it opened, the writer lock a program that writes holds on it, its student table, and whether a
// change of the table has not reached the data file. The desktop program's login opens it and the
// main window owns it; a command of the CLI opens its own. Every load, save and restore of the
// school goes through it, so that the table and the file it came from stay together.
class COpenSchool
{
  public:
    // No school open yet.
    COpenSchool();
    // A school whose records the table holds already, opened by the caller without its lock.
    COpenSchool(std::string strCode, std::string strPassword);
    COpenSchool(COpenSchool&&) noexcept = default;
    COpenSchool& operator=(COpenSchool&&) noexcept = default;

    // OpenSchool into the table (see SchoolAccess.h); on Done this is the school.
    SchoolAccess Open(const std::string& strCode, const std::string& strPassword, bool bAcceptChangedFile = false);
    // OpenSchoolToWrite into the table, the lock into this school; on Done this is the school.
    SchoolAccess OpenToWrite(const std::string& strCode, const std::string& strPassword, int nWaitSeconds = 0,
                             bool bAcceptChangedFile = false);

    // Takes the school's writer lock without loading its file (CSchoolLockToken::Lock's codes).
    DWORD Lock(int nWaitSeconds = 0) { return m_lock.Lock(m_strCode, nWaitSeconds); }

    const std::string& Code() const { return m_strCode; }
    const std::string& Password() const { return m_strPassword; }
    CMemTable& Students() { return *m_pStudents; }
    const CMemTable& Students() const { return *m_pStudents; }

    // Writes the whole table to the data file (SaveSchoolDatabase).
    SaveResult Save();
    // Makes a backup the data file again and loads it into the table (RestoreBackup, BackupRestore.h).
    SaveResult Restore(const std::string& strId, const std::string& strBackupPassword);

    // True while the table holds a change that did not reach the data file: the last save failed.
    bool HasUnsavedChange() const { return m_bUnsavedChange; }
    // True while the backups fail: the last save or restore that succeeded could not keep the file it
    // replaced. Lets a front end tell a backup that keeps failing once.
    bool BackupFailing() const { return m_bBackupFailing; }
    // Whether the school had no data file when it was opened (or last saved): any password opens it.
    bool HasNoDataFileYet() const;

  private:
    // Makes the school the one opened when the open is Done; returns result.
    SchoolAccess Opened(SchoolAccess result, const std::string& strCode, const std::string& strPassword);
    // Notes a save's or restore's outcome.
    SaveResult Note(const SaveResult& result);

    std::string m_strCode;
    std::string m_strPassword;
    CSchoolLockToken m_lock;
    CMemTable* m_pStudents;
    bool m_bUnsavedChange = false;
    bool m_bBackupFailing = false;
};
