// export: the school's records as the program's CSV file.
#include <iostream>

#include "cli/CliCommand.h"
#include "cli/CliOutput.h"
#include "cli/CliSchool.h"
#include "core/CsvFile.h"
#include "core/DataFunc.h"
#include "exchange/WorkbookExport.h"
#include "exchange/WorkbookImport.h"
#include "platform/Encoding.h"
#include "platform/FileSystem.h"
#include "platform/LastError.h"

namespace
{
// Writes the records as CSV, in GBK or as UTF-8 with its byte-order mark, a block at a time as
// they are made.
int WriteCsvFile(const std::string& strPath, bool bUtf8)
{
    bool bUnconvertible = false;
    const ContentWriter content = [&](const WriteFunction& write) {
        if (bUtf8)
            if (const DWORD dwCode = write(Encoding::kUtf8ByteOrderMark); dwCode != ERROR_SUCCESS)
                return dwCode;
        return WriteCsvInBlocks(g_memStudents, [&](std::string& strBlock) {
            if (!bUtf8)
                return write(strBlock);
            const std::optional<std::string> strUtf8 = Encoding::GbkToUtf8(strBlock);
            bUnconvertible = !strUtf8;
            return strUtf8 ? write(*strUtf8) : ERROR_INVALID_DATA;
        });
    };
    const DWORD dwCode = ReplaceFileAtomically(strPath, content);
    if (bUnconvertible)
        return DataError("记录中有不是 GBK 编码的字节，不能转换为 UTF-8", ERROR_INVALID_DATA);
    if (dwCode != ERROR_SUCCESS)
        return FileError("不能写入文件“" + strPath + "”", dwCode);
    return CLI_OK;
}

int RunExport(const CCliArgs& args)
{
    const std::optional<std::string> strPath = args.Value("out");
    if (!strPath || strPath->empty())
        return UsageError("缺少 --out FILE");
    CliSchool school;
    if (const int nExit = OpenSchoolOfArgs(args, school); nExit != CLI_OK)
        return nExit;
    if (IsProgramDataFile(*strPath, school.strCode))
        return DataError("“" + *strPath + "”是程序自己的数据文件，不能用作导出文件", ERROR_ACCESS_DENIED);
    // The file is replaced whole, so a failed export never leaves a truncated file behind.
    if (FormatOfPath(*strPath) == ExchangeFormat::Xlsx)
    {
        std::string strWorkbook;
        std::string strError;
        const WorkbookSheets sheets = args.Has("names") ? WorkbookSheets::StoredAndNames : WorkbookSheets::Stored;
        if (!BuildStudentWorkbook(g_memStudents, strWorkbook, strError, sheets))
            return DataError(TerminalText(strError), ERROR_INVALID_DATA);
        if (const DWORD dwCode = ReplaceFileAtomically(*strPath, strWorkbook); dwCode != ERROR_SUCCESS)
            return FileError("不能写入文件“" + *strPath + "”", dwCode);
    }
    else if (const int nExit = WriteCsvFile(*strPath, args.Has("utf8")); nExit != CLI_OK)
        return nExit;
    std::cout << "文件已经生成：" << *strPath << "（" << g_memStudents.GetRowCount() << "条记录）\n";
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
