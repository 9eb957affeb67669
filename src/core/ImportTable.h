#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/MemTable.h"

// The cells of the one sheet (or CSV file) that holds the records to import, kept compactly: one
// pool of text and eight bytes per cell, whatever the file holds, or for a CSV file cut in place
// four bytes a cell (AdoptCells), which the records made of it can take over. Row 0 of the table is the
// header row; the rows below it follow in file order, each with its row number in the file, and
// rows above the header are not kept. Columns keep the file's positions, so a message can name a
// cell as the file shows it ("D3"). Texts are GBK.
class CImportTable
{
  public:
    enum class Kind : std::uint8_t
    {
        Empty,
        Text,
        Number,
        Date,
        Formula, // only the formula's last computed value could come in: none is kept
        BadText  // a text that GBK cannot hold (an emoji, say); its bytes are not kept
    };

    struct Cell
    {
        Kind kind = Kind::Empty;
        std::string_view text; // Text; for Empty, no bytes (at the place of an empty text)
        double number = 0;     // Number
        int nYear = 0, nMonth = 0, nDay = 0;
    };

    // Where the rows came from, for messages: a workbook's sheet (name in GBK) or a CSV file.
    void SetSheet(std::string strName) { m_strSheet = std::move(strName), m_bWorkbook = true; }
    bool IsWorkbook() const { return m_bWorkbook; }
    const std::string& SheetName() const { return m_strSheet; }

    // The day date serial 0 stands for (1899-12-30 unless the workbook says otherwise).
    void SetDateOrigin(int nYear, int nMonth, int nDay);
    void DateOrigin(int& nYear, int& nMonth, int& nDay) const;

    // Starts a new row below the last; nFileRow: its 1-based row (line) number in the file.
    void BeginRow(int nFileRow);
    // Cells of the row begun last, columns ascending (0-based). A cell may be set again (a merged
    // range filled in): the last value counts.
    void SetText(int nCol, std::string_view gbk);
    // A text that lies in the bytes AdoptText hands over later: nLength bytes from nOffset on.
    void SetTextAt(int nCol, std::size_t nOffset, std::size_t nLength);
    void SetNumber(int nCol, double value);
    void SetDate(int nCol, int nYear, int nMonth, int nDay);
    void SetKind(int nCol, Kind kind); // Formula or BadText
    // Every cell of the range (1-based file rows, 0-based columns) shows its top-left cell's value.
    void AddMerge(int nFirstRow, int nFirstCol, int nLastRow, int nLastCol);
    void Clear();
    // Takes bytes whose texts the rows name with SetTextAt (a CSV file's, its cells cut out in
    // place, each followed by a NUL) as the table's text, instead of a copy of each text.
    void AdoptText(std::string&& bytes);
    // Hands the adopted bytes over (empty when the table copied its texts) for another table to
    // keep as its storage; this table reads them where they lie from then on, so the receiver must
    // neither move nor free them while this table is in use.
    std::string LendText();
    // Keeps the lent bytes again (the storage of the table they went to); other bytes are dropped.
    void TakeBackText(std::string&& bytes);
    // Takes a CSV file's bytes with its values cut out in place, each followed by a NUL and none
    // holding one, as the whole table: header holds the offsets of the header row's values, cells
    // those of the rows below it, row after row, each with as many cells as the header; fileRows
    // the file row of the header and of each row. Replaces whatever the table held.
    void AdoptCells(std::string&& bytes, std::vector<std::uint32_t>&& header, CMemTable::CellArray&& cells,
                    std::vector<int>&& fileRows);
    // Whether the rows below the header are kept as AdoptCells took them, nMinCols cells or more
    // each: the array can then become the cells of nMinCols-column records made of them, record k
    // written over cells that row k + 1 and the rows after it no longer use.
    bool CanLendCells(int nMinCols) const;
    // REQUIRES: CanLendCells.
    // Hands the cells of the rows below the header over. The table goes on reading them where they
    // lie, so the receiver must write only cells of rows already read until ForgetLentCells.
    CMemTable::CellArray LendCells();
    // The lent cells are the receiver's now: the table keeps only its header row from here on.
    void ForgetLentCells();
    // Makes room for about that many rows, cells and bytes of text, so that a big file's cells do not
    // grow their storage piece by piece.
    void Reserve(std::size_t nRows, std::size_t nCells, std::size_t nTextBytes);

    int RowCount() const { return static_cast<int>(m_fileRows.size()); }
    // The widest row's column count.
    int ColCount() const { return m_nCols; }
    // REQUIRES: 0 <= nRow < RowCount(). Any column: beyond the row's last cell it is empty.
    Cell At(int nRow, int nCol) const;
    int FileRow(int nRow) const { return m_fileRows[static_cast<std::size_t>(nRow)]; }
    // Where the text of At(nRow, nCol) begins (null when it has none), found without measuring it.
    const char* TextAt(int nRow, int nCol) const;
    // The trimmed text of the header row's cell (row 0), empty when it holds no text.
    std::string_view Title(int nCol) const;
    // The bytes of all texts held: what the records made of the table take, about.
    std::size_t TextBytes() const { return Pool().size(); }
    // The columns that hold anything in the header or any row, ascending.
    std::vector<int> UsedColumns() const;

    // How the cell is named in messages: "D3" in a workbook, "第3行" in a CSV file (whose messages
    // name the column by its field).
    std::string Address(int nRow, int nCol) const;
    // The column's letters as a spreadsheet shows them: A, B, ..., Z, AA, AB, ...
    static std::string ColumnLetters(int nCol);

    // A note on how the rows were found (the sheets looked at, when none named the fields), GBK.
    void SetNote(std::string strNote) { m_strNote = std::move(strNote); }
    const std::string& Note() const { return m_strNote; }

  private:
    std::size_t CompactOffset(int nRow, int nCol) const;
    Cell CompactAt(int nRow, int nCol) const;

    // Eight bytes a cell: a text's place in the pool, a number's index, or a date as yyyymmdd.
    struct Entry
    {
        std::uint32_t nValue = 0;
        std::uint32_t nLength : 29 = 0;
        std::uint32_t nKind : 3 = 0;
    };

    struct Merge
    {
        int nFirstRow, nLastRow, nFirstCol; // file rows
    };

    Entry& EntryAt(int nCol);
    std::string_view Pool() const { return m_bLent ? m_lent : std::string_view(m_pool); }
    Cell StoredAt(int nRow, int nCol) const;
    const Merge* MergeAt(int nFileRow, int nCol) const;

    std::string m_strSheet;
    bool m_bWorkbook = false;
    int m_nOriginYear = 1899, m_nOriginMonth = 12, m_nOriginDay = 30;
    std::string m_pool;
    bool m_bAdopted = false; // m_pool holds bytes with texts cut out in place
    bool m_bLent = false;    // m_lent views the adopted bytes, which another table keeps
    std::string_view m_lent;
    std::vector<double> m_numbers;
    std::vector<Entry> m_entries;
    std::vector<std::uint32_t> m_rowStart; // first entry of each row; a row runs to the next one's start
    std::vector<int> m_fileRows;
    int m_nCols = 0;
    // A table AdoptCells made: texts end at their NUL, each cell is its text's offset in the pool.
    bool m_bCompact = false;
    std::vector<std::uint32_t> m_header;
    CMemTable::CellArray m_cells;                     // row r > 0 at (r - 1) * m_nCols
    const std::uint32_t* m_pCells = nullptr;          // m_cells' data, also while lent; null once forgotten
    std::vector<std::vector<Merge>> m_mergesOfColumn; // each column's ranges, by first row
    std::string m_strNote;
};
