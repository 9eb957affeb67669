#include <algorithm>
#include <cassert>
#include <climits>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <new>

#include "core/ByteMask.h"
#include "core/Gbk.h"
#include "core/MemTable.h"
#include "core/MemTableTexts.h"
#include "core/TwoHalves.h"
#include "platform/FatalExit.h"
#include "platform/LastError.h"
#include "platform/MapPages.h"

namespace
{
constexpr int kMaxColumns = 100;
constexpr std::string_view kMarkerLine = "OKAY\r\n";

// The text without its trailing CR and LF bytes and without a leading marker line. A text that is
// nothing but the marker loads like an empty text.
std::string_view TableBody(std::string_view text)
{
    const std::size_t nEnd = text.find_last_not_of("\r\n");
    text = nEnd == std::string_view::npos ? std::string_view() : text.substr(0, nEnd + 1);
    if (text == kMarkerLine.substr(0, 4))
        return {};
    return text.starts_with(kMarkerLine) ? text.substr(kMarkerLine.size()) : text;
}

// Finds the TAB and CR bytes of a text in order, sixteen bytes at a time where the processor
// allows: the loader cuts cells at these bytes and skips the rest without looking at them.
class BreakScanner
{
  public:
    BreakScanner(const char* pText, std::size_t nStart, std::size_t nSize)
        : m_pText(pText), m_nSize(nSize), m_nBlock(nStart)
    {
        LoadBlock();
    }

    // Position of the next TAB or CR; the text's size when none is left.
    std::size_t Next()
    {
        while (m_nMask == 0)
        {
            if (m_nBlock + kBlock >= m_nSize)
                return m_nSize;
            m_nBlock += kBlock;
            LoadBlock();
        }
        const std::size_t nPos = m_nBlock + static_cast<std::size_t>(__builtin_ctz(m_nMask));
        m_nMask &= m_nMask - 1;
        return nPos;
    }

  private:
    static constexpr std::size_t kBlock = kMaskBytes;

    void LoadBlock()
    {
        m_nMask = 0;
        if (m_nBlock + kBlock <= m_nSize)
        {
            m_nMask = ByteMask(m_pText + m_nBlock, "\t\r");
            return;
        }
        for (std::size_t i = 0; i < kBlock && m_nBlock + i < m_nSize; ++i)
        {
            if (m_pText[m_nBlock + i] == '\t' || m_pText[m_nBlock + i] == '\r')
                m_nMask |= 1u << i;
        }
    }

    const char* m_pText;
    std::size_t m_nSize;
    std::size_t m_nBlock;
    unsigned m_nMask = 0;
};

std::size_t CountCrs(const char* pText, std::size_t nStart, std::size_t nSize)
{
    std::size_t nCount = 0;
    for (const char* p = pText + nStart; (p = static_cast<const char*>(std::memchr(p, '\r', pText + nSize - p)));)
    {
        ++nCount;
        ++p;
    }
    return nCount;
}

// Just after the first CR LF from the middle of the text between nStart and nSize on; nSize when
// there is none before the end.
std::size_t SplitPoint(const char* pText, std::size_t nStart, std::size_t nSize)
{
    const std::size_t nCrLf = std::string_view(pText, nSize).find("\r\n", nStart + (nSize - nStart) / 2);
    return nCrLf == std::string_view::npos || nCrLf + 2 >= nSize ? nSize : nCrLf + 2;
}

// How a run of rows ended: every row wanted was cut, the text ended within a row's first cells,
// or within its last cell.
enum class RowsEnd
{
    Done,
    TextEnded,
    NoLineEnd
};

struct RowsCut
{
    std::size_t nRows; // the rows cut
    std::size_t nNext; // where the row after them starts
    RowsEnd end;
};

// Cuts up to nMaxRows rows of nCols cells out of the text from nStart on, looking at no byte from
// nLimit on. The first cells of a row end at the next TAB, wherever it is (a short line borrows from
// the next); the last ends at the next CR LF pair (a lone CR stays in it). Each cell's start goes
// into pCells, row after row, and a NUL is written over the TAB or CR that ends it once its row is
// whole: a row cut short leaves the text as it was.
template <typename Cell>
RowsCut CutRows(char* pText, std::size_t nStart, std::size_t nLimit, std::size_t nMaxRows, int nCols, Cell* pCells)
{
    BreakScanner breaks(pText, nStart, nLimit);
    RowsCut cut{0, nStart, RowsEnd::Done};
    for (; cut.nRows < nMaxRows; ++cut.nRows)
    {
        Cell* pRow = pCells + cut.nRows * static_cast<std::size_t>(nCols);
        std::size_t nCellStart = cut.nNext;
        for (int nCol = 0; nCol + 1 < nCols; ++nCol)
        {
            std::size_t nTab = breaks.Next();
            while (nTab < nLimit && pText[nTab] != '\t')
                nTab = breaks.Next();
            if (nTab == nLimit)
                return {cut.nRows, cut.nNext, RowsEnd::TextEnded};
            pRow[nCol] = static_cast<Cell>(nCellStart);
            nCellStart = nTab + 1;
        }
        std::size_t nCr = breaks.Next();
        while (nCr < nLimit && !(pText[nCr] == '\r' && nCr + 1 < nLimit && pText[nCr + 1] == '\n'))
            nCr = breaks.Next();
        if (nCr == nLimit)
            return {cut.nRows, cut.nNext, RowsEnd::NoLineEnd};
        pRow[nCols - 1] = static_cast<Cell>(nCellStart);
        for (int nCol = 1; nCol < nCols; ++nCol)
            pText[pRow[nCol] - 1] = '\0';
        pText[nCr] = '\0';
        cut.nNext = nCr + 2;
    }
    return cut;
}

// Puts back the TAB and CR bytes over which CutRows wrote its NULs.
template <typename Cell> void UncutRows(char* pText, const RowsCut& cut, int nCols, const Cell* pCells)
{
    for (std::size_t nRow = 0; nRow < cut.nRows; ++nRow)
    {
        const Cell* pRow = pCells + nRow * static_cast<std::size_t>(nCols);
        for (int nCol = 1; nCol < nCols; ++nCol)
            pText[pRow[nCol] - 1] = '\t';
        pText[(nRow + 1 < cut.nRows ? pRow[nCols] : cut.nNext) - 2] = '\r';
    }
}

// Cuts the rows of the text between nStart and nSize as one CutRows would, a large text in two
// halves at once: the second half starts after a CR LF near the middle, counted as the start of the
// row after the CR bytes before it. When the first half's rows do not end there (a short line or a
// lone CR in it), the second half's cuts are undone and the rows are cut on from the first half's.
// nFirstCrs: the CR bytes before nSplit; nMaxRows: all CR bytes, for which pCells has room. Each
// half's cells have their pages mapped in by the thread that fills them.
template <typename Cell>
RowsCut CutAllRows(char* pText, std::size_t nStart, std::size_t nSplit, std::size_t nSize, std::size_t nFirstCrs,
                   std::size_t nMaxRows, int nCols, Cell* pCells)
{
    const std::size_t nRowBytes = static_cast<std::size_t>(nCols) * sizeof(Cell);
    if (nMaxRows < static_cast<std::size_t>(kRowsWorthTwoThreads) || nSplit == nSize)
    {
        MapPagesAtOnce(pCells, nMaxRows * nRowBytes);
        return CutRows(pText, nStart, nSize, nMaxRows, nCols, pCells);
    }
    Cell* pSecondCells = pCells + nFirstCrs * static_cast<std::size_t>(nCols);
    RowsCut first{}, second{};
    // The halves are the text's, not the rows': which half a call is for is told by its first row.
    InTwoHalves(static_cast<int>(nMaxRows), first, second, [&](int nFirstRow, int, RowsCut& cut) {
        if (nFirstRow == 0)
        {
            MapPagesAtOnce(pCells, nFirstCrs * nRowBytes);
            cut = CutRows(pText, nStart, nSplit, nFirstCrs, nCols, pCells);
            return;
        }
        MapPagesAtOnce(pSecondCells, (nMaxRows - nFirstCrs) * nRowBytes);
        cut = CutRows(pText, nSplit, nSize, nMaxRows - nFirstCrs, nCols, pSecondCells);
    });
    if (first.end == RowsEnd::Done && first.nRows == nFirstCrs && first.nNext == nSplit)
        return {nFirstCrs + second.nRows, second.nNext, second.end};
    UncutRows(pText, second, nCols, pSecondCells);
    const std::size_t nDone = first.nRows;
    const RowsCut rest =
        CutRows(pText, first.nNext, nSize, nMaxRows - nDone, nCols, pCells + nDone * static_cast<std::size_t>(nCols));
    return {nDone + rest.nRows, rest.nNext, rest.end};
}
} // namespace

BOOL CMemTable::FailLoad(std::string& strError, const std::string& strText)
{
    Clear();
    strError = strText;
    return FALSE;
}

BOOL CMemTable::_Load(std::string_view text, std::string& strError)
{
    Clear();
    try
    {
        return ParseText(text, strError);
    }
    catch (...)
    {
        Clear();
        strError = MemTableText::kLoadFailed;
        FatalAppExitA(0, MemTableText::kLoadFailed);
    }
}

BOOL CMemTable::LoadOwnText(std::string&& text, std::size_t nStart, std::string& strError)
{
    Clear();
    try
    {
        const std::string_view body = TableBody(std::string_view(text).substr(std::min(nStart, text.size())));
        const std::size_t nBodyStart = body.empty() ? text.size() : static_cast<std::size_t>(body.data() - text.data());
        if (nBodyStart + body.size() + 2 > kOwnedBit)
            return FailLoad(strError, MemTableText::kNoMemoryCopy);
        // The text becomes the arena: cut after the body (never longer), then its own CR LF.
        m_strArena = std::move(text);
        m_strArena.resize(nBodyStart + body.size());
        m_strArena.append("\r\n");
        return ParseArena(nBodyStart, strError);
    }
    catch (const std::bad_alloc&)
    {
        return FailLoad(strError, MemTableText::kNoMemoryCopy);
    }
    catch (...)
    {
        Clear();
        strError = MemTableText::kLoadFailed;
        FatalAppExitA(0, MemTableText::kLoadFailed);
    }
}

// The text is copied once into the arena and parsed there.
BOOL CMemTable::ParseText(std::string_view text, std::string& strError)
{
    const std::string_view body = TableBody(text);
    if (body.size() + 2 > kOwnedBit)
        return FailLoad(strError, MemTableText::kNoMemoryCopy);
    try
    {
        m_strArena.reserve(body.size() + 2);
    }
    catch (const std::bad_alloc&)
    {
        return FailLoad(strError, MemTableText::kNoMemoryCopy);
    }
    AdviseLargePages(m_strArena.data(), m_strArena.capacity());
    m_strArena.append(body);
    m_strArena.append("\r\n");
    return ParseArena(0, strError);
}

// The arena from nStart on holds the table body and a final CR LF. The cells are cut out of it in
// place, a NUL written over the TAB or CR that ends each of them.
BOOL CMemTable::ParseArena(std::size_t nStart, std::string& strError)
{
    try
    {
        m_colNames.reserve(kMaxColumns);
    }
    catch (const std::bad_alloc&)
    {
        return FailLoad(strError, MemTableText::kNoMemoryNames);
    }

    char* pText = m_strArena.data();
    const std::size_t nSize = m_strArena.size();
    const std::size_t nHeaderEnd = m_strArena.find('\r', nStart); // there is always one: the text ends with CR LF
    std::size_t nNameStart = nStart;
    for (std::size_t nPos = nStart; nPos < nHeaderEnd; ++nPos)
    {
        if (pText[nPos] != '\t')
            continue;
        m_colNames.emplace_back(Gbk::Trim(std::string_view(pText + nNameStart, nPos - nNameStart)));
        if (++m_nCols == kMaxColumns)
            return FailLoad(strError, MemTableText::kTooManyColumns);
        nNameStart = nPos + 1;
    }
    m_colNames.emplace_back(Gbk::Trim(std::string_view(pText + nNameStart, nHeaderEnd - nNameStart)));
    ++m_nCols;

    // The byte after the header's CR is taken to be its LF without looking at it.
    const std::size_t nDataStart = nHeaderEnd + 2;
    const std::size_t nSplit = SplitPoint(pText, nDataStart, nSize);
    const std::size_t nFirstCrs = CountCrs(pText, nDataStart, nSplit);
    const std::size_t nPlannedRows = nFirstCrs + CountCrs(pText, nSplit, nSize);
    if (nPlannedRows > static_cast<std::size_t>(INT_MAX))
        return FailLoad(strError, MemTableText::kNoMemoryCells);
    try
    {
        m_cells.resize(nPlannedRows * m_nCols);
    }
    catch (const std::bad_alloc&)
    {
        return FailLoad(strError, MemTableText::kNoMemoryCells);
    }
    const RowsCut cut = CutAllRows(pText, nDataStart, nSplit, nSize, nFirstCrs, nPlannedRows, m_nCols, m_cells.data());
    if (cut.end == RowsEnd::NoLineEnd)
    {
        char szText[128];
        std::snprintf(szText, sizeof(szText), MemTableText::kRowWithoutLineEnd, static_cast<int>(cut.nRows));
        return FailLoad(strError, szText);
    }
    m_nRows = static_cast<int>(cut.nRows);
    m_cells.resize(cut.nRows * m_nCols); // fewer rows than CR bytes: the text ended within a row
    m_bLoaded = TRUE;
    return TRUE;
}

BOOL CMemTable::Load(std::string_view text, const char* lpcszBegin, const char* lpcszEnd)
{
    if (lpcszBegin != nullptr)
    {
        const std::size_t nBegin = Gbk::Find(text, lpcszBegin);
        if (nBegin == std::string_view::npos)
            return FALSE;
        text.remove_prefix(nBegin + std::strlen(lpcszBegin));
        // Without an end marker everything after the begin marker is loaded.
        const std::size_t nEnd = lpcszEnd != nullptr ? Gbk::Find(text, lpcszEnd) : std::string_view::npos;
        if (nEnd != std::string_view::npos)
            text = text.substr(0, nEnd);
    }
    return _Load(text, m_strLastError);
}

BOOL CMemTable::AppendPackedRow(int nRow, char chSep, std::string& strOut, std::string_view special) const
{
    assert(nRow >= 0 && nRow < m_nRows);
    const Cell* pRow = &m_cells[static_cast<std::size_t>(nRow) * m_nCols];
    const Cell first = pRow[0];
    const Cell last = pRow[m_nCols - 1];
    // A row whose cells lie in both pieces of the arena is never one piece.
    if ((first & kOwnedBit) != 0 || (last & kOwnedBit) != 0 || last < first ||
        (first < m_strArena.size()) != (last < m_strArena.size()))
        return FALSE;
    const std::size_t nSpan = last - first + std::strlen(ArenaBytes(last));
    const std::size_t nLineStart = strOut.size();
    strOut.append(ArenaBytes(first), nSpan);
    // The cells lie one after another exactly when the NULs in the span are the ones that end them.
    char* pLine = strOut.data() + nLineStart;
    int nCol = 1;
    const auto endsCell = [&](std::size_t nPos) {
        if (nCol == m_nCols || pRow[nCol] != first + nPos + 1)
            return false;
        pLine[nPos] = chSep;
        ++nCol;
        return true;
    };
    std::size_t i = 0;
    bool bPacked = true;
    for (; bPacked && i + kMaskBytes <= nSpan; i += kMaskBytes)
    {
        bPacked = ByteMask(pLine + i, special) == 0;
        for (unsigned nNuls = ByteMask(pLine + i, std::string_view("", 1)); bPacked && nNuls != 0; nNuls &= nNuls - 1)
            bPacked = endsCell(i + static_cast<std::size_t>(__builtin_ctz(nNuls)));
    }
    for (; bPacked && i < nSpan; ++i)
        bPacked = pLine[i] == '\0' ? endsCell(i) : special.find(pLine[i]) == std::string_view::npos;
    if (bPacked && nCol == m_nCols)
        return TRUE;
    strOut.resize(nLineStart);
    return FALSE;
}

void CMemTable::AppendRowText(int nRow, std::string_view sep, std::string& strOut) const
{
    if (nRow < 0)
    {
        for (int nCol = 0; nCol < m_nCols; ++nCol)
            (nCol > 0 ? strOut.append(sep) : strOut).append(m_colNames[nCol]);
        return;
    }
    if (sep.size() == 1 && AppendPackedRow(nRow, sep[0], strOut))
        return;
    const Cell* pRow = &m_cells[static_cast<std::size_t>(nRow) * m_nCols];
    for (int nCol = 0; nCol < m_nCols; ++nCol)
        (nCol > 0 ? strOut.append(sep) : strOut).append(CellText(pRow[nCol]));
}

BOOL CMemTable::WriteToString(std::string& strOut, const char* lpcszSep) const
{
    if (m_nCols == 0)
        return TRUE;
    const std::string_view sep = lpcszSep != nullptr ? std::string_view(lpcszSep) : std::string_view("\t");
    // Room for the usual case, a table as loaded; rows grow the text further when they need to.
    strOut.reserve(strOut.size() + ArenaSize() + (m_nRows + 1) * ((m_nCols - 1) * sep.size() + 2) + 256);
    for (int nRow = -1; nRow < m_nRows; ++nRow)
    {
        AppendRowText(nRow, sep, strOut);
        strOut.append("\r\n");
    }
    return TRUE;
}

DWORD CMemTable::WriteInBlocks(const BlockWriter& write, const char* lpcszSep) const
{
    if (m_nCols == 0)
        return ERROR_SUCCESS;
    const std::string_view sep = lpcszSep != nullptr ? std::string_view(lpcszSep) : std::string_view("\t");
    const auto appendLine = [&](int nRow, std::string& strBlock) {
        AppendRowText(nRow, sep, strBlock);
        strBlock.append("\r\n");
    };
    return WriteLinesInBlocks(-1, m_nRows, appendLine, write);
}

CMemTable::Cell CMemTable::StoreInArena(std::string_view bytes)
{
    if (ArenaSize() + bytes.size() + 1 >= kOwnedBit)
        throw std::bad_alloc();
    const auto nOffset = static_cast<Cell>(ArenaSize());
    std::string& piece = StorePiece();
    piece.append(bytes);
    piece.push_back('\0');
    return nOffset;
}

BOOL CMemTable::AppendTable(const CMemTable& other)
{
    if (other.m_nCols == 0)
        return TRUE;
    if (m_nCols == 0)
    {
        std::string strHeader;
        for (int nCol = 0; nCol < other.m_nCols; ++nCol)
            strHeader.append(nCol > 0 ? "\t" : "").append(other.m_colNames[nCol]);
        strHeader.append("\r\n");
        std::string strError;
        if (!_Load(strHeader, strError))
            return FALSE;
    }
    if (m_nCols != other.m_nCols || other.m_nRows == 0)
        return m_nCols == other.m_nCols;

    // Read the sizes before growing: the other table may be this one.
    const int nAddedRows = other.m_nRows;
    const std::size_t nCells = static_cast<std::size_t>(nAddedRows) * other.m_nCols;
    const std::size_t nBase = static_cast<std::size_t>(m_nRows) * m_nCols;
    const auto inArena = [](Cell cell) { return (cell & kOwnedBit) == 0; };
    if (&other != this && std::all_of(other.m_cells.begin(), other.m_cells.end(), inArena))
    {
        // Every cell lies in the other's arena (as in a table just loaded): the arena comes over in
        // one piece and the cells follow it.
        const std::size_t nShift = ArenaSize();
        try
        {
            if (nShift + other.ArenaSize() >= kOwnedBit)
                throw std::bad_alloc();
            ReserveArena(other.ArenaSize());
            StorePiece().append(other.m_strArena).append(other.m_strArenaTail);
            AddRows(nAddedRows);
        }
        catch (const std::bad_alloc&)
        {
            FatalAppExitA(0, MemTableText::kNoMemoryAppend);
        }
        std::transform(other.m_cells.begin(), other.m_cells.end(), m_cells.begin() + nBase,
                       [nShift](Cell cell) { return static_cast<Cell>(cell + nShift); });
        m_nArenaGarbage += other.m_nArenaGarbage;
        return TRUE;
    }
    std::size_t nBytes = 0;
    for (std::size_t i = 0; i < nCells; ++i)
        nBytes += other.CellText(other.m_cells[i]).size() + 1;
    try
    {
        // Reserved in full, so that the source bytes stay put while this arena grows.
        ReserveArena(nBytes);
        AddRows(nAddedRows);
        for (std::size_t i = 0; i < nCells; ++i)
            m_cells[nBase + i] = StoreInArena(other.CellText(other.m_cells[i]));
    }
    catch (const std::bad_alloc&)
    {
        FatalAppExitA(0, MemTableText::kNoMemoryAppend);
    }
    return TRUE;
}

// Appends the other's rows without copying their texts: its arena becomes the second piece of
// this one, its own texts join this table's, and its cells are re-based onto both. False, and
// nothing changes, when there are no rows to take or either arena has two pieces already, or the
// offsets or the row count would overflow.
bool CMemTable::TakeOverRows(CMemTable& other)
{
    const std::size_t nShift = m_strArena.size();
    if (m_nRows == 0 || other.m_nRows == 0 || other.m_nRows > INT_MAX - m_nRows || !m_strArenaTail.empty() ||
        !other.m_strArenaTail.empty() || nShift + other.m_strArena.size() >= kOwnedBit ||
        m_owned.size() + other.m_owned.size() >= (kEmptyCell & ~kOwnedBit))
        return false;
    const auto nSlotShift = static_cast<Cell>(m_owned.size());
    const std::size_t nBase = m_cells.size();
    try
    {
        m_cells.resize(nBase + other.m_cells.size()); // left uninitialised: every cell is set below
        m_owned.reserve(m_owned.size() + other.m_owned.size());
        m_freeOwned.reserve(m_freeOwned.size() + other.m_freeOwned.size());
    }
    catch (const std::bad_alloc&)
    {
        FatalAppExitA(0, MemTableText::kNoMemoryAppend);
    }
    std::transform(other.m_cells.begin(), other.m_cells.end(), m_cells.begin() + static_cast<std::ptrdiff_t>(nBase),
                   [nShift, nSlotShift](Cell cell) {
                       if (cell == kEmptyCell)
                           return cell;
                       return IsOwned(cell) ? cell + nSlotShift : static_cast<Cell>(cell + nShift);
                   });
    std::move(other.m_owned.begin(), other.m_owned.end(), std::back_inserter(m_owned));
    for (const std::uint32_t nSlot : other.m_freeOwned)
        m_freeOwned.push_back(nSlot + nSlotShift);
    m_strArenaTail = std::move(other.m_strArena);
    m_nArenaGarbage += other.m_nArenaGarbage;
    m_nRows += other.m_nRows;
    return true;
}

BOOL CMemTable::AppendTable(CMemTable&& other)
{
    if (&other == this)
        return AppendTable(static_cast<const CMemTable&>(other));
    if (m_nRows > 0 || other.m_nCols == 0 || (m_nCols != 0 && m_nCols != other.m_nCols))
    {
        const BOOL bAppended =
            (m_nCols == other.m_nCols && TakeOverRows(other)) || AppendTable(static_cast<const CMemTable&>(other));
        other.Clear();
        return bAppended;
    }
    // Nothing to keep but the column names: the other's rows become this table's where they lie.
    if (m_nCols == 0)
    {
        m_colNames = std::move(other.m_colNames);
        m_nCols = other.m_nCols;
        m_bLoaded = TRUE;
    }
    m_nRows = other.m_nRows;
    m_cells.swap(other.m_cells);
    m_strArena.swap(other.m_strArena);
    m_strArenaTail.swap(other.m_strArenaTail);
    std::swap(m_nArenaGarbage, other.m_nArenaGarbage);
    m_owned.swap(other.m_owned);
    m_freeOwned.swap(other.m_freeOwned);
    other.Clear();
    return TRUE;
}
