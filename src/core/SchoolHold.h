#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/FileLock.h"
#include "platform/FileSystem.h"
#include "platform/Types.h"

// The promise this keeps: docs/guarantees.md, "The writer lock and its note".
// A school this program writes: its writer lock (so no other program, and no other hold in this one,
// writes the school meanwhile) and the identity of the data file as last loaded or saved through
// the hold (so a save never overwrites a file another program put there). The open school owns the
// hold of the school it writes; a load or save handed the hold consults it. Moving a hold moves the
// lock; it lets go when the hold ends.
class CSchoolHold
{
  public:
    CSchoolHold() = default;
    ~CSchoolHold() { Release(); }
    CSchoolHold(CSchoolHold&& other) noexcept;
    CSchoolHold& operator=(CSchoolHold&& other) noexcept;
    CSchoolHold(const CSchoolHold&) = delete;
    CSchoolHold& operator=(const CSchoolHold&) = delete;

    // Takes the school's lock (GetSchoolLockPath), waiting up to nWaitSeconds for another writer,
    // then removes the temporary files that interrupted saves of the school left behind; a school
    // held before lets go first. ERROR_LOCK_VIOLATION while another holder has it; ERROR_SUCCESS
    // without taking anything anew when this hold has the school already.
    DWORD Lock(const std::string& strCode, int nWaitSeconds = 0);
    // Lets go of the school, if any; keeps the last error.
    void Release();
    bool Holds(const std::string& strCode) const { return m_pLock != nullptr && m_strCode == strCode; }

    // The data file's identity as last loaded or saved through this hold; null when it holds no
    // school or its file was not read yet.
    const FileIdentity* LoadedFile() const { return m_file ? &*m_file : nullptr; }
    // Remembers the identity while the hold has a school (else does nothing).
    void RememberFile(const FileIdentity& identity);
    // Makes the content of the held school's lock file this note (see DataFileNote.h);
    // ERROR_INVALID_DATA when nothing is held.
    DWORD WriteNote(std::string_view note, bool bSync);

  private:
    friend std::string ReadSchoolNote(const std::string& strCode, const CSchoolHold* pHold);

    std::string m_strCode;
    std::unique_ptr<CFileLock> m_pLock; // null while nothing is held
    std::optional<FileIdentity> m_file;
};

// The note in the school's lock file: read through the hold when it has the school (closing another
// descriptor of the file could let a record lock go), else from the file. Empty when there is none.
std::string ReadSchoolNote(const std::string& strCode, const CSchoolHold* pHold);
