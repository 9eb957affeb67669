#pragma once

#include <memory>
#include <string>

#include "core/MemTable.h"
#include "core/SaveResult.h"
#include "core/SchoolHold.h"

enum class SchoolAccess;

// The school a program works on, from its opening to its end: the code and password accepted when
// it opened, the writer lock a program that writes holds on it, its student table, and whether a
// change of the table has not reached the data file. The desktop program's login opens it and the
// main window owns it; a command of the CLI opens its own. Every load, save and restore of the
// school goes through it, so that the table and the file it came from stay together.
// The school owns its table, which stays where it is when the school moves: views built on the
// table of a school stay valid wherever the school goes. A school moved from has no table; it may
// only be assigned to or destroyed.
class COpenSchool
{
  public:
    // No school open yet; an empty table.
    COpenSchool();
    // A school that the caller names without its lock or its file; an empty table for the caller to fill.
    COpenSchool(std::string strCode, std::string strPassword);
    COpenSchool(COpenSchool&&) noexcept = default;
    COpenSchool& operator=(COpenSchool&&) noexcept = default;

    // OpenSchool into the table (see SchoolAccess.h); on Done this is the school.
    SchoolAccess Open(const std::string& strCode, const std::string& strPassword, bool bAcceptChangedFile = false);
    // OpenSchoolToWrite into the table, the lock into this school; on Done this is the school.
    SchoolAccess OpenToWrite(const std::string& strCode, const std::string& strPassword, int nWaitSeconds = 0,
                             bool bAcceptChangedFile = false);

    // Takes the school's writer lock without loading its file (CSchoolHold::Lock's codes).
    DWORD Lock(int nWaitSeconds = 0) { return m_hold.Lock(m_strCode, nWaitSeconds); }
    // Whether this school holds its writer lock.
    bool HoldsLock() const { return m_hold.Holds(m_strCode); }

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
    CSchoolHold m_hold; // the writer lock and the data file as last loaded or saved through it
    std::unique_ptr<CMemTable> m_pStudents;
    bool m_bUnsavedChange = false;
    bool m_bBackupFailing = false;
};
