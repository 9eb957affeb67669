// backups and restore: a school's backups, and making one of them the data file again.
#include <iostream>

#include "cli/CliCommand.h"
#include "cli/CliOutput.h"
#include "cli/CliSchool.h"
#include "core/BackupRestore.h"
#include "core/DataFunc.h"
#include "core/SchoolAccess.h"
#include "core/SchoolBackups.h"
#include "platform/LastError.h"

namespace
{
// The record count of a backup, or why it cannot be read with the password.
std::string RecordsOf(const COpenSchool& school, const BackupEntry& entry)
{
    CMemTable table;
    if (LoadDatabaseFile(entry.strPath, school.Password(), table))
        return std::to_string(table.GetRowCount());
    return GetLastError() == ERROR_INVALID_PASSWORD ? "密码不符" : "已损坏";
}

int RunBackups(const CCliArgs& args)
{
    COpenSchool school;
    if (const int nExit = SchoolOfArgs(args, school); nExit != CLI_OK)
        return nExit;
    for (const BackupEntry& entry : ListBackups(school.Code()))
        std::cout << entry.stamp.strId << '\t' << FormatBackupTime(entry.stamp.tWhen) << '\t'
                  << RecordsOf(school, entry) << '\t' << TerminalText(entry.strOccasion) << '\n';
    return CLI_OK;
}

int RunRestore(const CCliArgs& args)
{
    const std::string strId = args.Value("backup").value_or("");
    if (strId.empty())
        return UsageError("需要 --backup ID（可用 varnholt-cli backups 列出）");
    COpenSchool school;
    if (const int nExit = SchoolOfArgs(args, school); nExit != CLI_OK)
        return nExit;
    const std::optional<int> nWait = WaitSecondsOfArgs(args);
    if (!nWait)
        return CLI_USAGE;
    std::string strBackupPassword = school.Password();
    if (const std::optional<std::string> strGiven = args.Value("backup-password"))
    {
        const std::optional<std::string> strGbk = ArgumentAsGbk(*strGiven);
        if (!strGbk)
            return UsageError("备份的密码中有 GBK 无法表示的字符");
        strBackupPassword = *strGbk;
    }
    // A restore writes the school: it holds the writer lock for its whole run.
    if (const DWORD dwCode = school.Lock(*nWait); dwCode != ERROR_SUCCESS)
    {
        SetLastError(dwCode);
        return ReportSchoolAccess(dwCode == ERROR_LOCK_VIOLATION ? SchoolAccess::Locked : SchoolAccess::LockUnreachable,
                                  school.Code());
    }
    const SaveResult restored = school.Restore(strId, strBackupPassword);
    if (!restored)
    {
        const DWORD dwCode = restored.dwError;
        if (dwCode == ERROR_FILE_NOT_FOUND)
            return UsageError("没有这个备份：" + strId);
        if (dwCode == ERROR_INVALID_PASSWORD)
            return DataError("备份 " + strId +
                                 " 或现在的数据文件不能用给出的密码打开（备份若是在修改密码之前保存的，"
                                 "请用 --backup-password 给出它当时的密码）",
                             dwCode);
        if (dwCode == ERROR_INVALID_DATA || dwCode == ERROR_FILE_CORRUPT)
            return DataError("备份已损坏，不能恢复", dwCode);
        return FileError("恢复备份失败，数据文件没有改变", dwCode);
    }
    ReportBackupFailure(restored);
    std::cout << "已恢复备份 " << strId << "，共 " << school.Students().GetRowCount() << " 条记录。\n";
    return CLI_OK;
}
} // namespace

const CliCommand& BackupsCommand()
{
    static const CliCommand command = {
        "backups",
        "列出院校数据文件的备份",
        "用法：varnholt-cli backups --school CODE\n"
        "每次保存覆盖数据文件之前，原文件都留作备份。按时间从新到旧，每行一个备份：\n"
        "编号 TAB 时间 TAB 记录数 TAB 备份前的操作（如“导入前”）。用给出的密码打不开的备份\n"
        "记录数标为“密码不符”，损坏的标为“已损坏”。\n",
        true,
        0,
        {},
        RunBackups};
    return command;
}

const CliCommand& RestoreCommand()
{
    static const CliCommand command = {
        "restore",
        "用一个备份恢复院校的数据文件",
        "用法：varnholt-cli restore --school CODE --backup ID\n"
        "把备份原样恢复为数据文件；当前的数据文件先留作一个新备份，所以恢复本身也可以撤回。\n"
        "备份必须能用给出的密码打开；修改密码之前的备份用 --backup-password 给出它当时的密码，\n"
        "恢复后数据文件用现在的密码保存。\n"
        "  --backup ID        备份编号（见 varnholt-cli backups）\n"
        "  --backup-password P  备份保存时的密码（默认与 --password 相同）\n"
        "  --wait SECONDS     另一个程序正在修改该院校时最多等待的秒数（默认不等待）\n",
        true,
        0,
        {{"backup", true}, {"backup-password", true}, kWaitOption},
        RunRestore};
    return command;
}
