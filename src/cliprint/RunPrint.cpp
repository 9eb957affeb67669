// The print command's work: the student list or the verification sheets as a PDF file, laid out as
// the desktop program prints them. Needs no display: Qt draws the pages on its offscreen platform.
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
int RowsToPrint(const CCliArgs& args, const CMemTable& students, std::vector<int>& rows)
{
    const std::optional<std::string> strNumbers = args.Value("numbers");
    std::set<std::string> numbers;
    if (strNumbers)
        if (const int nExit = ReadNumbers(*strNumbers, numbers); nExit != CLI_OK)
            return nExit;
    std::set<std::string> found;
    for (int nRow = 0; nRow < students.GetRowCount(); ++nRow)
    {
        const char* lpcszNumber = students.GetCell(nRow, Field::XSBSH);
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

} // namespace

int RunPrint(const CCliArgs& args)
{
    if (args.Has("list") == args.Has("sheets"))
        return UsageError("请给出 --list 或 --sheets 之一");
    const std::optional<std::string> strOut = args.Value("out");
    if (!strOut || strOut->empty())
        return UsageError("缺少 --out FILE.pdf");
    COpenSchool school;
    if (const int nExit = OpenSchoolOfArgs(args, school); nExit != CLI_OK)
        return nExit;
    if (IsProgramDataFile(*strOut, school.Code()))
        return DataError("“" + *strOut + "”是程序自己的数据文件，不能用作输出文件", ERROR_ACCESS_DENIED);
    PrintJob job = PrintJobForSchool(school.Code());
    if (const int nExit = RowsToPrint(args, school.Students(), job.rows); nExit != CLI_OK)
        return nExit;
    if (args.Has("sheets") && job.rows.empty())
        return DataError("没有要打印核对表的记录", ERROR_INVALID_DATA);
    job.kind = args.Has("list") ? PrintJob::List : PrintJob::Sheets;
    job.pStudents = &school.Students();
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
