#include "cli/CliSchool.h"

#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "cli/CliOutput.h"
#include "core/DataFunc.h"
#include "core/PasswordChange.h"
#include "core/SchoolBackups.h"
#include "platform/ErrorText.h"
#include "platform/LastError.h"
#include "platform/ProgramDir.h"

namespace
{
constexpr int kDirectoryResource = 134;

// The password as the user gave it (UTF-8), or nullopt after a usage error was printed.
std::optional<std::string> PasswordOfArgs(const CCliArgs& args)
{
    if (args.Has("password") && args.Has("password-stdin"))
    {
        PrintError("--password 与 --password-stdin 只能给出一个");
        return std::nullopt;
    }
    if (const std::optional<std::string> strPassword = args.Value("password"))
        return strPassword;
    if (args.Has("password-stdin"))
    {
        std::string strLine;
        std::getline(std::cin, strLine);
        if (!strLine.empty() && strLine.back() == '\r')
            strLine.pop_back();
        return strLine;
    }
    const char* lpcszEnv = std::getenv("VARNHOLT_PASSWORD");
    return std::string(lpcszEnv != nullptr ? lpcszEnv : "");
}
} // namespace

int PrepareDataDirectory(const CCliArgs& args)
{
    if (const std::optional<std::string> strDir = args.Value("dir"))
    {
        std::error_code ec;
        if (strDir->empty() || !std::filesystem::is_directory(*strDir, ec))
            return DataError("数据目录“" + *strDir + "”不存在", ERROR_PATH_NOT_FOUND);
        SetProgramDirectory(*strDir);
    }
    std::string strMessage;
    if (!LoadResourceTable(kDirectoryResource, "TXT", g_memSchools, strMessage))
    {
        PrintError(TerminalText(strMessage));
        return CLI_DATA_ERROR;
    }
    return CLI_OK;
}

int ReportSchoolAccess(SchoolAccess result)
{
    const DWORD dwCode = GetLastError();
    const std::string strMessage = TerminalText(SchoolAccessMessage(result));
    switch (result)
    {
    case SchoolAccess::Done:
        return CLI_OK;
    case SchoolAccess::CodeEmpty:
    case SchoolAccess::CodeUnknown:
    case SchoolAccess::ConfirmationDiffers:
        return UsageError(strMessage);
    case SchoolAccess::WrongPassword:
        return DataError(strMessage, ERROR_INVALID_PASSWORD);
    case SchoolAccess::DatabaseUnreachable:
    case SchoolAccess::SaveFailed:
        return DataError(strMessage, dwCode);
    }
    return DataError(strMessage, dwCode);
}

namespace
{
// The code and password as GBK, or the exit code of a usage error.
int ReadSchoolArgs(const CCliArgs& args, CliSchool& school)
{
    const std::optional<std::string> strPassword = PasswordOfArgs(args);
    if (!strPassword)
        return CLI_USAGE;
    const std::optional<std::string> strCode = ArgumentAsGbk(args.Value("school").value_or(""));
    const std::optional<std::string> strGbkPassword = ArgumentAsGbk(*strPassword);
    if (!strCode || !strGbkPassword)
        return UsageError("院校代码或密码中有 GBK 无法表示的字符");
    school = {*strCode, *strGbkPassword};
    return CLI_OK;
}
} // namespace

int SchoolOfArgs(const CCliArgs& args, CliSchool& school)
{
    if (const int nExit = ReadSchoolArgs(args, school); nExit != CLI_OK)
        return nExit;
    if (school.strCode.empty())
        return ReportSchoolAccess(SchoolAccess::CodeEmpty);
    if (FindSchoolRow(school.strCode) < 0)
        return ReportSchoolAccess(SchoolAccess::CodeUnknown);
    return CLI_OK;
}

int OpenSchoolOfArgs(const CCliArgs& args, CliSchool& school)
{
    if (const int nExit = ReadSchoolArgs(args, school); nExit != CLI_OK)
        return nExit;
    return ReportSchoolAccess(OpenSchool(school.strCode, school.strPassword, g_memStudents));
}

void ReportBackupFailure()
{
    if (const DWORD dwCode = GetLastBackupError(); dwCode != ERROR_SUCCESS)
        PrintError("备份失败：被覆盖的数据文件没能留作备份（" + TerminalText(GetErrorReasonText(dwCode)) +
                   "，错误代码 " + std::to_string(dwCode) + "），数据已照常保存");
}
