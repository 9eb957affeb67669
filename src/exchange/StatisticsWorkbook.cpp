#include "exchange/StatisticsWorkbook.h"

#include <algorithm>

#include "exchange/WorkbookFile.h"
#include "exchange/WorkbookWriterLib.h"
#include "platform/Encoding.h"

namespace
{
struct Formats
{
    lxw_format* pTitle;
    lxw_format* pShare;
};

bool WriteCell(const WorkbookWriterLib& lib, lxw_worksheet* pSheet, lxw_row_t nRow, lxw_col_t nCol,
               const StatCell& cell, const Formats& formats, Encoding::CConverter& toUtf8)
{
    switch (cell.kind)
    {
    case StatCell::Number:
        return lib.worksheet_write_number(pSheet, nRow, nCol, cell.fValue, nullptr) == LXW_NO_ERROR;
    case StatCell::Share:
        return lib.worksheet_write_number(pSheet, nRow, nCol, cell.fValue, formats.pShare) == LXW_NO_ERROR;
    case StatCell::Text:
        break;
    }
    std::string strUtf8;
    return toUtf8.Convert(cell.strText, strUtf8) &&
           lib.worksheet_write_string(pSheet, nRow, nCol, strUtf8.c_str(), nRow == 0 ? formats.pTitle : nullptr) ==
               LXW_NO_ERROR;
}

bool WriteGrid(const WorkbookWriterLib& lib, const std::vector<std::vector<StatCell>>& grid, const std::string& strPath)
{
    lxw_workbook* pBook = lib.workbook_new(strPath.c_str());
    if (pBook == nullptr)
        return false;
    Formats formats{lib.workbook_add_format(pBook), lib.workbook_add_format(pBook)};
    lib.format_set_bold(formats.pTitle);
    lib.format_set_num_format(formats.pShare, "0.0%");
    Encoding::CConverter toUtf8("UTF-8", "CP936");
    std::string strName; // GBK like every text of the program; the workbook holds UTF-8
    lxw_worksheet* pSheet =
        toUtf8.Convert("统计", strName) ? lib.workbook_add_worksheet(pBook, strName.c_str()) : nullptr;
    bool bWritten = pSheet != nullptr;
    std::vector<std::size_t> widths;
    for (std::size_t r = 0; bWritten && r < grid.size(); ++r)
    {
        widths.resize(std::max(widths.size(), grid[r].size()));
        for (std::size_t c = 0; bWritten && c < grid[r].size(); ++c)
        {
            widths[c] = std::max(widths[c], grid[r][c].strText.size()); // GBK bytes: the columns a cell shows
            bWritten = WriteCell(lib, pSheet, static_cast<lxw_row_t>(r), static_cast<lxw_col_t>(c), grid[r][c], formats,
                                 toUtf8);
        }
    }
    for (std::size_t c = 0; bWritten && c < widths.size(); ++c)
        lib.worksheet_set_column(pSheet, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c),
                                 static_cast<double>(widths[c] + 2), nullptr);
    if (bWritten)
        lib.worksheet_freeze_panes(pSheet, 1, 1);
    const bool bClosed = lib.workbook_close(pBook) == LXW_NO_ERROR; // frees the workbook in every case
    return bWritten && bClosed;
}
} // namespace

BOOL BuildStatisticsWorkbook(const std::vector<std::vector<StatCell>>& grid, std::string& strBytes,
                             std::string& strError)
{
    return BuildWorkbookBytes(
        [&](const WorkbookWriterLib& lib, const std::string& strPath) { return WriteGrid(lib, grid, strPath); },
        strBytes, strError);
}
