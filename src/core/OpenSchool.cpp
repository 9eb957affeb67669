#include "core/OpenSchool.h"

#include <utility>

#include "core/BackupRestore.h"
#include "core/SchoolAccess.h"
#include "core/SchoolDatabase.h"

COpenSchool::COpenSchool() : m_pStudents(std::make_unique<CMemTable>()) {}

COpenSchool::COpenSchool(std::string strCode, std::string strPassword)
    : m_strCode(std::move(strCode)), m_strPassword(std::move(strPassword)), m_pStudents(std::make_unique<CMemTable>())
{
}

SchoolAccess COpenSchool::Open(const std::string& strCode, const std::string& strPassword, bool bAcceptChangedFile)
{
    return Opened(OpenSchool(strCode, strPassword, *m_pStudents, bAcceptChangedFile), strCode, strPassword);
}

SchoolAccess COpenSchool::OpenToWrite(const std::string& strCode, const std::string& strPassword, int nWaitSeconds,
                                      bool bAcceptChangedFile)
{
    return Opened(OpenSchoolToWrite(strCode, strPassword, *m_pStudents, m_hold, nWaitSeconds, bAcceptChangedFile),
                  strCode, strPassword);
}

SchoolAccess COpenSchool::Opened(SchoolAccess result, const std::string& strCode, const std::string& strPassword)
{
    if (result == SchoolAccess::Done)
    {
        m_strCode = strCode;
        m_strPassword = strPassword;
        m_bUnsavedChange = false;
    }
    return result;
}

SaveResult COpenSchool::Save()
{
    const SaveResult saved = SaveSchoolDatabase(m_strCode, *m_pStudents, m_strPassword, &m_hold);
    m_bUnsavedChange = !saved;
    return Note(saved);
}

SaveResult COpenSchool::Restore(const std::string& strId, const std::string& strBackupPassword)
{
    return Note(RestoreBackup(m_strCode, strId, m_strPassword, strBackupPassword, *m_pStudents, &m_hold));
}

SaveResult COpenSchool::Note(const SaveResult& result)
{
    if (result)
        m_bBackupFailing = result.dwBackupError != ERROR_SUCCESS;
    return result;
}

bool COpenSchool::HasNoDataFileYet() const
{
    const FileIdentity* pFile = HoldsLock() ? m_hold.LoadedFile() : nullptr;
    return pFile != nullptr && !pFile->bExists;
}
