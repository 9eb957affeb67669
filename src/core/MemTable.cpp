#include "core/MemTable.h"

#include <algorithm>
#include <cassert>
#include <charconv>
#include <cstring>
#include <new>

#include "core/MemTableTexts.h"
#include "platform/FatalExit.h"

namespace
{
// The one empty text every table hands out for an unknown column name.
const char kSharedEmpty[] = "";
} // namespace

CMemTable::CMemTable() = default;

CMemTable::~CMemTable()
{
    Clear();
}

void CMemTable::Clear()
{
    m_nRows = 0;
    m_nCols = 0;
    std::vector<std::string>().swap(m_colNames);
    decltype(m_cells)().swap(m_cells);
    std::string().swap(m_strArena);
    std::string().swap(m_strArenaTail);
    m_nArenaGarbage = 0;
    m_bArenaAdopted = false;
    std::vector<std::string>().swap(m_owned);
    std::vector<std::uint32_t>().swap(m_freeOwned);
    m_bLoaded = FALSE;
}

bool CMemTable::IsInside(int nRow, int nCol) const
{
    return nRow >= 0 && nRow < m_nRows && nCol >= 0 && nCol < m_nCols;
}

std::string_view CMemTable::CellText(Cell cell) const
{
    if (IsOwned(cell))
        return m_owned[cell & ~kOwnedBit];
    return CellString(cell);
}

const char* CMemTable::CellString(Cell cell) const
{
    if (IsOwned(cell))
        return m_owned[cell & ~kOwnedBit].c_str();
    // Empty cells of new rows refer to no arena byte at all.
    return cell == kEmptyCell ? kSharedEmpty : ArenaBytes(cell);
}

const char* CMemTable::ArenaBytes(Cell cell) const
{
    return cell < m_strArena.size() ? m_strArena.data() + cell : m_strArenaTail.data() + (cell - m_strArena.size());
}

const char* CMemTable::GetColName(int nCol) const
{
    assert(nCol >= 0 && nCol < m_nCols);
    if (nCol < 0 || nCol >= m_nCols)
        return kSharedEmpty;
    return m_colNames[nCol].c_str();
}

int CMemTable::GetColIndex(const char* lpcszName) const
{
    assert(lpcszName != nullptr);
    if (lpcszName == nullptr)
        return -1;
    for (int nCol = 0; nCol < m_nCols; ++nCol)
    {
        if (m_colNames[nCol] == lpcszName)
            return nCol;
    }
    return -1;
}

const char* CMemTable::GetCell(int nRow, int nCol) const
{
    assert(IsInside(nRow, nCol));
    if (!IsInside(nRow, nCol))
        return kSharedEmpty;
    return CellString(m_cells[static_cast<std::size_t>(nRow) * m_nCols + nCol]);
}

const char* CMemTable::GetCell(int nRow, const char* lpcszCol) const
{
    const int nCol = GetColIndex(lpcszCol);
    return nCol < 0 ? kSharedEmpty : GetCell(nRow, nCol);
}

std::string& CMemTable::OwnCell(Cell& cell, std::string_view initial)
{
    // Copy first: the initial text may live in m_owned, which may move when it grows.
    std::string text(initial);
    if (cell != kEmptyCell)
        m_nArenaGarbage += std::strlen(ArenaBytes(cell)) + 1;
    std::uint32_t nSlot;
    if (!m_freeOwned.empty())
    {
        nSlot = m_freeOwned.back();
        m_freeOwned.pop_back();
        m_owned[nSlot] = std::move(text);
    }
    else
    {
        nSlot = static_cast<std::uint32_t>(m_owned.size());
        m_owned.push_back(std::move(text));
    }
    cell = nSlot | kOwnedBit;
    return m_owned[nSlot];
}

std::string* CMemTable::GetCellPtr(int nRow, int nCol)
{
    assert(IsInside(nRow, nCol));
    if (!IsInside(nRow, nCol))
    {
        m_strDiscard.clear();
        return &m_strDiscard;
    }
    Cell& cell = m_cells[static_cast<std::size_t>(nRow) * m_nCols + nCol];
    if (IsOwned(cell))
        return &m_owned[cell & ~kOwnedBit];
    return &OwnCell(cell, CellText(cell));
}

CMemRow CMemTable::GetRow(int nRow)
{
    assert(nRow >= 0 && nRow < m_nRows);
    return CMemRow(this, nRow);
}

CConstMemRow CMemTable::GetRow(int nRow) const
{
    assert(nRow >= 0 && nRow < m_nRows);
    return CConstMemRow(this, nRow);
}

std::string* CMemTable::SetCell(int nRow, int nCol, std::string_view value)
{
    assert(IsInside(nRow, nCol));
    if (!IsInside(nRow, nCol))
        return nullptr;
    Cell& cell = m_cells[static_cast<std::size_t>(nRow) * m_nCols + nCol];
    if (IsOwned(cell))
        return &m_owned[cell & ~kOwnedBit].assign(value);
    return &OwnCell(cell, value);
}

void CMemTable::SetCell(int nRow, int nCol, std::uint32_t dwValue)
{
    char digits[16];
    const auto result = std::to_chars(digits, digits + sizeof(digits), dwValue);
    SetCell(nRow, nCol, std::string_view(digits, result.ptr - digits));
}

std::string* CMemTable::SetCell(int nRow, const char* lpcszCol, std::string_view value)
{
    const int nCol = GetColIndex(lpcszCol);
    return nCol < 0 ? nullptr : SetCell(nRow, nCol, value);
}

void CMemTable::SetCell(int nRow, const char* lpcszCol, std::uint32_t dwValue)
{
    const int nCol = GetColIndex(lpcszCol);
    if (nCol >= 0)
        SetCell(nRow, nCol, dwValue);
}
