#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/StudentImport.h"
#include "exchange/SheetSink.h"
#include "platform/Encoding.h"
#include "platform/Types.h"

class CMemTable;

// A workbook's texts in one buffer, by index: a workbook may hold millions of them.
class CTextPool
{
  public:
    // Returns the new text's index (0 for the first).
    std::size_t Append(std::string_view text);
    // Empty for an index never returned.
    std::string_view At(std::size_t nIndex) const;
    std::size_t Count() const { return m_offsets.size() - 1; }

  private:
    std::string m_pool;
    std::vector<std::size_t> m_offsets{0};
};

// A cell reference in A1 style ("B3", "$AA$10"): the 0-based row and column. False when it is not
// one (column letters, then row digits); the parts read so far are still set.
bool ParseCellReference(std::string_view reference, int& nRow, int& nCol);

// Turns the cells of a spreadsheet's sheet into student records by the rules of every import
// (CStudentImport): the first row that holds anything is the header of field names, each later
// row a record; rows without any value are skipped. Spreadsheet programs store numbers and dates
// as such, so a number is refused where a value must be text (its digits may be lost already),
// and a date, or a number that counts days (a date serial), becomes YYYY-MM-DD in the two date
// fields. Cells must arrive row by row, rows in ascending order; the first failure is kept and
// later cells are ignored. As a workbook reader's sink, it takes the first sheet only.
class CSheetRows : public ISheetSink
{
  public:
    // strSheet: the sheet's name (UTF-8), for messages; BeginSheet names it otherwise.
    explicit CSheetRows(std::string strSheet = {});

    void SetDateOrigin(int nYear, int nMonth, int nDay) override { SetOrigin(nYear, nMonth, nDay); }
    bool BeginSheet(const std::string& strName) override;
    void SetFormula(int nRow, int nCol) override { RefuseFormula(nRow, nCol); }
    void MergeRange(int, int, int, int) override {}
    void EndSheet() override { m_bSheetEnded = true; }
    bool Stopped() const override { return m_bFailed || m_bSheetEnded; }

    // The day that date serial 0 stands for (1899-12-30 unless the file says otherwise).
    void SetOrigin(int nYear, int nMonth, int nDay);

    // Cells, 0-based row and column; text in UTF-8.
    void SetText(int nRow, int nCol, std::string_view utf8) override;
    void SetNumber(int nRow, int nCol, double value) override;
    void SetDate(int nRow, int nCol, int nYear, int nMonth, int nDay) override;
    // A cell holds a formula: refused, since only its last computed value could come in.
    void RefuseFormula(int nRow, int nCol);

    // Ends the sheet and hands the records over (24 student columns in record order).
    // On FALSE, strError (GBK) names the sheet row and field, and the table is empty.
    BOOL Finish(CMemTable& table, std::string& strError);
    // Whether a cell was refused already: later cells change nothing.
    bool Failed() const { return m_bFailed; }

  private:
    struct Cell
    {
        enum class Kind
        {
            Empty,
            Text,
            Number,
            Date
        } kind = Kind::Empty;
        std::string text; // UTF-8
        double number = 0;
        int y = 0, m = 0, d = 0;
    };

    Cell* CellAt(int nRow, int nCol);
    void FlushRow();
    void CheckRow(int nCols);
    bool ValueOf(const Cell& cell, int nCol, std::string& strValue);
    void Stop(const std::string& strUtf8Problem, int nCol);
    std::string Place() const;

    std::string m_strSheet;
    int m_nOriginYear = 1899, m_nOriginMonth = 12, m_nOriginDay = 30;
    CStudentImport m_import;
    bool m_bHeaderRead = false;
    bool m_bFailed = false;
    bool m_bSheetBegun = false, m_bSheetEnded = false;
    std::string m_strError;
    int m_nRow = -1;
    int m_nCols = 0; // of the current row: one past the last cell holding something
    std::vector<Cell> m_cells;
    std::vector<std::string> m_values;
    Encoding::CConverter m_toGbk{"CP936", "UTF-8"};
};
