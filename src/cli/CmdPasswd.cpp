// passwd: changes a school's password with the program's rules and messages.
#include <iostream>

#include "cli/CliCommand.h"
#include "cli/CliOutput.h"
#include "cli/CliSchool.h"
#include "core/DataFunc.h"
#include "core/PasswordChange.h"
#include "core/SaveResult.h"

namespace
{
int RunPasswd(const CCliArgs& args)
{
    const std::optional<std::string> strOld = args.Value("old");
    const std::optional<std::string> strNew = args.Value("new");
    if (!strOld || !strNew)
        return UsageError("需要 --old P 和 --new Q");
    const std::optional<std::string> strCode = ArgumentAsGbk(args.Value("school").value_or(""));
    const std::optional<std::string> strOldGbk = ArgumentAsGbk(*strOld);
    const std::optional<std::string> strNewGbk = ArgumentAsGbk(*strNew);
    if (!strCode || !strOldGbk || !strNewGbk)
        return UsageError("院校代码或密码中有 GBK 无法表示的字符");
    // The new password is given once here, so it is its own confirmation.
    const PasswordChangeRequest request = {*strCode, *strOldGbk, *strNewGbk, *strNewGbk,
                                           args.Has(kAcceptChangedOption.lpcszName)};
    const std::optional<int> nWait = WaitSecondsOfArgs(args);
    if (!nWait)
        return CLI_USAGE;
    SaveResult saved;
    CMemTable students; // the records pass through on their way to the file under the new password
    const SchoolAccess result = ChangeSchoolPassword(request, students, *nWait, &saved);
    if (result != SchoolAccess::Done)
        return ReportSchoolAccess(result, *strCode);
    ReportBackupFailure(saved);
    std::cout << "密码已修改。\n";
    return CLI_OK;
}
} // namespace

const CliCommand& PasswdCommand()
{
    static const CliCommand command = {
        "passwd",
        "修改院校数据文件的密码",
        "用法：varnholt-cli passwd --school CODE --old P --new Q\n"
        "用原密码打开数据文件，以新密码重新保存，并把新密码记入 quillmark.ini 的 [security] 节。\n"
        "还没有数据文件的院校可用任意原密码，新建一个没有记录的数据文件。\n"
        "  --school CODE   院校代码\n"
        "  --old P         原密码\n"
        "  --new Q         新密码\n"
        "  --wait SECONDS  另一个程序正在修改该院校的数据时最多等待的秒数（默认不等待：\n"
        "                  立即退出，退出码 3）\n"
        "  --accept-changed-file  数据文件与上次保存时记下的大小或校验和不一致时，照现在的内容打开\n",
        false,
        0,
        {{"school", true}, {"old", true}, {"new", true}, kWaitOption, kAcceptChangedOption},
        RunPasswd};
    return command;
}
