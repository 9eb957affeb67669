// stats: the school's records counted by one field, or by two as a cross table.
#include <algorithm>
#include <iostream>

#include "cli/CliCommand.h"
#include "cli/CliOutput.h"
#include "cli/CliSchool.h"
#include "core/DataFunc.h"
#include "core/Statistics.h"
#include "exchange/StatisticsWorkbook.h"
#include "exchange/WorkbookImport.h"
#include "platform/FileSystem.h"
#include "platform/LastError.h"

namespace
{
// The grid with its columns lined up: GBK takes one byte per column a character fills on a
// terminal, so byte counts pad it. Names go to the left, figures to the right.
std::string AlignedText(const std::vector<std::vector<StatCell>>& grid)
{
    std::vector<std::size_t> widths;
    for (const auto& line : grid)
    {
        widths.resize(std::max(widths.size(), line.size()));
        for (std::size_t c = 0; c < line.size(); ++c)
            widths[c] = std::max(widths[c], line[c].strText.size());
    }
    std::string strText;
    for (const auto& line : grid)
    {
        for (std::size_t c = 0; c < line.size(); ++c)
        {
            const std::string strPad(widths[c] - line[c].strText.size(), ' ');
            const bool bRight = line[c].kind != StatCell::Text || (c > 0 && &line == &grid.front());
            strText += c > 0 ? "  " : "";
            strText += bRight ? strPad + line[c].strText : line[c].strText + (c + 1 < line.size() ? strPad : "");
        }
        strText += '\n';
    }
    return strText;
}

// The dimensions of the --by options; empty after a usage error was printed.
std::vector<const StatDimension*> DimensionsOfArgs(const CCliArgs& args)
{
    const std::vector<std::string> names = args.Values("by");
    if (names.empty() || names.size() > 2)
    {
        UsageError("请给出一个或两个 --by FIELD");
        return {};
    }
    std::vector<const StatDimension*> dimensions;
    for (const std::string& strName : names)
    {
        const std::optional<std::string> strGbk = ArgumentAsGbk(strName);
        const StatDimension* pDimension = strGbk ? FindStatDimension(*strGbk) : nullptr;
        if (pDimension == nullptr)
        {
            UsageError("不能按“" + strName + "”统计（可用的字段见 varnholt-cli stats --help）");
            return {};
        }
        dimensions.push_back(pDimension);
    }
    if (dimensions.size() == 2 && dimensions[0] == dimensions[1])
    {
        UsageError("两个 --by 不能是同一个字段");
        return {};
    }
    return dimensions;
}

int WriteGridFile(const std::string& strPath, const std::vector<std::vector<StatCell>>& grid,
                  const std::string& strSchoolCode)
{
    if (IsProgramDataFile(strPath, strSchoolCode))
        return DataError("“" + strPath + "”是程序自己的数据文件，不能用作导出文件", ERROR_ACCESS_DENIED);
    std::string strBytes;
    if (FormatOfPath(strPath) == ExchangeFormat::Xlsx)
    {
        std::string strError;
        if (!BuildStatisticsWorkbook(grid, strBytes, strError))
            return DataError(TerminalText(strError), ERROR_INVALID_DATA);
    }
    else
        strBytes = StatisticsCsv(grid);
    if (const DWORD dwCode = ReplaceFileAtomically(strPath, strBytes); dwCode != ERROR_SUCCESS)
        return FileError("不能写入文件“" + strPath + "”", dwCode);
    return CLI_OK;
}

int RunStats(const CCliArgs& args)
{
    const std::vector<const StatDimension*> dimensions = DimensionsOfArgs(args);
    if (dimensions.empty())
        return CLI_USAGE;
    const std::optional<std::string> strOut = args.Value("out");
    if (strOut && strOut->empty())
        return UsageError("--out 缺少文件名");
    COpenSchool school;
    if (const int nExit = OpenSchoolOfArgs(args, school); nExit != CLI_OK)
        return nExit;
    const StatDimension* pSecond = dimensions.size() == 2 ? dimensions[1] : nullptr;
    const auto grid =
        StatisticsGrid(CountAllRecords(school.Students(), *dimensions[0], pSecond), *dimensions[0], pSecond);
    std::cout << TerminalText(AlignedText(grid));
    if (!strOut)
        return CLI_OK;
    if (const int nExit = WriteGridFile(*strOut, grid, school.Code()); nExit != CLI_OK)
        return nExit;
    std::cout << "文件已经生成：" << *strOut << '\n';
    return CLI_OK;
}
} // namespace

const CliCommand& StatsCommand()
{
    static const CliCommand command = {
        "stats",
        "按字段统计人数（可交叉统计），可导出为 Excel 工作簿或 CSV 文件",
        "用法：varnholt-cli stats --school CODE --by FIELD [--by FIELD2] [--out FILE.xlsx|FILE.csv]\n"
        "按一个字段统计全部记录的人数和百分比；给出两个 --by 时按两个字段交叉统计（第一个字段为行，\n"
        "第二个为列）。代码显示为名称；不在代码表中的代码计入“（无效代码）”。\n"
        "FIELD 是 CSV 文件第一行的字段名（大小写均可）或统计项目的中文名：\n"
        "  XBDM 性别        XLDM 学历         ZYDLDM 专业类别     ZYDM 专业\n"
        "  SYSZDQDM 生源地（按省份）          ZZMMDM 政治面貌     ZXWYYZDM 外语语种\n"
        "  WYSPDM 外语水平  YXGZDQDM 意向工作省份（意向工作地区按省份）\n"
        "  YXDWXZDM 意向单位性质              YXDWHYDM 意向单位行业\n"
        "  YXYX 意向月薪    YXZYLBM 意向职业  JICENG 参加下基层项目\n"
        "  BYSJ 毕业年份（毕业时间的年份）\n"
        "  --by FIELD    统计的字段，可给两次\n"
        "  --out FILE    另把统计表写入文件：以 .xlsx 结尾时写 Excel 工作簿（人数为数字单元格，百分比为\n"
        "                百分数格式），否则写 CSV 文件（GBK，逗号分隔，每行以 CR LF 结束）\n",
        true,
        0,
        {{"by", true, true}, {"out", true}},
        RunStats};
    return command;
}
