#include <string>

#include "core/SchoolDatabase.h"
#include "platform/FileCalls.h"
#include "platform/ProgramDir.h"

namespace
{
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
