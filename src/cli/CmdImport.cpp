// import: appends the records of a CSV file with the program's import rules.
#include <iostream>

#include "cli/CliCommand.h"
#include "cli/CliOutput.h"
#include "cli/CliSchool.h"
#include "cli/RecordValidation.h"
#include "core/CsvFile.h"
#include "core/DataFunc.h"
#include "exchange/WorkbookImport.h"
#include "platform/FileSystem.h"
#include "platform/LastError.h"

namespace
{
// The student numbers already stored: an incoming record may not repeat one of them.
std::unordered_set<std::string> StoredNumbers()
{
    std::unordered_set<std::string> numbers;
    numbers.reserve(static_cast<std::size_t>(g_memStudents.GetRowCount()));
    for (int nRow = 0; nRow < g_memStudents.GetRowCount(); ++nRow)
        numbers.insert(g_memStudents.GetCell(nRow, Field::XSBSH));
    return numbers;
}

// FALSE after printing the report when an incoming record fails the checks.
BOOL CheckIncoming(const CMemTable& imported)
{
    std::unordered_set<std::string> numbers = StoredNumbers();
    std::string strReport;
    const int nFailing = CheckRecords(imported, &numbers, strReport);
    std::cout << strReport;
    if (nFailing == 0)
        return TRUE;
    std::cout << "导入文件中有" << nFailing << "条记录未通过检查，没有导入任何记录。\n";
    return FALSE;
}

int RunImport(const CCliArgs& args)
{
    const std::optional<std::string> strPath = args.Value("in");
    if (!strPath || strPath->empty())
        return UsageError("缺少 --in FILE");
    CliSchool school;
    if (const int nExit = OpenSchoolOfArgs(args, school, true); nExit != CLI_OK)
        return nExit;
    const std::optional<std::string> strEncoding = args.Value("encoding");
    if (strEncoding && *strEncoding != "gbk" && *strEncoding != "utf-8")
        return UsageError("--encoding 只能是 gbk 或 utf-8");
    // Read through the file layer first, whatever the type: it refuses FIFOs, devices and folders.
    std::string strBytes;
    if (const DWORD dwCode = ReadRegularFile(*strPath, strBytes); dwCode != ERROR_SUCCESS)
        return FileError("不能读取文件“" + *strPath + "”", dwCode);
    const ExchangeFormat format = FormatOfPath(*strPath);
    CMemTable imported;
    std::string strError;
    BOOL bRead = FALSE;
    if (format == ExchangeFormat::Csv || format == ExchangeFormat::Unknown) // any other name: CSV, as before
    {
        const TextEncoding encoding = strEncoding == "utf-8" ? TextEncoding::Utf8 : TextEncoding::Gbk;
        bRead = ReadCsvStudents(strBytes, imported, strError, encoding);
    }
    else
        bRead = ReadWorkbookStudents(*strPath, strBytes, format, imported, strError);
    std::string().swap(strBytes); // read: its memory is better spent on the records
    if (!bRead)
    {
        std::cout << "文件格式不对：" << TerminalText(strError) << '\n';
        return CLI_INVALID;
    }
    if (args.Has("check") && !CheckIncoming(imported))
        return CLI_INVALID;
    const int nCount = imported.GetRowCount();
    if (args.Has("dry-run"))
    {
        std::cout << "可以导入" << nCount << "条记录（试运行，没有写入）。\n";
        return CLI_OK;
    }
    if (!g_memStudents.AppendTable(std::move(imported)))
    {
        std::cout << "文件格式不对：导入失败。\n";
        return CLI_INVALID;
    }
    if (!SaveSchoolDatabase(school.strCode, g_memStudents, school.strPassword))
        return FileError("保存数据文件失败，没有导入任何记录", GetLastError());
    ReportBackupFailure();
    std::cout << "已导入" << nCount << "条记录，现有" << g_memStudents.GetRowCount() << "条记录。\n";
    return CLI_OK;
}
} // namespace

const CliCommand& ImportCommand()
{
    static const CliCommand command = {
        "import",
        "从 CSV 文件或电子表格导入记录（追加）",
        "用法：varnholt-cli import --school CODE --in FILE [--encoding gbk|utf-8] [--check] [--dry-run]\n"
        "按程序“从外部文件导入”的规则读入文件（第一行是 24 个字段名，顺序不限；其下一行若是\n"
        "列表的中文列名则跳过），把其中的记录追加到院校的记录之后并保存。文件类型由扩展名决定：\n"
        ".xlsx、.ods、.xls 读第一个工作表，其他文件按 CSV 读。\n"
        "  --in FILE   要导入的文件\n"
        "  --encoding  CSV 文件的编码：gbk（默认）或 utf-8；带 UTF-8 字节顺序标记的文件总按 UTF-8 读\n"
        "  --check     先按录入窗口新增记录时的规则和代码表检查每条记录：学号不得与已存记录\n"
        "              或文件中前面的记录重复。有一条不通过就不导入任何记录，并列出每个问题：\n"
        "              第N条记录（文件中第一行字段名之后的第N条），“字段”（字段名）：提示\n"
        "  --dry-run   只读入和检查，不写数据文件\n"
        "  --wait SECONDS  另一个程序正在修改该院校的数据时最多等待的秒数（默认不等待：\n"
        "              立即退出，退出码 3）\n",
        true,
        0,
        {{"in", true}, {"encoding", true}, {"check", false}, {"dry-run", false}, kWaitOption},
        RunImport};
    return command;
}
