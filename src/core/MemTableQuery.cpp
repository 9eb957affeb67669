#include <algorithm>
#include <cassert>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/Gbk.h"
#include "core/MemTable.h"

namespace
{
std::string_view Text(const char* lpcszText)
{
    assert(lpcszText != nullptr);
    return lpcszText != nullptr ? lpcszText : "";
}

// The trimmed cell read as a base-10 number in the manner of strtol on a 32-bit long: an empty
// cell is 0 and numbers beyond the range become its nearest limit; trailing characters fail.
bool NumberEquals(std::string_view cell, long nValue)
{
    const std::string trimmed(Gbk::Trim(cell));
    char* pEnd = nullptr;
    long long nNumber = std::strtoll(trimmed.c_str(), &pEnd, 10);
    if (pEnd != trimmed.c_str() + trimmed.size())
        return false;
    nNumber = std::clamp<long long>(nNumber, INT32_MIN, INT32_MAX);
    return nNumber == nValue;
}

bool SectionEquals(std::string_view cell, int nStart, int nLength, std::string_view text)
{
    if (nStart < 0 || nLength < 0 || cell.size() <= static_cast<std::size_t>(nStart))
        return false;
    return cell.substr(nStart, nLength) == text;
}

// '_' stands for any one byte; the cell and the pattern must have the same length.
bool PatternMatches(std::string_view cell, std::string_view pattern)
{
    if (cell.size() != pattern.size())
        return false;
    for (std::size_t i = 0; i < cell.size(); ++i)
    {
        if (pattern[i] != '_' && pattern[i] != cell[i])
            return false;
    }
    return true;
}
} // namespace

template <class Test> int CMemTable::FirstRowWhere(int nCol, int nStartRow, Test test) const
{
    assert(nCol >= 0 && nCol < m_nCols && nStartRow >= 0);
    if (nCol < 0 || nCol >= m_nCols)
        return -1;
    for (int nRow = std::max(nStartRow, 0); nRow < m_nRows; ++nRow)
    {
        if (test(std::string_view(GetCell(nRow, nCol))))
            return nRow;
    }
    return -1;
}

template <class Test> std::vector<int> CMemTable::RowsWhere(int nCol, Test test) const
{
    assert(nCol >= 0 && nCol < m_nCols);
    std::vector<int> rows;
    for (int nRow = 0; nCol >= 0 && nCol < m_nCols && nRow < m_nRows; ++nRow)
    {
        if (test(CellText(m_cells[static_cast<std::size_t>(nRow) * m_nCols + nCol])))
            rows.push_back(nRow);
    }
    return rows;
}

int CMemTable::FindRow(int nCol, const char* lpcszText) const
{
    const std::string_view text = Text(lpcszText);
    return FirstRowWhere(nCol, 0, [text](std::string_view cell) { return cell == text; });
}

int CMemTable::FindRow(const char* lpcszCol, const char* lpcszText) const
{
    const int nCol = GetColIndex(lpcszCol);
    return nCol < 0 ? -1 : FindRow(nCol, lpcszText);
}

int CMemTable::FindRowByNumber(int nCol, long nValue) const
{
    return FirstRowWhere(nCol, 0, [nValue](std::string_view cell) { return NumberEquals(cell, nValue); });
}

int CMemTable::FindRowByNumber(const char* lpcszCol, long nValue) const
{
    const int nCol = GetColIndex(lpcszCol);
    return nCol < 0 ? -1 : FindRowByNumber(nCol, nValue);
}

int CMemTable::FindRowLike(int nCol, const char* lpcszPattern, int nStartRow) const
{
    const std::string_view pattern = Text(lpcszPattern);
    return FirstRowWhere(nCol, nStartRow, [pattern](std::string_view cell) { return PatternMatches(cell, pattern); });
}

int CMemTable::FindRowLike(const char* lpcszCol, const char* lpcszPattern, int nStartRow) const
{
    const int nCol = GetColIndex(lpcszCol);
    return nCol < 0 ? -1 : FindRowLike(nCol, lpcszPattern, nStartRow);
}

// The callback may add or delete rows: the walk goes on with the next index against the new count.
BOOL CMemTable::ForEachRowLike(int nCol, const char* lpcszPattern, ROWCALLBACK pfnCallback, std::uint32_t dwData)
{
    for (int nRow = 0; (nRow = FindRowLike(nCol, lpcszPattern, nRow)) >= 0; ++nRow)
    {
        if (pfnCallback(this, nRow, dwData) == 0)
            return FALSE;
    }
    return TRUE;
}

BOOL CMemTable::ForEachRowLike(const char* lpcszCol, const char* lpcszPattern, ROWCALLBACK pfnCallback,
                               std::uint32_t dwData)
{
    const int nCol = GetColIndex(lpcszCol);
    return nCol < 0 ? TRUE : ForEachRowLike(nCol, lpcszPattern, pfnCallback, dwData);
}

int CMemTable::CountRowsBySubstring(const char* lpcszCol, int nStart, int nLength, const char* lpcszText) const
{
    const int nCol = GetColIndex(lpcszCol);
    if (nCol < 0)
        return 0;
    const std::string_view text = Text(lpcszText);
    return static_cast<int>(
        RowsWhere(nCol, [&](std::string_view cell) { return SectionEquals(cell, nStart, nLength, text); }).size());
}

// The deleting queries collect the passing rows and delete them in one pass.
int CMemTable::DeleteRowsBySubstring(const char* lpcszCol, int nStart, int nLength, const char* lpcszText)
{
    const int nCol = GetColIndex(lpcszCol);
    if (nCol < 0)
        return 0;
    const std::string_view text = Text(lpcszText);
    return DeleteRowSet(
        RowsWhere(nCol, [&](std::string_view cell) { return SectionEquals(cell, nStart, nLength, text); }));
}

int CMemTable::DeleteRowsByNumber(int nCol, long nValue)
{
    return DeleteRowSet(RowsWhere(nCol, [nValue](std::string_view cell) { return NumberEquals(cell, nValue); }));
}

int CMemTable::DeleteRowsByNumber(const char* lpcszCol, long nValue)
{
    const int nCol = GetColIndex(lpcszCol);
    return nCol < 0 ? 0 : DeleteRowsByNumber(nCol, nValue);
}
