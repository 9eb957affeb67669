#include "exchange/WorkbookExport.h"

#include <algorithm>
#include <array>
#include <unordered_map>

#include "core/DataFunc.h"
#include "core/MemTable.h"
#include "exchange/WorkbookFile.h"
#include "exchange/WorkbookWriterLib.h"
#include "platform/Encoding.h"

namespace
{
constexpr int kFirstRecordRow = 2;    // under the names and the titles
constexpr std::size_t kMaxWidth = 60; // a long address should not push every other column away

// Writes one sheet; valueOf(row, col) gives the GBK text of a record's cell.
class CSheetWriter
{
  public:
    CSheetWriter(const WorkbookWriterLib& lib, lxw_workbook* pBook, lxw_format* pText, CProgressTeller& teller)
        : m_lib(lib), m_pBook(pBook), m_pText(pText), m_teller(teller)
    {
    }

    // lpcszName: the sheet's name (GBK). The progress moves from fFrom to fTo as the rows are written.
    template <typename ValueOf> bool Write(const char* lpcszName, int nRows, ValueOf valueOf, double fFrom, double fTo);

  private:
    bool WriteRow(lxw_worksheet* pSheet, int nRow, const std::array<std::string, STUDENT_FIELD_COUNT>& gbk);

    const WorkbookWriterLib& m_lib;
    lxw_workbook* m_pBook;
    lxw_format* m_pText;
    CProgressTeller& m_teller;
    Encoding::CConverter m_toUtf8{"UTF-8", "CP936"};
    std::string m_strUtf8;
    std::array<std::size_t, STUDENT_FIELD_COUNT> m_widths{};
};

bool CSheetWriter::WriteRow(lxw_worksheet* pSheet, int nRow, const std::array<std::string, STUDENT_FIELD_COUNT>& gbk)
{
    for (int c = 0; c < STUDENT_FIELD_COUNT; ++c)
    {
        // GBK bytes take two columns for a wide character and one for a narrow one, as the cell shows them.
        m_widths[c] = std::max(m_widths[c], gbk[c].size());
        if (gbk[c].empty())
            continue; // an empty cell reads back as an empty value
        if (!m_toUtf8.Convert(gbk[c], m_strUtf8) ||
            m_lib.worksheet_write_string(pSheet, static_cast<lxw_row_t>(nRow), static_cast<lxw_col_t>(c),
                                         m_strUtf8.c_str(), m_pText) != LXW_NO_ERROR)
            return false;
    }
    return true;
}

template <typename ValueOf>
bool CSheetWriter::Write(const char* lpcszName, int nRows, ValueOf valueOf, double fFrom, double fTo)
{
    // The name is GBK like every text of the program; the workbook holds UTF-8.
    std::string strName;
    lxw_worksheet* pSheet =
        m_toUtf8.Convert(lpcszName, strName) ? m_lib.workbook_add_worksheet(m_pBook, strName.c_str()) : nullptr;
    if (pSheet == nullptr)
        return false;
    m_widths.fill(0);
    std::array<std::string, STUDENT_FIELD_COUNT> row;
    for (int c = 0; c < STUDENT_FIELD_COUNT; ++c)
        row[c] = g_studentFields[c].lpcszName;
    if (!WriteRow(pSheet, 0, row))
        return false;
    for (int c = 0; c < STUDENT_FIELD_COUNT; ++c)
        row[c] = g_studentFields[c].lpcszListLabel;
    if (!WriteRow(pSheet, 1, row))
        return false;
    for (int r = 0; r < nRows; ++r)
    {
        for (int c = 0; c < STUDENT_FIELD_COUNT; ++c)
            row[c] = valueOf(r, c);
        if (!WriteRow(pSheet, kFirstRecordRow + r, row))
            return false;
        m_teller.Tell(fFrom + (fTo - fFrom) * (r + 1) / nRows);
    }
    for (int c = 0; c < STUDENT_FIELD_COUNT; ++c)
        m_lib.worksheet_set_column(pSheet, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c),
                                   static_cast<double>(std::min(m_widths[c], kMaxWidth) + 2), m_pText);
    m_lib.worksheet_freeze_panes(pSheet, kFirstRecordRow, 1);
    return m_lib.worksheet_autofilter(pSheet, 1, 0, static_cast<lxw_row_t>(1 + nRows), STUDENT_FIELD_COUNT - 1) ==
           LXW_NO_ERROR;
}

// The stored values of coded fields as their names; other fields as stored. A school repeats few
// codes many times, so each code is looked up in its table once.
class CReadableValues
{
  public:
    explicit CReadableValues(const CMemTable& table) : m_table(table) {}
    std::string operator()(int nRow, int nCol)
    {
        const char* lpcszValue = m_table.GetCell(nRow, nCol);
        const CODETABLE* pTable = g_studentFields[nCol].pTable;
        if (pTable == nullptr)
            return lpcszValue;
        auto [it, bNew] = m_names[nCol].try_emplace(lpcszValue);
        if (bNew)
            it->second = LookupCodeName(lpcszValue, pTable);
        return it->second;
    }

  private:
    const CMemTable& m_table;
    std::array<std::unordered_map<std::string, std::string>, STUDENT_FIELD_COUNT> m_names;
};

bool WriteWorkbook(const WorkbookWriterLib& lib, const CMemTable& table, const std::string& strPath,
                   WorkbookSheets sheets, const ExchangeProgress& progress)
{
    // Rows go to a temporary file as they are written, so a large school costs little memory.
    // Texts are then stored in their cells rather than in one shared table.
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* pBook = lib.workbook_new_opt(strPath.c_str(), &options);
    if (pBook == nullptr)
        return false;
    lxw_format* pText = lib.workbook_add_format(pBook);
    lib.format_set_num_format(pText, "@"); // a value typed into the sheet later stays text too
    CProgressTeller teller(progress);
    CSheetWriter writer(lib, pBook, pText, teller);
    const int nRows = table.GetRowCount();
    // Writing the rows is about half the work; the library packs the file in one call at the end.
    const double fRowsEnd = 0.5, fFirstEnd = sheets == WorkbookSheets::StoredAndNames ? fRowsEnd / 2 : fRowsEnd;
    bool bWritten = writer.Write(
        "记录", nRows, [&](int r, int c) { return std::string(table.GetCell(r, c)); }, 0, fFirstEnd);
    if (sheets == WorkbookSheets::StoredAndNames)
        bWritten = bWritten && writer.Write("记录（名称）", nRows, CReadableValues(table), fFirstEnd, fRowsEnd);
    const bool bClosed = lib.workbook_close(pBook) == LXW_NO_ERROR; // frees the workbook in every case
    teller.Tell(1);
    return bWritten && bClosed;
}
} // namespace

BOOL BuildStudentWorkbook(const CMemTable& table, std::string& strBytes, std::string& strError, WorkbookSheets sheets,
                          const ExchangeProgress& progress)
{
    return BuildWorkbookBytes(
        [&](const WorkbookWriterLib& lib, const std::string& strPath) {
            return WriteWorkbook(lib, table, strPath, sheets, progress);
        },
        strBytes, strError);
}
