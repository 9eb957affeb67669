#pragma once

#include <map>
#include <string>
#include <string_view>

#include "platform/FileLock.h"
#include "platform/FileSystem.h"
#include "platform/Types.h"

// The promise this keeps: docs/guarantees.md, "The writer lock and its note".
// The schools this process writes. For each it holds the writer lock (so no other program that
// honours it writes the school meanwhile) and the identity of the data file as this process last
// loaded or saved it (so a save never overwrites a file another program put there).
// LoadSchoolDatabase and SaveSchoolDatabase consult it; the desktop program holds its school from
// login to exit, a command-line command that writes for its whole run.
class CSchoolSession
{
  public:
    // Takes the school's lock (GetSchoolLockPath), waiting up to nWaitSeconds for another writer,
    // then removes the temporary files that interrupted saves of the school left behind.
    // ERROR_LOCK_VIOLATION while another program holds it; ERROR_SUCCESS when already held here.
    DWORD Lock(const std::string& strCode, int nWaitSeconds = 0);
    void Unlock(const std::string& strCode);
    bool Holds(const std::string& strCode) const { return m_schools.count(strCode) != 0; }

    // The data file's identity as last loaded or saved while holding the school; null when the
    // school is not held or its file was not read yet.
    const FileIdentity* LoadedFile(const std::string& strCode) const;
    // Remembers the identity while the school is held (else does nothing).
    void RememberFile(const std::string& strCode, const FileIdentity& identity);
    // Makes the content of the held school's lock file this note (see DataFileNote.h).
    DWORD WriteNote(const std::string& strCode, std::string_view note, bool bSync);
    // The note in the school's lock file: read through the held lock, or from the file when the
    // school is not held here. Empty when there is none.
    std::string ReadNote(const std::string& strCode);

  private:
    struct HeldSchool
    {
        CFileLock lock;
        bool bKnown = false;
        FileIdentity file;
    };
    std::map<std::string, HeldSchool> m_schools;
};

extern CSchoolSession g_schoolSession;

// A hold on a school's writer lock that lets go when the token ends: the login's, a command's, a
// save's. A token takes the lock only when this process does not hold the school already (then it
// holds nothing and leaves the lock to its holder). Letting go keeps the last error.
class CSchoolLockToken
{
  public:
    CSchoolLockToken() = default;
    ~CSchoolLockToken() { Release(); }
    CSchoolLockToken(CSchoolLockToken&& other) noexcept;
    CSchoolLockToken& operator=(CSchoolLockToken&& other) noexcept;
    CSchoolLockToken(const CSchoolLockToken&) = delete;
    CSchoolLockToken& operator=(const CSchoolLockToken&) = delete;

    // g_schoolSession.Lock's codes; ERROR_SUCCESS without taking anything when the school is held already.
    DWORD Lock(const std::string& strCode, int nWaitSeconds = 0);
    // Lets go of the school this token took, if any.
    void Release();

  private:
    std::string m_strTaken; // the code this token locked; empty when it took none
};
