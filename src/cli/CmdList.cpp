// list: the school's records on standard output.
#include <iostream>

#include "cli/CliCommand.h"
#include "cli/CliOutput.h"
#include "cli/CliSchool.h"
#include "core/DataFunc.h"
#include "exchange/CsvFile.h"

namespace
{
// A copy of the student table with the display name in place of every code of a coded field.
void CopyWithNames(const CMemTable& students, CMemTable& named)
{
    CreateStudentTable(named);
    named.AddRows(students.GetRowCount());
    for (int nRow = 0; nRow < students.GetRowCount(); ++nRow)
    {
        for (int nField = 0; nField < STUDENT_FIELD_COUNT; ++nField)
        {
            const CODETABLE* pTable = g_studentFields[nField].pTable;
            const char* lpcszValue = students.GetCell(nRow, nField);
            named.SetCell(nRow, nField, pTable != nullptr ? LookupCodeName(lpcszValue, pTable) : lpcszValue);
        }
    }
}

// Header and rows, cells separated by TAB, lines ended by LF (values never hold a TAB or a line end).
void AppendTsvRow(const CMemTable& table, int nRow, std::string& strOut)
{
    table.AppendRowText(nRow, "\t", strOut);
    strOut += '\n';
}

int RunList(const CCliArgs& args)
{
    const std::string strFormat = args.Value("format").value_or("tsv");
    if (strFormat != "tsv" && strFormat != "csv")
        return UsageError("--format 只能是 tsv 或 csv");
    COpenSchool school;
    if (const int nExit = OpenSchoolOfArgs(args, school); nExit != CLI_OK)
        return nExit;
    CMemTable named;
    if (args.Has("names"))
        CopyWithNames(school.Students(), named);
    const CMemTable& shown = args.Has("names") ? named : school.Students();
    // Printed a block at a time as it is made, so that the text is never held whole.
    const auto appendLine = strFormat == "csv" ? AppendCsvRow : AppendTsvRow;
    WriteLinesInBlocks(
        -1, shown.GetRowCount(), [&](int nRow, std::string& strBlock) { appendLine(shown, nRow, strBlock); },
        [](std::string& strBlock) {
            const std::string strText = TerminalText(strBlock);
            std::cout.write(strText.data(), static_cast<std::streamsize>(strText.size()));
            return ERROR_SUCCESS;
        });
    return CLI_OK;
}
} // namespace

const CliCommand& ListCommand()
{
    static const CliCommand command = {"list",
                                       "列出院校的全部记录",
                                       "用法：varnholt-cli list --school CODE [--format tsv|csv] [--names]\n"
                                       "按表中顺序列出全部记录：第一行是字段名，以后每行一条记录。\n"
                                       "  --format tsv|csv   tsv（默认）以 TAB 分隔；csv 与导出文件的格式相同\n"
                                       "  --names            代码字段显示名称而不是代码\n",
                                       true,
                                       0,
                                       {{"format", true}, {"names", false}},
                                       RunList};
    return command;
}
