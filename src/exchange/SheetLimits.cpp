#include "exchange/SheetLimits.h"

#include <algorithm>

#include "exchange/FileText.h"

std::string CellName(int nRow, int nCol)
{
    std::string strLetters;
    for (int n = nCol + 1; n > 0; n = (n - 1) / 26)
        strLetters += static_cast<char>('A' + (n - 1) % 26);
    std::reverse(strLetters.begin(), strLetters.end());
    return strLetters + std::to_string(nRow + 1);
}

std::string CellTooLongProblem(const std::string& strSheet, int nRow, int nCol)
{
    return "工作表“" + GbkOfFileText(strSheet) + "”的单元格" + CellName(nRow, nCol) + "太大：它的文本超过" +
           std::to_string(kMaxCellText / 1024) + " KB，没有哪一项能存这么长的值。";
}

std::string PartTooLargeProblem(const std::string& strPart)
{
    return "文件太大：" + GbkOfFileText(strPart) + " 超出了本程序能读的大小（整个文件解压后最多" +
           std::to_string(kMaxUnpackedBytes >> 20) + " MB，其中一段标记最多" + std::to_string(kMaxMarkup >> 20) +
           " MB）。";
}

std::string RepeatsTooLargeProblem(const std::string& strSheet, std::int64_t nRow)
{
    return "文件太大：工作表“" + GbkOfFileText(strSheet) + "”第" + std::to_string(nRow + 1) +
           "行起重复存放的单元格展开后超出了本程序能读的大小。";
}

std::string BeyondSheetProblem(const std::string& strSheet)
{
    return "文件太大：工作表“" + GbkOfFileText(strSheet) + "”有单元格超出了" + std::to_string(kMaxRows) + "行、" +
           std::to_string(kMaxColumns) + "列。";
}
