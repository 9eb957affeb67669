#include "core/SchoolFilter.h"

#include "core/Gbk.h"
#include "core/MemTable.h"

namespace
{
constexpr int kNameColumn = 1;
}

std::vector<int> FilterSchoolRows(const CMemTable& schools, std::string_view filter)
{
    const std::string_view needle = Gbk::Trim(filter);
    std::vector<int> rows;
    rows.reserve(static_cast<std::size_t>(schools.GetRowCount()));
    for (int nRow = 0; nRow < schools.GetRowCount(); ++nRow)
    {
        if (needle.empty() || Gbk::Find(schools.GetCell(nRow, kNameColumn), needle) != std::string_view::npos)
            rows.push_back(nRow);
    }
    return rows;
}
