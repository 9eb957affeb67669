#include "exchange/XlsImport.h"

#include <cstdio>
#include <freexl.h>

#include "core/MemTable.h"
#include "core/StudentImport.h"
#include "exchange/SheetRows.h"

namespace
{
// An open .xls file, closed when it goes out of scope (also after a failed open).
class CXlsHandle
{
  public:
    explicit CXlsHandle(const std::string& strPath) : m_bOpen(freexl_open(strPath.c_str(), &m_pHandle) == FREEXL_OK) {}
    ~CXlsHandle() { freexl_close(m_pHandle); }
    CXlsHandle(const CXlsHandle&) = delete;
    CXlsHandle& operator=(const CXlsHandle&) = delete;
    bool IsOpen() const { return m_bOpen; }
    const void* Get() const { return m_pHandle; }

  private:
    const void* m_pHandle = nullptr;
    bool m_bOpen;
};

void SetCell(CSheetRows& rows, int nRow, int nCol, const FreeXL_CellValue& cell)
{
    int nYear = 0, nMonth = 0, nDay = 0;
    switch (cell.type)
    {
    case FREEXL_CELL_INT:
        rows.SetNumber(nRow, nCol, cell.value.int_value);
        break;
    case FREEXL_CELL_DOUBLE:
        rows.SetNumber(nRow, nCol, cell.value.double_value);
        break;
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
        rows.SetText(nRow, nCol, cell.value.text_value);
        break;
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME: // "YYYY-MM-DD" or "YYYY-MM-DD HH:MM:SS"
        if (std::sscanf(cell.value.text_value, "%d-%d-%d", &nYear, &nMonth, &nDay) == 3)
            rows.SetDate(nRow, nCol, nYear, nMonth, nDay);
        break;
    case FREEXL_CELL_TIME:
        rows.SetText(nRow, nCol, cell.value.text_value);
        break;
    default: // FREEXL_CELL_NULL
        break;
    }
}
} // namespace

BOOL ReadXlsWorkbook(const std::string& strPath, CMemTable& table, std::string& strError)
{
    table.Clear();
    const CXlsHandle xls(strPath);
    const char* lpcszSheet = nullptr;
    unsigned int nRows = 0;
    unsigned short nCols = 0;
    if (!xls.IsOpen() || freexl_select_active_worksheet(xls.Get(), 0) != FREEXL_OK ||
        freexl_worksheet_dimensions(xls.Get(), &nRows, &nCols) != FREEXL_OK ||
        freexl_get_worksheet_name(xls.Get(), 0, &lpcszSheet) != FREEXL_OK)
    {
        strError = GbkMessage("文件不是有效的Excel 97-2003工作簿（.xls），或者已经加密。");
        return FALSE;
    }
    CSheetRows rows(lpcszSheet ? lpcszSheet : "");
    for (unsigned int r = 0; r < nRows; ++r)
    {
        for (unsigned short c = 0; c < nCols; ++c)
        {
            FreeXL_CellValue cell;
            if (freexl_get_cell_value(xls.Get(), r, c, &cell) == FREEXL_OK)
                SetCell(rows, static_cast<int>(r), c, cell);
        }
    }
    return rows.Finish(table, strError);
}
