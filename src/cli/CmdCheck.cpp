// check: the stored records against the record editor's rules and the code tables.
#include <iostream>

#include "cli/CliCommand.h"
#include "cli/CliOutput.h"
#include "cli/CliSchool.h"
#include "cli/RecordValidation.h"
#include "core/DataFunc.h"

namespace
{
int RunCheck(const CCliArgs& args)
{
    COpenSchool school;
    if (const int nExit = OpenSchoolOfArgs(args, school); nExit != CLI_OK)
        return nExit;
    // Stored records are checked as the editor checks a modified record: no duplicate check.
    std::string strReport;
    const int nFailing = CheckRecords(school.Students(), strReport);
    const int nCount = school.Students().GetRowCount();
    std::cout << strReport;
    if (nFailing == 0)
    {
        std::cout << "共" << nCount << "条记录，全部通过检查。\n";
        return CLI_OK;
    }
    std::cout << "共" << nCount << "条记录，其中" << nFailing << "条未通过检查。\n";
    return CLI_INVALID;
}
} // namespace

const CliCommand& CheckCommand()
{
    static const CliCommand command = {
        "check",
        "检查已存的全部记录",
        "用法：varnholt-cli check --school CODE\n"
        "按录入窗口修改记录时的规则（不查学号重复）和代码表检查每一条记录，\n"
        "每个问题一行：第N条记录，“字段”（字段名）：提示。全部通过时退出码为 0，否则为 1。\n",
        true,
        0,
        {},
        RunCheck};
    return command;
}
