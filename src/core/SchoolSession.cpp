#include "core/SchoolSession.h"

#include "core/SchoolPaths.h"
#include "platform/LastError.h"

CSchoolSession g_schoolSession;

DWORD CSchoolSession::Lock(const std::string& strCode, int nWaitSeconds)
{
    if (Holds(strCode))
        return ERROR_SUCCESS;
    const std::string strLockPath = GetSchoolLockPath(strCode);
    if (strLockPath.empty())
        return GetLastError();
    HeldSchool& school = m_schools[strCode];
    if (const DWORD dwCode = school.lock.Lock(strLockPath, nWaitSeconds); dwCode != ERROR_SUCCESS)
    {
        m_schools.erase(strCode);
        return dwCode;
    }
    RemoveStaleTemporaries(GetSchoolDatabasePath(strCode));
    return ERROR_SUCCESS;
}

void CSchoolSession::Unlock(const std::string& strCode)
{
    m_schools.erase(strCode);
}

const FileIdentity* CSchoolSession::LoadedFile(const std::string& strCode) const
{
    const auto found = m_schools.find(strCode);
    return found != m_schools.end() && found->second.bKnown ? &found->second.file : nullptr;
}

void CSchoolSession::RememberFile(const std::string& strCode, const FileIdentity& identity)
{
    if (const auto found = m_schools.find(strCode); found != m_schools.end())
    {
        found->second.bKnown = true;
        found->second.file = identity;
    }
}

CSchoolLockToken::CSchoolLockToken(CSchoolLockToken&& other) noexcept : m_strTaken(std::move(other.m_strTaken))
{
    other.m_strTaken.clear();
}

CSchoolLockToken& CSchoolLockToken::operator=(CSchoolLockToken&& other) noexcept
{
    if (this != &other)
    {
        Release();
        m_strTaken = std::move(other.m_strTaken);
        other.m_strTaken.clear();
    }
    return *this;
}

DWORD CSchoolLockToken::Lock(const std::string& strCode, int nWaitSeconds)
{
    if (g_schoolSession.Holds(strCode))
        return ERROR_SUCCESS;
    const DWORD dwCode = g_schoolSession.Lock(strCode, nWaitSeconds);
    if (dwCode == ERROR_SUCCESS)
        m_strTaken = strCode;
    return dwCode;
}

void CSchoolLockToken::Release()
{
    if (m_strTaken.empty())
        return;
    const DWORD dwCode = GetLastError();
    g_schoolSession.Unlock(m_strTaken);
    m_strTaken.clear();
    SetLastError(dwCode);
}

DWORD CSchoolSession::WriteNote(const std::string& strCode, std::string_view note, bool bSync)
{
    const auto found = m_schools.find(strCode);
    return found == m_schools.end() ? ERROR_INVALID_DATA : found->second.lock.WriteContent(note, bSync);
}

std::string CSchoolSession::ReadNote(const std::string& strCode)
{
    constexpr std::size_t kMaxNote = 4096; // a few lines: anything longer is no note of ours
    std::string strNote;
    if (const auto found = m_schools.find(strCode); found != m_schools.end())
        return found->second.lock.ReadContent(strNote, kMaxNote) == ERROR_SUCCESS ? strNote : std::string();
    FileIdentity identity;
    const std::string strPath = GetSchoolLockPath(strCode);
    if (GetFileIdentity(strPath, identity) != ERROR_SUCCESS || identity.size > static_cast<off_t>(kMaxNote) ||
        ReadRegularFile(strPath, strNote) != ERROR_SUCCESS)
        return {};
    return strNote;
}
