#pragma once

#include "TestKit.h"

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/MemTable.h"

namespace MemTableTest
{
using Rows = std::vector<std::vector<std::string>>;

inline std::vector<std::string> Names(const CMemTable& table)
{
    std::vector<std::string> names;
    for (int nCol = 0; nCol < table.GetColCount(); ++nCol)
        names.emplace_back(table.GetColName(nCol));
    return names;
}

inline Rows Cells(const CMemTable& table)
{
    Rows rows(table.GetRowCount());
    for (int nRow = 0; nRow < table.GetRowCount(); ++nRow)
        for (int nCol = 0; nCol < table.GetColCount(); ++nCol)
            rows[nRow].emplace_back(table.GetCell(nRow, nCol));
    return rows;
}

// A loaded table, for tests that start from one.
inline void LoadOrFail(CMemTable& table, std::string_view text)
{
    std::string error;
    if (!table._Load(text, error))
        throw std::runtime_error("fixture did not load: " + error);
}
} // namespace MemTableTest
