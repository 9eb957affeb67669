#include "exchange/XlsImport.h"

#include <cstdio>
#include <freexl.h>
#include <map>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

#include "core/StudentImport.h"
#include "exchange/SheetLimits.h"
#include "exchange/SheetSink.h"
#include "exchange/XlsMergedCells.h"

namespace
{
// The file's bytes as a file of their own: the library reads only by name, and the bytes are
// those the file layer checked, not whatever the name points at by now.
class CMemoryFile
{
  public:
    explicit CMemoryFile(std::string_view bytes) : m_fd(memfd_create("workbook.xls", MFD_CLOEXEC))
    {
        for (std::size_t nDone = 0; m_fd >= 0 && nDone < bytes.size();)
        {
            const ssize_t nWritten = write(m_fd, bytes.data() + nDone, bytes.size() - nDone);
            if (nWritten <= 0)
            {
                close(m_fd);
                m_fd = -1;
            }
            nDone += nWritten > 0 ? static_cast<std::size_t>(nWritten) : 0;
        }
    }
    ~CMemoryFile()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    CMemoryFile(const CMemoryFile&) = delete;
    CMemoryFile& operator=(const CMemoryFile&) = delete;
    bool IsOpen() const { return m_fd >= 0; }
    std::string Path() const { return "/proc/self/fd/" + std::to_string(m_fd); }

  private:
    int m_fd;
};

// An open .xls file, closed when it goes out of scope (also after a failed open).
class CXlsHandle
{
  public:
    explicit CXlsHandle(const std::string& strPath) : m_nStatus(freexl_open(strPath.c_str(), &m_pHandle)) {}
    ~CXlsHandle() { freexl_close(m_pHandle); }
    CXlsHandle(const CXlsHandle&) = delete;
    CXlsHandle& operator=(const CXlsHandle&) = delete;
    int Status() const { return m_nStatus; }
    const void* Get() const { return m_pHandle; }
    unsigned Info(unsigned short nWhat) const
    {
        unsigned nInfo = FREEXL_UNKNOWN;
        return freexl_get_info(m_pHandle, nWhat, &nInfo) == FREEXL_OK ? nInfo : FREEXL_UNKNOWN;
    }

  private:
    const void* m_pHandle = nullptr;
    int m_nStatus;
};

const std::string kNotWorkbook = "文件不是有效的Excel 97-2003工作簿（.xls），或者已经加密。";

// Why the file cannot be read (GBK); empty when it can.
std::string OpenProblem(const CXlsHandle& xls)
{
    // The library opens a file whose code page it cannot convert without an error, but without a handle.
    const bool bCodePage = xls.Status() == FREEXL_OK && xls.Get() == nullptr;
    if (bCodePage || xls.Status() == FREEXL_UNSUPPORTED_CHARSET || xls.Status() == FREEXL_INVALID_CHARACTER)
        return "文件的文字编码（代码页）本程序不能读：请在电子表格程序中把它另存为 .xlsx 工作簿后再导入。";
    if (xls.Status() != FREEXL_OK)
        return kNotWorkbook;
    if (xls.Info(FREEXL_BIFF_PASSWORD) == FREEXL_BIFF_OBFUSCATED)
        return "文件已经加密：请在电子表格程序中取消密码后再导入。";
    return {};
}

// False when the cell's text is longer than a cell may hold.
bool SetCell(ISheetSink& sink, int nRow, int nCol, const FreeXL_CellValue& cell)
{
    int nYear = 0, nMonth = 0, nDay = 0;
    switch (cell.type)
    {
    case FREEXL_CELL_INT:
        sink.SetNumber(nRow, nCol, cell.value.int_value);
        break;
    case FREEXL_CELL_DOUBLE:
        sink.SetNumber(nRow, nCol, cell.value.double_value);
        break;
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
    case FREEXL_CELL_TIME: {
        const std::string_view text = cell.value.text_value ? cell.value.text_value : "";
        if (text.size() > kMaxCellText)
            return false;
        sink.SetText(nRow, nCol, text);
        break;
    }
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME: // "YYYY-MM-DD" or "YYYY-MM-DD HH:MM:SS"
        if (cell.value.text_value && std::sscanf(cell.value.text_value, "%d-%d-%d", &nYear, &nMonth, &nDay) == 3)
            sink.SetDate(nRow, nCol, nYear, nMonth, nDay);
        break;
    default: // FREEXL_CELL_NULL
        break;
    }
    return true;
}

// Hands the selected sheet's cells and merged ranges to the sink; false (with strProblem, GBK) for
// a cell too long.
bool ReadSheet(const CXlsHandle& xls, const std::string& strSheet, const std::vector<MergedRange>& merges,
               ISheetSink& sink, std::string& strProblem)
{
    for (const MergedRange& range : merges)
        sink.MergeRange(range.nFirstRow, range.nFirstCol, range.nLastRow, range.nLastCol);
    unsigned int nRows = 0;
    unsigned short nCols = 0;
    if (freexl_worksheet_dimensions(xls.Get(), &nRows, &nCols) != FREEXL_OK)
        nRows = nCols = 0;
    for (unsigned int r = 0; r < nRows && !sink.Stopped(); ++r)
    {
        for (unsigned short c = 0; c < nCols; ++c)
        {
            FreeXL_CellValue cell;
            if (freexl_get_cell_value(xls.Get(), r, c, &cell) == FREEXL_OK &&
                !SetCell(sink, static_cast<int>(r), c, cell))
            {
                strProblem = CellTooLongProblem(strSheet, static_cast<int>(r), c);
                return false;
            }
        }
    }
    return true;
}
} // namespace

BOOL ReadXlsSheets(std::string_view bytes, ISheetSink& sink, std::string& strError)
{
    // The file's structure is checked here first: the library reads beyond its own buffers on
    // some damaged files that it would otherwise open.
    std::map<std::string, std::vector<MergedRange>> merges;
    if (!ReadXlsMergedCells(bytes, merges))
        return FailWithMessage(strError, kNotWorkbook);
    const CMemoryFile file(bytes);
    if (!file.IsOpen())
        return FailWithMessage(strError, "内存不足，不能读取这个文件。");
    const CXlsHandle xls(file.Path());
    if (const std::string strProblem = OpenProblem(xls); !strProblem.empty())
        return FailWithMessage(strError, strProblem);
    const unsigned nSheets = xls.Info(FREEXL_BIFF_SHEET_COUNT);
    if (nSheets == 0)
        return FailWithMessage(strError, "工作簿中没有工作表。");
    for (unsigned i = 0; i < nSheets && !sink.Stopped(); ++i)
    {
        const char* lpcszSheet = nullptr;
        const auto nSheet = static_cast<unsigned short>(i);
        if (i > 0xFFFF || freexl_select_active_worksheet(xls.Get(), nSheet) != FREEXL_OK ||
            freexl_get_worksheet_name(xls.Get(), nSheet, &lpcszSheet) != FREEXL_OK)
            return FailWithMessage(strError, kNotWorkbook);
        const std::string strSheet = lpcszSheet ? lpcszSheet : "";
        if (!sink.BeginSheet(strSheet))
            continue;
        std::string strProblem;
        if (!ReadSheet(xls, strSheet, merges[strSheet], sink, strProblem))
            return FailWithMessage(strError, strProblem);
        sink.EndSheet();
    }
    return TRUE;
}
