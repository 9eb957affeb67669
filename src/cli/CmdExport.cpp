// export: the school's records as the program's CSV file.
#include <iostream>

#include "cli/CliCommand.h"
#include "cli/CliOutput.h"
#include "cli/CliSchool.h"
#include "core/DataFunc.h"
#include "exchange/StudentsFile.h"

namespace
{
int RunExport(const CCliArgs& args)
{
    const std::optional<std::string> strPath = args.Value("out");
    if (!strPath || strPath->empty())
        return UsageError("缺少 --out FILE");
    COpenSchool school;
    if (const int nExit = OpenSchoolOfArgs(args, school); nExit != CLI_OK)
        return nExit;
    // The file is replaced whole, so a failed export never leaves a truncated file behind.
    StudentsFileWriting writing;
    writing.strSchoolCode = school.Code();
    writing.csvEncoding = args.Has("utf8") ? TextEncoding::Utf8 : TextEncoding::Gbk;
    writing.sheets = args.Has("names") ? WorkbookSheets::StoredAndNames : WorkbookSheets::Stored;
    const ExchangeOutcome outcome = WriteStudentsFile(*strPath, school.Students(), writing);
    switch (outcome.fault)
    {
    case ExchangeFault::None:
        break;
    case ExchangeFault::DataFile:
        return DataError("“" + *strPath + "”是程序自己的数据文件，不能用作导出文件", outcome.dwCode);
    case ExchangeFault::Unconvertible:
        return DataError("记录中有不是 GBK 编码的字节，不能转换为 UTF-8", outcome.dwCode);
    case ExchangeFault::File:
        return FileError("不能写入文件“" + *strPath + "”", outcome.dwCode);
    default:
        return DataError(TerminalText(outcome.strError), outcome.dwCode);
    }
    std::cout << "文件已经生成：" << *strPath << "（" << school.Students().GetRowCount() << "条记录）\n";
    return CLI_OK;
}
} // namespace

const CliCommand& ExportCommand()
{
    static const CliCommand command = {
        "export",
        "把全部记录导出为 CSV 文件或 Excel 工作簿",
        "用法：varnholt-cli export --school CODE --out FILE [--utf8] [--names]\n"
        "FILE 以 .xlsx 结尾时写 Excel 工作簿：每个单元格都是文本，第 1 行是 24 个字段名，第 2 行是\n"
        "中文列名，工作表“记录”是存储的值。\n"
        "其他文件写与程序“导出Excel文件”相同的 CSV 文件：第一行是 24 个字段名，以后每行一条记录，\n"
        "存储的值（代码字段为代码），逗号分隔，每行以 CR LF 结束。已有的文件被替换（符号链接\n"
        "指向的文件被替换，链接本身保留）；程序自己的数据文件、文件夹、管道和设备不能用作导出文件。\n"
        "  --out FILE   要写的文件\n"
        "  --utf8       CSV 写成带字节顺序标记的 UTF-8（默认 GBK）\n"
        "  --names      工作簿另加工作表“记录（名称）”，把代码字段写成名称，便于阅读（生成时间约为\n"
        "               两倍）\n",
        true,
        0,
        {{"out", true}, {"utf8", false}, {"names", false}},
        RunExport};
    return command;
}
