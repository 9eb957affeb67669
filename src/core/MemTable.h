#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/TextBlocks.h"
#include "platform/LargePages.h"
#include "platform/Types.h"

class CMemTable;
class CMemRow;
class CConstMemRow;

// Visits one row found by ForEachRowLike; returning 0 stops the walk.
using ROWCALLBACK = int (*)(CMemTable* pTable, int nRow, std::uint32_t dwData);

// A whole table of GBK text in memory: named columns and rows of text cells, read from and
// written as the table text (a header line of names, one line per row, cells separated by TAB,
// every line ended by CR LF, an optional leading "OKAY\r\n" line skipped when reading).
// Cells and names are bytes: stored, compared and written exactly, case-sensitively; a cell's text
// ends at its first NUL byte.
// When storage for rows cannot be obtained the program ends through FatalAppExitA.
class CMemTable
{
  public:
    CMemTable();
    virtual ~CMemTable();
    CMemTable(const CMemTable&) = delete;
    CMemTable& operator=(const CMemTable&) = delete;

    // Empties rows and columns; keeps the file name and the last error text.
    void Clear();

    // Loads the text, or, with a begin marker, the part after its first occurrence and before the
    // first occurrence of the end marker that follows it (searched by GBK characters).
    // A begin marker that does not occur: FALSE, and the table and error text stay as they were.
    // On a failed parse: FALSE, GetErrorText() says why and the table is empty.
    BOOL Load(std::string_view text, const char* lpcszBegin = nullptr, const char* lpcszEnd = nullptr);

    // The parser behind every text load; writes a failure text into strError.
    BOOL _Load(std::string_view text, std::string& strError);
    // _Load of the text from byte nStart on, keeping the text's own storage for the cells instead of
    // a copy: for a text read only to be loaded. The text is left empty.
    BOOL LoadOwnText(std::string&& text, std::size_t nStart, std::string& strError);

    const char* GetErrorText() const { return m_strLastError.c_str(); }
    BOOL IsLoaded() const { return m_bLoaded; }
    int GetRowCount() const { return m_nRows; }
    int GetColCount() const { return m_nCols; }

    // REQUIRES: 0 <= nCol < GetColCount().
    const char* GetColName(int nCol) const;
    // First column with exactly this name, or -1.
    int GetColIndex(const char* lpcszName) const;

    // REQUIRES: 0 <= nRow < GetRowCount() and 0 <= nCol < GetColCount().
    const char* GetCell(int nRow, int nCol) const;
    // The cell of the first column with that name; a shared empty text when there is none.
    const char* GetCell(int nRow, const char* lpcszCol) const;
    // The cell itself, modifiable (it becomes a text of its own, valid until the table next changes).
    std::string* GetCellPtr(int nRow, int nCol);
    // The row's cells, indexed by column: GetRow(r)[c] is the cell of column c.
    CMemRow GetRow(int nRow);
    CConstMemRow GetRow(int nRow) const;

    std::string* SetCell(int nRow, int nCol, std::string_view value);
    void SetCell(int nRow, int nCol, std::uint32_t dwValue);
    // Nothing is stored (and the result is null) when no column has the name.
    std::string* SetCell(int nRow, const char* lpcszCol, std::string_view value);
    void SetCell(int nRow, const char* lpcszCol, std::uint32_t dwValue);

    // Appends nCount empty rows; returns nCount, or 0 (and changes nothing) when nCount <= 0.
    int AddRows(int nCount);
    // Makes room for nRows more rows whose cells hold about nBytes of text in all, so that rows
    // appended one by one do not grow the storage piece by piece.
    void ReserveRows(std::size_t nRows, std::size_t nBytes);
    // REQUIRES: values holds GetColCount() texts, none with a NUL.
    // Appends a row of these cells, their bytes one after another in the table's storage, as a
    // loaded row's are; a value that lies in the storage already, followed by a NUL, is referred to
    // where it lies. FALSE, and nothing changes, when the storage would outgrow its offsets.
    BOOL AppendRow(const std::string_view* values);
    // REQUIRES: the table has columns and no rows.
    // Takes bytes as the table's storage (a file's, with its texts cut out in place, each followed
    // by a NUL), so that AppendRow refers to the texts that lie in them instead of copying them. The
    // bytes never move while rows are appended: a value from elsewhere becomes a text of its own.
    void AdoptArena(std::string&& bytes);
    // Empties the table and returns its storage (the bytes AdoptArena took, say).
    std::string ReleaseArena();
    // Inserts nCount empty rows before nRow (appends when nRow >= row count); returns nCount.
    int InsertRows(int nRow, int nCount);
    // Deletes rows nFirst..nLast after clamping the range to the table; returns the number deleted.
    int DeleteRows(int nFirst, int nLast);
    // Deletes the rows whose indexes are listed (any order, duplicates ignored) in one pass.
    int DeleteRowSet(const std::vector<int>& rows);

    // Gives target this table's columns and copies of the listed rows (ascending, each inside the
    // table), byte for byte, in that order. Target's previous content is dropped.
    void CopyRowSet(const std::vector<int>& rows, CMemTable& target) const;
    // Inserts the rows of source (another table with as many columns) so that source row i becomes
    // row positions[i]: positions strictly ascending, positions[i] <= GetRowCount() + i before the
    // call. One pass over the table. FALSE, and nothing changes, when the arguments do not fit.
    BOOL InsertRowSet(const CMemTable& source, const std::vector<int>& positions);

    // Appends the table text with the separator (null: TAB) to strOut. Always TRUE.
    // A table without columns appends nothing.
    BOOL WriteToString(std::string& strOut, const char* lpcszSep = nullptr) const;

    // The same text handed to write() in blocks of whole lines (see WriteLinesInBlocks). Returns
    // ERROR_SUCCESS or the first other code write() returned. A table without columns writes nothing.
    DWORD WriteInBlocks(const BlockWriter& write, const char* lpcszSep = nullptr) const;

    // REQUIRES: -1 <= nRow < GetRowCount() and the table has columns.
    // Appends the cells of row nRow (-1: the column names) joined by the separator, without a line end.
    void AppendRowText(int nRow, std::string_view sep, std::string& strOut) const;
    // REQUIRES: 0 <= nRow < GetRowCount() and the table has columns.
    // Appends row nRow's cells joined by chSep in one piece, when they lie one after another in the
    // table's storage (as rows loaded or appended whole do) and none holds a byte of special.
    // Otherwise FALSE and strOut is unchanged: the caller then writes the row cell by cell.
    BOOL AppendPackedRow(int nRow, char chSep, std::string& strOut, std::string_view special = {}) const;

    // Appends the other table's rows, matching columns by position. A table without columns
    // first takes the other's column names. FALSE when the column counts differ.
    BOOL AppendTable(const CMemTable& other);
    // The same; the other's storage comes over instead of being copied (its bytes stay where they
    // lie, beside this table's), and the other is left empty either way.
    BOOL AppendTable(CMemTable&& other);

    // Typed binary data blocks: loads the block marked lpcszMark; returns its row count, 0 on failure
    // (then a dump of the buffer and a report are written, see WriteDump).
    int LoadBinary(const void* pBuffer, int nSize, const char* lpcszMark);

    // ---- Table files: the table text with a separator, as raw bytes ----

    // Writes the table text with the separator (null: TAB) to the file, replacing it whole, and
    // remembers the name for Save(). A table without columns writes nothing and returns TRUE.
    // A separator that no readable text holds (a control byte other than TAB, CR and LF, or 0xFF)
    // marks the file as the program's own: it becomes 0600, else 0644.
    // Reports failure: FALSE with the last-error value when the file cannot be opened or not all
    // of the text reaches it (a failed or short write, a failed close); the previous file stays.
    BOOL WriteToFile(const char* lpcszFileName, const char* lpcszSep = nullptr);

    // REQUIRES: the table has a file name (a LoadFromFile or WriteToFile came first).
    // Writes the table back to that file with the separator 0x01, as WriteToFile does.
    BOOL Save();

    // REQUIRES: lpcszFileName is not null or empty.
    // Reads the whole file as table text, each occurrence of the separator (found by GBK characters;
    // null, empty or TAB: none) read as a TAB, and loads it. The name is kept for Save(), also on
    // failure. FALSE with strError set: the C library's text for a file that cannot be read (an
    // empty file gives that of error number 0; the table is unchanged), or the parser's (the table
    // is empty).
    BOOL LoadFromFile(const char* lpcszFileName, const char* lpcszSep, std::string& strError);

    // REQUIRES: pStream is not null (a null stream fails with the text of EINVAL).
    // Reads the stream from its start to its end as table text and loads it. FALSE with strError
    // set when the stream cannot be read (the table is unchanged) or the text does not parse.
    BOOL LoadStream(std::FILE* pStream, std::string& strError);

    // Whether the text names every column of the table, each followed by a TAB or by CR LF (as a
    // header line of another table would); TRUE for a table without columns, null is "".
    BOOL ContainsColumns(const char* lpcszText) const;

    // ---- Row queries ----
    // Each comes with a column index and with a column name; a name no column has matches no row.
    // REQUIRES of the index forms: 0 <= nCol < GetColCount() (asserted; release builds match no row).
    // REQUIRES: text and pattern arguments are not null (null is read as "").

    // The first row whose cell equals the text byte for byte, or -1.
    int FindRow(int nCol, const char* lpcszText) const;
    int FindRow(const char* lpcszCol, const char* lpcszText) const;

    // The first row whose trimmed cell reads as nValue in base 10, or -1. The cell is read as
    // strtol on a 32-bit long reads it: empty is 0, a number beyond the range is its nearest
    // limit, and a cell with anything after the number never matches.
    int FindRowByNumber(int nCol, long nValue) const;
    int FindRowByNumber(const char* lpcszCol, long nValue) const;

    // REQUIRES: nStartRow >= 0.
    // The first row from nStartRow on whose cell matches the pattern, or -1: cell and pattern have
    // the same length and agree in every byte where the pattern has no '_' (any one byte).
    int FindRowLike(int nCol, const char* lpcszPattern, int nStartRow) const;
    int FindRowLike(const char* lpcszCol, const char* lpcszPattern, int nStartRow) const;

    // Calls pfnCallback(this, nRow, dwData) for each row FindRowLike finds, top down. The callback
    // may add or delete rows: the walk goes on from the next index against the new row count.
    // FALSE when a callback returned 0 and stopped the walk; TRUE otherwise (also for no match).
    BOOL ForEachRowLike(int nCol, const char* lpcszPattern, ROWCALLBACK pfnCallback, std::uint32_t dwData);
    BOOL ForEachRowLike(const char* lpcszCol, const char* lpcszPattern, ROWCALLBACK pfnCallback, std::uint32_t dwData);

    // The number of rows whose cell, from byte nStart on and at most nLength bytes long, equals the
    // text. A cell of nStart bytes or fewer, or a negative nStart or nLength, never matches.
    int CountRowsBySubstring(const char* lpcszCol, int nStart, int nLength, const char* lpcszText) const;

    // Delete every row that CountRowsBySubstring counts, or that FindRowByNumber would find, in
    // one pass; return the number deleted.
    int DeleteRowsBySubstring(const char* lpcszCol, int nStart, int nLength, const char* lpcszText);
    int DeleteRowsByNumber(int nCol, long nValue);
    int DeleteRowsByNumber(const char* lpcszCol, long nValue);

  protected:
    // A cell is the offset of its bytes in the arena, where a NUL ends them, or, once changed, a
    // text of its own: kOwnedBit plus its slot in m_owned. kEmptyCell is an empty cell that refers to
    // nothing. Four bytes a cell keep a loaded table near the size of its text. Loads and appends copy
    // their bytes into the arena in one piece; changes never rewrite it. The arena is m_strArena
    // followed by m_strArenaTail: offsets run on from the one into the other.
    using Cell = std::uint32_t;
    // Leaves cells that are about to be overwritten uninitialised when the array grows, and puts
    // a large array on large pages.
    template <class T> struct UninitAllocator : std::allocator<T>
    {
        template <class U> struct rebind
        {
            using other = UninitAllocator<U>;
        };
        T* allocate(std::size_t n)
        {
            T* p = std::allocator<T>::allocate(n);
            AdviseLargePages(p, n * sizeof(T));
            return p;
        }
        template <class U, class... Args> void construct(U* p, Args&&... args)
        {
            if constexpr (sizeof...(Args) == 0)
                ::new (static_cast<void*>(p)) U;
            else
                ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
        }
    };
    static constexpr Cell kOwnedBit = 0x80000000;
    static constexpr Cell kEmptyCell = 0xFFFFFFFF;
    static bool IsOwned(Cell cell) { return (cell & kOwnedBit) != 0 && cell != kEmptyCell; }

    bool IsInside(int nRow, int nCol) const;
    std::string_view CellText(Cell cell) const;
    const char* CellString(Cell cell) const;
    std::string& OwnCell(Cell& cell, std::string_view initial);
    void ReleaseCells(std::size_t nFirst, std::size_t nEnd);
    void TidyAfterDelete();
    const char* ArenaBytes(Cell cell) const;
    std::size_t ArenaSize() const { return m_strArena.size() + m_strArenaTail.size(); }
    std::string& StorePiece() { return m_strArenaTail.empty() ? m_strArena : m_strArenaTail; }
    void ReserveArena(std::size_t nBytes);
    Cell StoreInArena(std::string_view bytes);
    bool TakeOverRows(CMemTable& other);
    bool LiesInArena(std::string_view bytes) const;
    Cell AppendedCell(std::string_view value);
    BOOL ParseText(std::string_view text, std::string& strError);
    BOOL ParseArena(std::size_t nStart, std::string& strError);
    template <class Test> int FirstRowWhere(int nCol, int nStartRow, Test test) const;
    template <class Test> std::vector<int> RowsWhere(int nCol, Test test) const;
    BOOL FailLoad(std::string& strError, const std::string& strText);

    std::string m_strFileName;
    BOOL m_bLoaded = FALSE;
    std::string m_strLastError;
    int m_nRows = 0;
    int m_nCols = 0;
    std::vector<std::string> m_colNames;              // room for 100 names after a text load
    std::vector<Cell, UninitAllocator<Cell>> m_cells; // row-major: cell (r, c) is element r * m_nCols + c
    std::string m_strArena;                           // the bytes of unchanged cells, each followed by a NUL
    std::string m_strArenaTail;                       // an appended table's arena where it lay; while it
                                                      // holds bytes, texts are stored here, m_strArena stays
    std::size_t m_nArenaGarbage = 0;                  // arena bytes no cell refers to any more
    bool m_bArenaAdopted = false;                     // AppendRow never moves the arena's bytes
    std::vector<std::string> m_owned;                 // texts of changed cells
    std::vector<std::uint32_t> m_freeOwned;           // slots of m_owned no cell uses
    std::string m_strDiscard;                         // target of writes through an index outside the table

  public:
    // The array of a table's cells, for a reader that builds one to hand over (AdoptCells).
    using CellArray = decltype(m_cells);
    // REQUIRES: the table has columns and no rows.
    // Takes cells' storage as the table's cell array, emptied: rows appended afterwards fill it from
    // its start, and it stays where it is while they fit its capacity. The bytes past the rows
    // appended so far are not read, so their owner may go on reading them meanwhile.
    void AdoptCells(CellArray&& cells);
};

// One row of a table, reached by column index; valid until the table next changes.
class CMemRow
{
  public:
    CMemRow(CMemTable* pTable, int nRow) : m_pTable(pTable), m_nRow(nRow) {}
    std::string& operator[](int nCol) const { return *m_pTable->GetCellPtr(m_nRow, nCol); }

  private:
    CMemTable* m_pTable;
    int m_nRow;
};

class CConstMemRow
{
  public:
    CConstMemRow(const CMemTable* pTable, int nRow) : m_pTable(pTable), m_nRow(nRow) {}
    const char* operator[](int nCol) const { return m_pTable->GetCell(m_nRow, nCol); }

  private:
    const CMemTable* m_pTable;
    int m_nRow;
};

// Writes the buffer to "<stamp>.memtable.dump.tmp" and, when a format is given, the expanded
// format to "<stamp>.memtable.dump.log" in the dump directory; files that cannot be opened are skipped.
void WriteDump(const void* pData, int nSize, const char* lpcszFormat, ...);
