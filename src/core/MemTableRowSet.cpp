// Copying and reinserting sets of rows in one pass each: what lets a change of many records be
// taken back exactly.
#include <algorithm>
#include <cassert>
#include <climits>
#include <new>

#include "core/MemTable.h"
#include "core/MemTableTexts.h"
#include "platform/FatalExit.h"

void CMemTable::CopyRowSet(const std::vector<int>& rows, CMemTable& target) const
{
    assert(&target != this);
    assert(std::is_sorted(rows.begin(), rows.end()));
    target.Clear();
    std::string strHeader;
    for (int nCol = 0; nCol < m_nCols; ++nCol)
        strHeader.append(nCol > 0 ? "\t" : "").append(m_colNames[nCol]);
    std::string strError;
    if (m_nCols == 0 || !target._Load(strHeader + "\r\n", strError))
        return;
    const std::size_t nCols = m_nCols;
    std::size_t nBytes = 0;
    for (int nRow : rows)
        for (std::size_t nCol = 0; nCol < nCols; ++nCol)
            nBytes += CellText(m_cells[nRow * nCols + nCol]).size() + 1;
    try
    {
        target.ReserveArena(nBytes);
        target.AddRows(static_cast<int>(rows.size()));
        Cell* pOut = target.m_cells.data();
        for (int nRow : rows)
            for (std::size_t nCol = 0; nCol < nCols; ++nCol)
                *pOut++ = target.StoreInArena(CellText(m_cells[nRow * nCols + nCol]));
    }
    catch (const std::bad_alloc&)
    {
        FatalAppExitA(0, MemTableText::kNoMemoryAppend);
    }
}

BOOL CMemTable::InsertRowSet(const CMemTable& source, const std::vector<int>& positions)
{
    assert(&source != this);
    const std::size_t nAdded = positions.size();
    if (source.m_nCols != m_nCols || static_cast<std::size_t>(source.m_nRows) != nAdded ||
        nAdded > static_cast<std::size_t>(INT_MAX - m_nRows))
        return FALSE;
    for (std::size_t i = 0; i < nAdded; ++i)
        if (positions[i] < 0 || (i > 0 && positions[i] <= positions[i - 1]) ||
            static_cast<std::size_t>(positions[i]) > m_nRows + i)
            return FALSE;
    if (nAdded == 0)
        return TRUE;
    const std::size_t nCols = m_nCols;
    std::size_t nBytes = 0;
    for (std::size_t i = 0; i < nAdded * nCols; ++i)
        nBytes += source.CellText(source.m_cells[i]).size() + 1;
    try
    {
        ReserveArena(nBytes);
        const std::size_t nOldRows = m_nRows;
        m_cells.resize((nOldRows + nAdded) * nCols);
        // From the end: every kept row moves up by the number of new rows before it, which never
        // overwrites a row not yet moved.
        std::size_t nOld = nOldRows;
        std::size_t nNew = nAdded;
        for (std::size_t nRow = nOldRows + nAdded; nNew > 0;)
        {
            --nRow;
            Cell* pRow = m_cells.data() + nRow * nCols;
            if (static_cast<std::size_t>(positions[nNew - 1]) == nRow)
            {
                --nNew;
                for (std::size_t nCol = 0; nCol < nCols; ++nCol)
                    pRow[nCol] = StoreInArena(source.CellText(source.m_cells[nNew * nCols + nCol]));
            }
            else
            {
                --nOld;
                std::copy_n(m_cells.data() + nOld * nCols, nCols, pRow);
            }
        }
        m_nRows += static_cast<int>(nAdded);
    }
    catch (const std::bad_alloc&)
    {
        FatalAppExitA(0, MemTableText::kNoMemoryAddRows);
    }
    return TRUE;
}
