#include "core/SchoolPaths.h"

#include <cstddef>

#include "platform/FileCalls.h"
#include "platform/LastError.h"
#include "platform/ProgramDir.h"

namespace
{
constexpr std::size_t MAX_PATH = 260;

// Where the path leads: every link resolved; for a name not there yet, its directory resolved.
// Empty when not even the directory can be found.
std::string WherePathLeads(const std::string& strPath)
{
    FileCalls& calls = GetFileCalls();
    std::string strResolved;
    if (calls.Realpath(strPath.c_str(), strResolved) == 0)
        return strResolved;
    const auto nSlash = strPath.rfind('/');
    const std::string strDir = nSlash == std::string::npos ? "." : strPath.substr(0, nSlash == 0 ? 1 : nSlash);
    if (calls.Realpath(strDir.c_str(), strResolved) != 0)
        return {};
    return strResolved + (strResolved.ends_with('/') ? "" : "/") + strPath.substr(nSlash + 1);
}
} // namespace

std::string GetSchoolDatabasePath(const std::string& strCode)
{
    const std::string strDir = GetProgramDirectory();
    if (strDir.empty())
    {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return {};
    }
    // The path with its terminating zero must fit in MAX_PATH bytes.
    if (strDir.size() + strCode.size() + 5 > MAX_PATH)
    {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return {};
    }
    return strDir + '/' + strCode + ".db";
}

std::string GetSchoolLockPath(const std::string& strCode)
{
    const std::string strPath = GetSchoolDatabasePath(strCode);
    return strPath.empty() ? strPath : strPath.substr(0, strPath.size() - 3) + ".lock";
}

std::string GetBackupDirectory(const std::string& strCode)
{
    const std::string strDir = GetProgramDirectory();
    if (strDir.empty())
    {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return {};
    }
    return strDir + "/backup/" + strCode;
}

bool IsProgramDataFile(const std::string& strPath, const std::string& strCode)
{
    const std::string strTarget = WherePathLeads(strPath);
    const std::string strDataDir = WherePathLeads(GetProgramDirectory());
    if (strTarget.empty() || strDataDir.empty())
        return false;
    if (strTarget == WherePathLeads(GetSchoolDatabasePath(strCode)) || strTarget.starts_with(strDataDir + "/backup/"))
        return true;
    const auto nSlash = strTarget.rfind('/');
    if (strTarget.substr(0, nSlash) != strDataDir)
        return false;
    const std::string strName = strTarget.substr(nSlash + 1);
    return strName.ends_with(".db") || strName.ends_with(".lock") || strName.find(".db.tmp-") != std::string::npos;
}
