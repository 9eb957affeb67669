#include <algorithm>
#include <cassert>
#include <climits>
#include <cstdint>
#include <cstring>
#include <new>

#include "core/MemTable.h"
#include "core/MemTableTexts.h"
#include "platform/FatalExit.h"

int CMemTable::AddRows(int nCount)
{
    if (nCount <= 0)
        return 0;
    return InsertRows(m_nRows, nCount);
}

void CMemTable::ReserveRows(std::size_t nRows, std::size_t nBytes)
{
    try
    {
        m_cells.reserve(m_cells.size() + nRows * m_nCols);
        ReserveArena(std::min<std::size_t>(nBytes, kOwnedBit - ArenaSize()));
    }
    catch (const std::bad_alloc&)
    {
        FatalAppExitA(0, MemTableText::kNoMemoryAddRows);
    }
}

void CMemTable::ReserveArena(std::size_t nBytes)
{
    std::string& piece = StorePiece();
    piece.reserve(piece.size() + nBytes);
    AdviseLargePages(piece.data(), piece.capacity());
}

void CMemTable::AdoptArena(std::string&& bytes)
{
    assert(m_nCols > 0 && m_nRows == 0);
    m_strArena = std::move(bytes);
    std::string().swap(m_strArenaTail);
    m_nArenaGarbage = m_strArena.size(); // until rows refer to its texts
    m_bArenaAdopted = true;
}

void CMemTable::AdoptCells(CellArray&& cells)
{
    assert(m_nCols > 0 && m_nRows == 0);
    m_cells = std::move(cells);
    m_cells.clear(); // the capacity stays: no element needs destroying
}

std::string CMemTable::ReleaseArena()
{
    std::string arena = std::move(m_strArena);
    Clear();
    return arena;
}

bool CMemTable::LiesInArena(std::string_view bytes) const
{
    const auto nBegin = reinterpret_cast<std::uintptr_t>(m_strArena.data());
    const auto nText = reinterpret_cast<std::uintptr_t>(bytes.data());
    return nText >= nBegin && nText - nBegin + bytes.size() < m_strArena.size() && bytes.data()[bytes.size()] == '\0';
}

CMemTable::Cell CMemTable::AppendedCell(std::string_view value)
{
    if (LiesInArena(value))
    {
        m_nArenaGarbage -= std::min(m_nArenaGarbage, value.size() + 1);
        return static_cast<Cell>(value.data() - m_strArena.data());
    }
    if (!m_bArenaAdopted || m_strArena.size() + value.size() < m_strArena.capacity())
        return StoreInArena(value);
    if (value.empty())
        return kEmptyCell;
    Cell cell = kEmptyCell;
    OwnCell(cell, value);
    return cell;
}

BOOL CMemTable::AppendRow(const std::string_view* values)
{
    std::size_t nBytes = 0;
    for (int nCol = 0; nCol < m_nCols; ++nCol)
        nBytes += values[nCol].size() + 1;
    if (m_nRows == INT_MAX || ArenaSize() + nBytes >= kOwnedBit)
        return FALSE;
    try
    {
        m_cells.resize(m_cells.size() + m_nCols); // left uninitialised: every cell is set below
        Cell* pCell = m_cells.data() + m_cells.size() - m_nCols;
        for (int nCol = 0; nCol < m_nCols; ++nCol)
            pCell[nCol] = AppendedCell(values[nCol]);
    }
    catch (const std::bad_alloc&)
    {
        FatalAppExitA(0, MemTableText::kNoMemoryAddRows);
    }
    ++m_nRows;
    return TRUE;
}

int CMemTable::InsertRows(int nRow, int nCount)
{
    assert(nRow >= 0 && nCount >= 1);
    if (nRow < 0 || nCount < 1)
        return 0;
    nRow = std::min(nRow, m_nRows);
    if (nCount > INT_MAX - m_nRows)
        FatalAppExitA(0, MemTableText::kNoMemoryAddRows);
    try
    {
        const auto at = m_cells.begin() + static_cast<std::ptrdiff_t>(nRow) * m_nCols;
        m_cells.insert(at, static_cast<std::size_t>(nCount) * m_nCols, kEmptyCell);
    }
    catch (const std::bad_alloc&)
    {
        FatalAppExitA(0, MemTableText::kNoMemoryAddRows);
    }
    m_nRows += nCount;
    return nCount;
}

void CMemTable::ReleaseCells(std::size_t nFirst, std::size_t nEnd)
{
    for (std::size_t i = nFirst; i < nEnd; ++i)
    {
        const Cell cell = m_cells[i];
        if (IsOwned(cell))
        {
            std::string().swap(m_owned[cell & ~kOwnedBit]);
            m_freeOwned.push_back(cell & ~kOwnedBit);
        }
        else if (cell != kEmptyCell)
            m_nArenaGarbage += std::strlen(ArenaBytes(cell)) + 1;
    }
}

// Gives back what deleted rows held once it outweighs what is still in use, so that a table
// that shrinks also shrinks in memory. Amortised, this costs a constant per deleted byte.
void CMemTable::TidyAfterDelete()
{
    if (m_cells.capacity() > 2 * m_cells.size())
        m_cells.shrink_to_fit();
    if (m_freeOwned.size() == m_owned.size())
    {
        std::vector<std::string>().swap(m_owned);
        std::vector<std::uint32_t>().swap(m_freeOwned);
    }
    if (m_nArenaGarbage <= ArenaSize() / 2)
        return;
    std::string arena;
    arena.reserve(ArenaSize() - m_nArenaGarbage);
    for (Cell& cell : m_cells)
    {
        if (IsOwned(cell) || cell == kEmptyCell)
            continue;
        const auto nOffset = static_cast<Cell>(arena.size());
        arena.append(ArenaBytes(cell)).push_back('\0');
        cell = nOffset;
    }
    m_strArena = std::move(arena);
    std::string().swap(m_strArenaTail);
    m_nArenaGarbage = 0;
}

int CMemTable::DeleteRows(int nFirst, int nLast)
{
    nFirst = std::max(nFirst, 0);
    nLast = std::min(nLast, m_nRows - 1);
    if (nLast < nFirst)
        return 0;
    try
    {
        const std::size_t nBegin = static_cast<std::size_t>(nFirst) * m_nCols;
        const std::size_t nEnd = static_cast<std::size_t>(nLast + 1) * m_nCols;
        ReleaseCells(nBegin, nEnd);
        m_cells.erase(m_cells.begin() + nBegin, m_cells.begin() + nEnd);
        m_nRows -= nLast - nFirst + 1;
        TidyAfterDelete();
    }
    catch (const std::bad_alloc&)
    {
        FatalAppExitA(0, MemTableText::kNoMemoryDeleteRows);
    }
    return nLast - nFirst + 1;
}

int CMemTable::DeleteRowSet(const std::vector<int>& rows)
{
    std::vector<int> doomed;
    try
    {
        doomed = rows;
        std::sort(doomed.begin(), doomed.end());
        doomed.erase(std::unique(doomed.begin(), doomed.end()), doomed.end());
        const auto outside = [this](int nRow) { return nRow < 0 || nRow >= m_nRows; };
        assert(std::none_of(doomed.begin(), doomed.end(), outside));
        doomed.erase(std::remove_if(doomed.begin(), doomed.end(), outside), doomed.end());
        if (doomed.empty())
            return 0;
        // One pass: kept rows slide down over the deleted ones.
        const std::size_t nCols = m_nCols;
        std::size_t nWrite = 0;
        auto next = doomed.begin();
        for (int nRow = 0; nRow < m_nRows; ++nRow)
        {
            const std::size_t nRead = nRow * nCols;
            if (next != doomed.end() && *next == nRow)
            {
                ReleaseCells(nRead, nRead + nCols);
                ++next;
                continue;
            }
            std::copy_n(m_cells.begin() + nRead, nCols, m_cells.begin() + nWrite);
            nWrite += nCols;
        }
        m_cells.resize(nWrite);
        m_nRows -= static_cast<int>(doomed.size());
        TidyAfterDelete();
    }
    catch (const std::bad_alloc&)
    {
        FatalAppExitA(0, MemTableText::kNoMemoryDeleteRows);
    }
    return static_cast<int>(doomed.size());
}
