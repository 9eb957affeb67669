// set: one field set to one value for chosen records, with the record editor's checks for it.
#include <iostream>
#include <numeric>
#include <set>

#include "cli/CliCommand.h"
#include "cli/CliOutput.h"
#include "cli/CliSchool.h"
#include "core/BatchChange.h"
#include "core/DataFunc.h"
#include "core/Gbk.h"
#include "platform/FileSystem.h"
#include "platform/LastError.h"

namespace
{
// The field named by its field name (any case) or by a list or editor label; -1 for none.
int FieldOfName(const std::string& strName)
{
    for (int nField = 0; nField < STUDENT_FIELD_COUNT; ++nField)
    {
        const STUDENTFIELD& field = g_studentFields[nField];
        if (Gbk::EqualsNoCase(strName, field.lpcszName) || strName == field.lpcszListLabel ||
            strName == field.lpcszEditorLabel)
            return nField;
    }
    return -1;
}

// The value as the records store it: a display name of a coded field becomes its code, a date in
// either "1986-03-04" or "19860304" form becomes "%Y-%m-%d". nullopt: a date that names no day.
std::optional<std::string> StoredValue(int nField, const std::string& strValue)
{
    if (nField == Field::CSNY || nField == Field::BYSJ)
    {
        std::string strDate = strValue;
        if (strDate.size() == 8 && strDate.find_first_not_of("0123456789") == std::string::npos)
            strDate = strDate.substr(0, 4) + '-' + strDate.substr(4, 2) + '-' + strDate.substr(6, 2);
        const std::int32_t nTime = ParseDateText(strDate);
        if (nTime <= 0)
            return std::nullopt;
        return FormatDateText(nTime);
    }
    if (g_studentFields[nField].pTable != nullptr)
        return LookupFieldCode(strValue, g_studentFields[nField].lpcszName);
    return strValue;
}

// The rows whose student number is a line of the file (blank lines and CR ignored). CLI_OK, or the
// exit code after telling why not: an unreadable file, or numbers that no record has.
int RowsOfNumberFile(const CMemTable& students, const std::string& strPath, std::vector<int>& rows)
{
    std::string strBytes;
    if (const DWORD dwCode = ReadRegularFile(strPath, strBytes); dwCode != ERROR_SUCCESS)
        return FileError("不能读取文件“" + strPath + "”", dwCode);
    std::set<std::string> wanted;
    std::size_t nStart = 0;
    while (nStart < strBytes.size())
    {
        std::size_t nEnd = strBytes.find('\n', nStart);
        if (nEnd == std::string::npos)
            nEnd = strBytes.size();
        std::string strLine = strBytes.substr(nStart, nEnd - nStart);
        if (!strLine.empty() && strLine.back() == '\r')
            strLine.pop_back();
        if (!strLine.empty())
            wanted.insert(strLine);
        nStart = nEnd + 1;
    }
    std::set<std::string> found;
    for (int nRow = 0; nRow < students.GetRowCount(); ++nRow)
    {
        const char* lpcszNumber = students.GetCell(nRow, Field::XSBSH);
        if (wanted.count(lpcszNumber) != 0)
        {
            rows.push_back(nRow);
            found.insert(lpcszNumber);
        }
    }
    int nMissing = 0;
    for (const std::string& strNumber : wanted)
    {
        if (found.count(strNumber) == 0)
        {
            PrintError("没有学号为 " + TerminalText(strNumber) + " 的记录");
            ++nMissing;
        }
    }
    if (nMissing > 0)
    {
        std::cout << "文件中有" << nMissing << "个学号不在记录中，没有修改任何记录。\n";
        return CLI_INVALID;
    }
    return CLI_OK;
}

int RunSet(const CCliArgs& args)
{
    const std::optional<std::string> strFieldArg = args.Value("field");
    const std::optional<std::string> strValueArg = args.Value("value");
    if (!strFieldArg || !strValueArg)
        return UsageError("需要 --field FIELD 和 --value VALUE");
    if (args.Has("numbers") == args.Has("all"))
        return UsageError("需要 --numbers FILE 或 --all 二者之一");
    const std::optional<std::string> strFieldGbk = ArgumentAsGbk(*strFieldArg);
    const std::optional<std::string> strValueGbk = ArgumentAsGbk(*strValueArg);
    if (!strFieldGbk || !strValueGbk)
        return UsageError("字段或值中有 GBK 无法表示的字符");
    const int nField = FieldOfName(*strFieldGbk);
    if (nField < 0)
        return UsageError("没有字段 " + *strFieldArg);
    if (!CanChangeInBatch(nField))
        return UsageError("学号不能批量修改：每条记录的学号各不相同");
    const std::optional<std::string> strStored = StoredValue(nField, *strValueGbk);
    if (!strStored)
        return UsageError("“" + *strValueArg + "”不是日期（写作 1986-03-04 或 19860304）");
    const std::optional<int> nWait = WaitSecondsOfArgs(args);
    if (!nWait)
        return CLI_USAGE;

    COpenSchool school;
    if (const int nExit = OpenSchoolOfArgs(args, school, true); nExit != CLI_OK)
        return nExit;
    std::vector<int> rows;
    if (args.Has("all"))
    {
        rows.resize(static_cast<std::size_t>(school.Students().GetRowCount()));
        std::iota(rows.begin(), rows.end(), 0);
    }
    else if (const int nExit = RowsOfNumberFile(school.Students(), *args.Value("numbers"), rows); nExit != CLI_OK)
        return nExit;

    const FieldChange change{nField, *strStored};
    const std::string strLabel = TerminalText(g_studentFields[nField].lpcszListLabel);
    if (const BatchCheckResult check = CheckBatchChange(school.Students(), rows, change); !check.Passes())
    {
        std::cout << "“" << strLabel << "”（" << g_studentFields[nField].lpcszName << "）："
                  << TerminalText(check.lpcszMessage) << "（" << check.nFailingRows << "条记录），没有修改任何记录。\n";
        return CLI_INVALID;
    }
    const std::vector<int> changing = RowsThatChange(school.Students(), rows, change);
    const std::string strSummary = std::to_string(changing.size()) + "条记录的“" + strLabel + "”设为“" +
                                   TerminalText(change.strValue) + "”，" +
                                   std::to_string(rows.size() - changing.size()) + "条记录原来就是这个值";
    if (args.Has("dry-run"))
    {
        std::cout << "可以把" << strSummary << "（试运行，没有写入）。\n";
        return CLI_OK;
    }
    if (!changing.empty())
    {
        ApplyBatchChange(school.Students(), changing, change);
        const SaveResult saved = school.Save();
        if (!saved)
            return FileError("保存数据文件失败，没有修改任何记录", saved.dwError);
        ReportBackupFailure(saved);
    }
    std::cout << "已把" << strSummary << "。\n";
    return CLI_OK;
}
} // namespace

const CliCommand& SetCommand()
{
    static const CliCommand command = {
        "set",
        "把所选记录的一个字段设为同一个值（批量修改）",
        "用法：varnholt-cli set --school CODE --field FIELD --value VALUE (--numbers FILE | --all)\n"
        "               [--dry-run]\n"
        "把所选记录的一个字段设为同一个值并保存（被覆盖的数据文件留作备份）。先按录入窗口对该字段的\n"
        "检查规则检查修改后的每条记录，有一条不通过就不修改任何记录。\n"
        "  --field FIELD    字段名（如 BYSJ）或列名（如 毕业时间）；学号不能批量修改\n"
        "  --value VALUE    新值：代码字段可写代码或名称，日期写作 1986-03-04 或 19860304\n"
        "  --numbers FILE   修改学号列在文件中的记录（每行一个学号）\n"
        "  --all            修改全部记录\n"
        "  --dry-run        只检查和统计，不写数据文件\n"
        "  --wait SECONDS   另一个程序正在修改该院校的数据时最多等待的秒数（默认不等待：\n"
        "                   立即退出，退出码 3）\n"
        "退出码：0 已修改（或没有需要修改的记录），1 检查不通过或学号不在记录中，2 命令行有误，\n"
        "3 文件不能读写。\n",
        true,
        0,
        {{"field", true}, {"value", true}, {"numbers", true}, {"all", false}, {"dry-run", false}, kWaitOption},
        RunSet};
    return command;
}
