// print: the student list or the verification sheets as a PDF file, laid out as the desktop
// program prints them. Needs no display: Qt draws the pages on its offscreen platform.
#include "print/PrintJob.h"

#include <cstdlib>
#include <iostream>
#include <memory>
#include <set>

#include <QGuiApplication>

#include "cli/CliCommand.h"
#include "cli/CliOutput.h"
#include "cli/CliSchool.h"
#include "core/DataFunc.h"
#include "core/Gbk.h"
#include "platform/FileSystem.h"
#include "platform/LastError.h"

namespace
{
// The student numbers of the file, one a line (blank lines skipped), as GBK.
int ReadNumbers(const std::string& strPath, std::set<std::string>& numbers)
{
    std::string strBytes;
    if (const DWORD dwCode = ReadRegularFile(strPath, strBytes); dwCode != ERROR_SUCCESS)
        return FileError("不能读取文件“" + strPath + "”", dwCode);
    for (std::size_t nStart = 0; nStart < strBytes.size();)
    {
        std::size_t nEnd = strBytes.find('\n', nStart);
        if (nEnd == std::string::npos)
            nEnd = strBytes.size();
        const std::string_view number = Gbk::Trim(std::string_view(strBytes).substr(nStart, nEnd - nStart));
        if (!number.empty())
            numbers.emplace(number);
        nStart = nEnd + 1;
    }
    return CLI_OK;
}

// The rows to print in table order: all, or those of the numbers, every one of which must be stored.
int RowsToPrint(const CCliArgs& args, std::vector<int>& rows)
{
    const std::optional<std::string> strNumbers = args.Value("numbers");
    std::set<std::string> numbers;
    if (strNumbers)
        if (const int nExit = ReadNumbers(*strNumbers, numbers); nExit != CLI_OK)
            return nExit;
    std::set<std::string> found;
    for (int nRow = 0; nRow < g_memStudents.GetRowCount(); ++nRow)
    {
        const char* lpcszNumber = g_memStudents.GetCell(nRow, Field::XSBSH);
        if (!strNumbers || numbers.count(lpcszNumber) != 0)
        {
            rows.push_back(nRow);
            found.insert(lpcszNumber);
        }
    }
    for (const std::string& strNumber : numbers)
    {
        if (found.count(strNumber) == 0)
        {
            PrintError("没有学号为 " + TerminalText(strNumber) + " 的记录");
            return CLI_INVALID;
        }
    }
    return CLI_OK;
}

// Qt's notes about its own set-up (no runtime directory, an offscreen screen) are not the tool's
// output; its errors still reach standard error.
void DropQtNotes(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::cerr << qPrintable(qFormatLogMessage(type, context, message)) << '\n';
}

// Qt paints without a display on its offscreen platform, unless the caller chose another.
std::unique_ptr<QGuiApplication> StartPainting()
{
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    qInstallMessageHandler(DropQtNotes);
    static int nArgs = 1;
    static char szName[] = "varnholt-cli";
    static char* args[] = {szName, nullptr};
    return std::make_unique<QGuiApplication>(nArgs, args);
}

int RunPrint(const CCliArgs& args)
{
    if (args.Has("list") == args.Has("sheets"))
        return UsageError("请给出 --list 或 --sheets 之一");
    const std::optional<std::string> strOut = args.Value("out");
    if (!strOut || strOut->empty())
        return UsageError("缺少 --out FILE.pdf");
    CliSchool school;
    if (const int nExit = OpenSchoolOfArgs(args, school); nExit != CLI_OK)
        return nExit;
    if (IsProgramDataFile(*strOut, school.strCode))
        return DataError("“" + *strOut + "”是程序自己的数据文件，不能用作输出文件", ERROR_ACCESS_DENIED);
    PrintJob job = PrintJobForSchool(school.strCode);
    if (const int nExit = RowsToPrint(args, job.rows); nExit != CLI_OK)
        return nExit;
    if (args.Has("sheets") && job.rows.empty())
        return DataError("没有要打印核对表的记录", ERROR_INVALID_DATA);
    job.kind = args.Has("list") ? PrintJob::List : PrintJob::Sheets;
    job.pStudents = &g_memStudents;
    job.bNames = args.Has("names");
    job.bTwoPerPage = args.Has("two-per-page");
    const std::unique_ptr<QGuiApplication> app = StartPainting();
    std::string strPdf;
    if (!RenderPdf(job, strPdf))
        return DataError("不能生成 PDF 文件", ERROR_INVALID_DATA);
    if (const DWORD dwCode = ReplaceFileAtomically(*strOut, strPdf); dwCode != ERROR_SUCCESS)
        return FileError("不能写入文件“" + *strOut + "”", dwCode);
    std::cout << "文件已经生成：" << *strOut << "（" << job.rows.size() << "条记录）\n";
    return CLI_OK;
}
} // namespace

const CliCommand& PrintCommand()
{
    static const CliCommand command = {
        "print",
        "把学生名单或学生信息核对表写成 PDF 文件",
        "用法：varnholt-cli print --school CODE --list|--sheets [--numbers FILE] --out FILE.pdf\n"
        "写与程序“打印...”相同的页面，不需要显示器。记录按表中顺序。\n"
        "  --list           学生名单：A4 横向，每页有院校代码和名称、打印日期、列标题和“第N页/共M页”；\n"
        "                   放不下的列接在后面的页上（每页先重复学号）\n"
        "  --sheets         学生信息核对表：每个学生一页，24 项资料和签字栏\n"
        "  --numbers FILE   只打印文件中列出的学号（每行一个）；有不存在的学号时不生成文件（退出码 1）\n"
        "  --names          名单中的代码字段显示名称（默认显示代码，如程序的列表）\n"
        "  --two-per-page   核对表每页两份（A4 横向，左右各一份）\n"
        "  --out FILE.pdf   要写的 PDF 文件（已有的文件被替换）\n",
        true,
        0,
        {{"list", false},
         {"sheets", false},
         {"numbers", true},
         {"names", false},
         {"two-per-page", false},
         {"out", true}},
        RunPrint};
    return command;
}
