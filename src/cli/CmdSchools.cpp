// schools: the school directory, narrowed by a part of the school's name.
#include <iostream>

#include "cli/CliCommand.h"
#include "cli/CliOutput.h"
#include "core/DataFunc.h"
#include "core/SchoolFilter.h"

namespace
{
int RunSchools(const CCliArgs& args)
{
    const std::string strFilterUtf8 = args.Operands().empty() ? std::string() : args.Operands().front();
    const std::optional<std::string> strFilter = ArgumentAsGbk(strFilterUtf8);
    if (!strFilter)
        return UsageError("查询文字中有 GBK 无法表示的字符");
    std::string strText;
    for (int nRow : FilterSchoolRows(g_memSchools, *strFilter))
    {
        strText.append(g_memSchools.GetCell(nRow, 0)).append("\t").append(g_memSchools.GetCell(nRow, 1)).append("\n");
    }
    std::cout << TerminalText(strText);
    return CLI_OK;
}
} // namespace

const CliCommand& SchoolsCommand()
{
    static const CliCommand command = {
        "schools",
        "按院校名称查询院校代码",
        "用法：varnholt-cli schools [名称的一部分]\n"
        "列出名称中含有所给文字的院校（代码 TAB 名称），按名录顺序；不给文字时列出全部院校。\n"
        "文字前后的空白不计；区分大小写；只查名称，不查代码。\n",
        false,
        1,
        {},
        RunSchools};
    return command;
}
