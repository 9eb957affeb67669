#include "core/SchoolHold.h"

#include <utility>

#include "core/SchoolPaths.h"
#include "platform/LastError.h"

CSchoolHold::CSchoolHold(CSchoolHold&& other) noexcept
    : m_strCode(std::move(other.m_strCode)), m_pLock(std::move(other.m_pLock)), m_file(other.m_file)
{
    other.m_strCode.clear();
    other.m_file.reset();
}

CSchoolHold& CSchoolHold::operator=(CSchoolHold&& other) noexcept
{
    if (this != &other)
    {
        Release();
        m_strCode = std::move(other.m_strCode);
        m_pLock = std::move(other.m_pLock);
        m_file = other.m_file;
        other.m_strCode.clear();
        other.m_file.reset();
    }
    return *this;
}

DWORD CSchoolHold::Lock(const std::string& strCode, int nWaitSeconds)
{
    if (Holds(strCode))
        return ERROR_SUCCESS;
    Release();
    const std::string strLockPath = GetSchoolLockPath(strCode);
    if (strLockPath.empty())
        return GetLastError();
    auto pLock = std::make_unique<CFileLock>();
    if (const DWORD dwCode = pLock->Lock(strLockPath, nWaitSeconds); dwCode != ERROR_SUCCESS)
        return dwCode;
    m_strCode = strCode;
    m_pLock = std::move(pLock);
    RemoveStaleTemporaries(GetSchoolDatabasePath(strCode));
    return ERROR_SUCCESS;
}

void CSchoolHold::Release()
{
    if (m_pLock == nullptr)
        return;
    const DWORD dwCode = GetLastError();
    m_pLock.reset();
    m_strCode.clear();
    m_file.reset();
    SetLastError(dwCode);
}

void CSchoolHold::RememberFile(const FileIdentity& identity)
{
    if (m_pLock != nullptr)
        m_file = identity;
}

DWORD CSchoolHold::WriteNote(std::string_view note, bool bSync)
{
    return m_pLock == nullptr ? ERROR_INVALID_DATA : m_pLock->WriteContent(note, bSync);
}

std::string ReadSchoolNote(const std::string& strCode, const CSchoolHold* pHold)
{
    constexpr std::size_t kMaxNote = 4096; // a few lines: anything longer is no note of ours
    std::string strNote;
    if (pHold != nullptr && pHold->Holds(strCode))
        return pHold->m_pLock->ReadContent(strNote, kMaxNote) == ERROR_SUCCESS ? strNote : std::string();
    FileIdentity identity;
    const std::string strPath = GetSchoolLockPath(strCode);
    if (GetFileIdentity(strPath, identity) != ERROR_SUCCESS || identity.size > static_cast<off_t>(kMaxNote) ||
        ReadRegularFile(strPath, strNote) != ERROR_SUCCESS)
        return {};
    return strNote;
}
