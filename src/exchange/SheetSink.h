#pragma once

#include <string>
#include <string_view>

// Where a workbook reader hands the cells it reads: every sheet in the workbook's order, each cell
// as the spreadsheet program shows it. The reader knows file formats; the sink decides which sheet
// holds the records and what the cells mean. Rows and columns are 0-based; within a sheet, cells
// arrive row by row in ascending order and columns ascending within a row. Texts are UTF-8.
class ISheetSink
{
  public:
    virtual ~ISheetSink() = default;

    // The day that date serial 0 stands for (1899-12-30 unless the workbook says otherwise).
    // Comes before the first sheet when the workbook says it.
    virtual void SetDateOrigin(int nYear, int nMonth, int nDay) = 0;

    // A sheet begins; strName is its name (UTF-8). False: the sink wants none of this sheet's cells,
    // and the reader goes on to the next sheet (or stops, when Stopped()).
    virtual bool BeginSheet(const std::string& strName) = 0;

    virtual void SetText(int nRow, int nCol, std::string_view utf8) = 0;
    virtual void SetNumber(int nRow, int nCol, double value) = 0;
    virtual void SetDate(int nRow, int nCol, int nYear, int nMonth, int nDay) = 0;
    // The cell holds a formula; only its last computed value could come in, so none is given.
    virtual void SetFormula(int nRow, int nCol) = 0;

    // Every cell of the range shows the value of its top-left cell. Comes after BeginSheet and
    // before EndSheet, before or after the range's cells.
    virtual void MergeRange(int nFirstRow, int nFirstCol, int nLastRow, int nLastCol) = 0;

    // The sheet has ended.
    virtual void EndSheet() = 0;

    // Whether the reader should stop reading at once: the sink has what it needs, or has refused
    // something. A reader asks after each sheet and may ask after any cell.
    virtual bool Stopped() const = 0;
};
