#include "cli/CliSchool.h"

#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "cli/CliOutput.h"
#include "core/DataFunc.h"
#include "core/SchoolAccess.h"
#include "core/SchoolBackups.h"
#include "platform/ErrorText.h"
#include "platform/LastError.h"
#include "platform/ProgramDir.h"

namespace
{
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
    if (!LoadResourceTable(IDR_SCHOOL_DIRECTORY, "TXT", g_memSchools, strMessage))
    {
        PrintError(TerminalText(strMessage));
        return CLI_DATA_ERROR;
    }
    return CLI_OK;
}

const CliOption kWaitOption = {"wait", true};
const CliOption kAcceptChangedOption = {"accept-changed-file", false};
const char* const kAcceptChangedUsage =
    "  --accept-changed-file  数据文件与上次保存时记下的大小或校验和不一致时，照现在的内容打开\n";

std::optional<int> WaitSecondsOfArgs(const CCliArgs& args)
{
    const std::string strValue = args.Value("wait").value_or("0");
    int nSeconds = -1;
    const auto [pEnd, error] = std::from_chars(strValue.data(), strValue.data() + strValue.size(), nSeconds);
    if (error != std::errc() || pEnd != strValue.data() + strValue.size() || nSeconds < 0 || nSeconds > 86400)
    {
        UsageError("--wait 需要 0 到 86400 之间的秒数");
        return std::nullopt;
    }
    return nSeconds;
}

int ReportSchoolAccess(SchoolAccess result, const std::string& strCode)
{
    const DWORD dwCode = GetLastError();
    const std::string strMessage = TerminalText(SchoolAccessMessage(result, strCode, dwCode));
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
    case SchoolAccess::LockUnreachable:
        return DataError(strMessage, dwCode);
    case SchoolAccess::SaveFailed:
    case SchoolAccess::ProfileNotWritten:
        return FileError(strMessage, dwCode);
    case SchoolAccess::Locked:
        return DataError(strMessage, ERROR_LOCK_VIOLATION);
    case SchoolAccess::FileDamaged:
        return DataError(strMessage, ERROR_FILE_CORRUPT);
    case SchoolAccess::FileChanged:
        return DataError(strMessage + "要照现在的内容打开，请加 --accept-changed-file。", ERROR_DATA_CHECKSUM_ERROR);
    }
    return DataError(strMessage, dwCode);
}

namespace
{
// The code and password as GBK, or the exit code of a usage error.
int ReadSchoolArgs(const CCliArgs& args, COpenSchool& school)
{
    const std::optional<std::string> strPassword = PasswordOfArgs(args);
    if (!strPassword)
        return CLI_USAGE;
    const std::optional<std::string> strCode = ArgumentAsGbk(args.Value("school").value_or(""));
    const std::optional<std::string> strGbkPassword = ArgumentAsGbk(*strPassword);
    if (!strCode || !strGbkPassword)
        return UsageError("院校代码或密码中有 GBK 无法表示的字符");
    school = COpenSchool(*strCode, *strGbkPassword);
    return CLI_OK;
}
} // namespace

int SchoolOfArgs(const CCliArgs& args, COpenSchool& school)
{
    if (const int nExit = ReadSchoolArgs(args, school); nExit != CLI_OK)
        return nExit;
    if (school.Code().empty())
        return ReportSchoolAccess(SchoolAccess::CodeEmpty);
    if (FindSchoolRow(school.Code()) < 0)
        return ReportSchoolAccess(SchoolAccess::CodeUnknown);
    return CLI_OK;
}

int OpenSchoolOfArgs(const CCliArgs& args, COpenSchool& school, bool bToWrite)
{
    COpenSchool given;
    if (const int nExit = ReadSchoolArgs(args, given); nExit != CLI_OK)
        return nExit;
    const bool bAcceptChanged = args.Has(kAcceptChangedOption.lpcszName);
    if (!bToWrite)
        return ReportSchoolAccess(school.Open(given.Code(), given.Password(), bAcceptChanged), given.Code());
    const std::optional<int> nWait = WaitSecondsOfArgs(args);
    if (!nWait)
        return CLI_USAGE;
    return ReportSchoolAccess(school.OpenToWrite(given.Code(), given.Password(), *nWait, bAcceptChanged), given.Code());
}

void ReportBackupFailure(const SaveResult& saved)
{
    if (const DWORD dwCode = saved.dwBackupError; dwCode != ERROR_SUCCESS)
        PrintError("备份失败：被覆盖的数据文件没能留作备份（" + TerminalText(GetErrorReasonText(dwCode)) +
                   "，错误代码 " + std::to_string(dwCode) + "），数据已照常保存");
}
