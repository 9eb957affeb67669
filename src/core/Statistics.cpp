#include "core/Statistics.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <map>
#include <optional>
#include <unordered_map>

#include "core/CodeLookup.h"
#include "core/CsvValue.h"
#include "core/DateText.h"
#include "core/Gbk.h"
#include "core/StudentSchema.h"

const StatDimension g_statDimensions[STAT_DIMENSION_COUNT] = {
    {"XBDM", "性别", Field::XBDM, StatGrouping::Code},
    {"XLDM", "学历", Field::XLDM, StatGrouping::Code},
    {"ZYDLDM", "专业类别", Field::ZYDM, StatGrouping::Category},
    {"ZYDM", "专业", Field::ZYDM, StatGrouping::Code},
    {"SYSZDQDM", "生源地", Field::SYSZDQDM, StatGrouping::Province},
    {"ZZMMDM", "政治面貌", Field::ZZMMDM, StatGrouping::Code},
    {"ZXWYYZDM", "外语语种", Field::ZXWYYZDM, StatGrouping::Code},
    {"WYSPDM", "外语水平", Field::WYSPDM, StatGrouping::Code},
    {"YXGZDQDM", "意向工作省份", Field::YXGZDQDM, StatGrouping::Province},
    {"YXDWXZDM", "意向单位性质", Field::YXDWXZDM, StatGrouping::Code},
    {"YXDWHYDM", "意向单位行业", Field::YXDWHYDM, StatGrouping::Code},
    {"YXYX", "意向月薪", Field::YXYX, StatGrouping::Band},
    {"YXZYLBM", "意向职业", Field::YXZYLBM, StatGrouping::Code},
    {"JICENG", "参加下基层项目", Field::JICENG, StatGrouping::Code},
    {"BYSJ", "毕业年份", Field::BYSJ, StatGrouping::Year},
};

const char* const g_lpcszInvalidCode = "（无效代码）";

const StatDimension* FindStatDimension(std::string_view name)
{
    for (const StatDimension& dimension : g_statDimensions)
        if (Gbk::EqualsNoCase(dimension.lpcszName, name) || name == dimension.lpcszLabel)
            return &dimension;
    return nullptr;
}

int CStatCounts::RowTotal(std::size_t nRow) const
{
    int nSum = 0;
    for (std::size_t c = 0; c < Width(); ++c)
        nSum += Count(nRow, c);
    return nSum;
}

int CStatCounts::ColTotal(std::size_t nCol) const
{
    int nSum = 0;
    for (std::size_t r = 0; r < m_rows.size(); ++r)
        nSum += Count(r, nCol);
    return nSum;
}

namespace
{
StatGroup InvalidGroup()
{
    return {g_lpcszInvalidCode, {}, INT_MAX};
}

// The row of the table whose code equals the code (ASCII case ignored); -1 when none.
int RowOfCode(const CODETABLE& table, std::string_view code)
{
    const CODEITEM* pRow = FindCodeRow(table, code);
    return pRow != nullptr ? static_cast<int>(pRow - table.pItems) : -1;
}

StatGroup GroupOfRow(const CODETABLE& table, int nRow)
{
    if (nRow < 0)
        return InvalidGroup();
    return {table.pItems[nRow].name, table.pItems[nRow].code, nRow};
}

StatGroup CategoryGroup(std::string_view code)
{
    const int nRow = RowOfCode(g_codeMajors, code);
    if (nRow < 0)
        return InvalidGroup();
    // A discipline (XX000000) has no category above it and counts as itself.
    const std::string strMajor = g_codeMajors.pItems[nRow].code;
    if (strMajor.substr(2) == "000000")
        return GroupOfRow(g_codeMajors, nRow);
    return GroupOfRow(g_codeMajors, RowOfCode(g_codeMajors, strMajor.substr(0, 4) + "0000"));
}

StatGroup ProvinceGroup(const CODETABLE& table, std::string_view code)
{
    const int nRow = RowOfCode(table, code);
    if (nRow < 0)
        return InvalidGroup();
    const std::string strCode = table.pItems[nRow].code;
    const std::string strProvince = strCode == "0" ? strCode : strCode.substr(0, 2) + "0000";
    return GroupOfRow(g_codeProvinces, RowOfCode(g_codeProvinces, strProvince));
}

StatGroup YearGroup(std::string_view date)
{
    int nYear = 0, nMonth = 0, nDay = 0;
    const std::string strDate(date);
    if (ParseDateText(strDate) <= 0 || std::sscanf(strDate.c_str(), "%d-%d-%d", &nYear, &nMonth, &nDay) != 3)
        return InvalidGroup();
    const std::string strYear = std::to_string(nYear);
    return {strYear, strYear, nYear};
}

StatGroup BandGroup(std::string_view text)
{
    for (int i = 0; i < 4; ++i)
        if (text == g_szSalaryBands[i])
            return {g_szSalaryBands[i], g_szSalaryBands[i], i};
    return InvalidGroup();
}

StatGroup GroupOf(const StatDimension& dimension, std::string_view value)
{
    const CODETABLE* pTable = g_studentFields[dimension.nField].pTable;
    switch (dimension.grouping)
    {
    case StatGrouping::Code:
        return GroupOfRow(*pTable, RowOfCode(*pTable, value));
    case StatGrouping::Category:
        return CategoryGroup(value);
    case StatGrouping::Province:
        return ProvinceGroup(*pTable, value);
    case StatGrouping::Year:
        return YearGroup(value);
    case StatGrouping::Band:
        return BandGroup(value);
    }
    return InvalidGroup();
}

// The groups of one dimension met so far. A school repeats few values many times, so each distinct
// value is looked up once; values that differ only in letter case meet in one group.
class CGroupIndex
{
  public:
    explicit CGroupIndex(const StatDimension& dimension) : m_dimension(dimension) {}

    int Field() const { return m_dimension.nField; }

    // The slot of the value's group (the cell must outlive the index).
    std::size_t SlotOf(const char* lpcszValue)
    {
        const auto [it, bNew] = m_slotOfValue.try_emplace(lpcszValue, 0);
        if (!bNew)
            return it->second;
        StatGroup group = GroupOf(m_dimension, lpcszValue);
        const auto [itOrder, bNewGroup] = m_slotOfOrder.try_emplace(group.nOrder, m_groups.size());
        if (bNewGroup)
            m_groups.push_back(std::move(group));
        return it->second = itOrder->second;
    }

    const std::vector<StatGroup>& Groups() const { return m_groups; }
    // The slots in table order.
    std::vector<std::size_t> SortedSlots() const
    {
        std::vector<std::size_t> slots;
        for (const auto& [nOrder, nSlot] : m_slotOfOrder)
            slots.push_back(nSlot);
        return slots;
    }

  private:
    const StatDimension& m_dimension;
    std::unordered_map<std::string_view, std::size_t> m_slotOfValue;
    std::map<int, std::size_t> m_slotOfOrder;
    std::vector<StatGroup> m_groups;
};
} // namespace

// Counts records into slots of the groups as they are met; Finish orders them.
class CStatCounter
{
  public:
    CStatCounter(const StatDimension& first, const StatDimension* pSecond) : m_rows(first)
    {
        if (pSecond != nullptr)
            m_cols.emplace(*pSecond);
    }

    void Add(const CMemTable& students, int nRow)
    {
        const std::size_t nRowSlot = m_rows.SlotOf(students.GetCell(nRow, m_rows.Field()));
        const std::size_t nColSlot = m_cols ? m_cols->SlotOf(students.GetCell(nRow, m_cols->Field())) : 0;
        if (nRowSlot >= m_counts.size())
            m_counts.resize(nRowSlot + 1);
        std::vector<int>& line = m_counts[nRowSlot];
        if (nColSlot >= line.size())
            line.resize(nColSlot + 1);
        ++line[nColSlot];
        ++m_nTotal;
    }

    CStatCounts Finish() const
    {
        CStatCounts counts;
        const std::vector<std::size_t> rowSlots = m_rows.SortedSlots();
        std::vector<std::size_t> colSlots(1, 0); // one column when counted by one dimension
        if (m_cols)
        {
            colSlots = m_cols->SortedSlots();
            for (std::size_t nCol : colSlots)
                counts.m_cols.push_back(m_cols->Groups()[nCol]);
        }
        for (std::size_t nRow : rowSlots)
        {
            counts.m_rows.push_back(m_rows.Groups()[nRow]);
            for (std::size_t nCol : colSlots)
                counts.m_counts.push_back(nCol < m_counts[nRow].size() ? m_counts[nRow][nCol] : 0);
        }
        counts.m_nTotal = m_nTotal;
        return counts;
    }

  private:
    CGroupIndex m_rows;
    std::optional<CGroupIndex> m_cols;
    std::vector<std::vector<int>> m_counts; // by row slot, then column slot
    int m_nTotal = 0;
};

CStatCounts CountRecords(const CMemTable& students, const std::vector<int>& rows, const StatDimension& first,
                         const StatDimension* pSecond)
{
    CStatCounter counter(first, pSecond);
    for (int nRow : rows)
        counter.Add(students, nRow);
    return counter.Finish();
}

CStatCounts CountAllRecords(const CMemTable& students, const StatDimension& first, const StatDimension* pSecond)
{
    CStatCounter counter(first, pSecond);
    for (int nRow = 0; nRow < students.GetRowCount(); ++nRow)
        counter.Add(students, nRow);
    return counter.Finish();
}

namespace
{
StatCell TextCell(std::string strText)
{
    return {StatCell::Text, std::move(strText), 0};
}

StatCell NumberCell(int nCount)
{
    return {StatCell::Number, std::to_string(nCount), static_cast<double>(nCount)};
}

StatCell ShareCell(int nCount, int nTotal)
{
    const double fShare = nTotal > 0 ? static_cast<double>(nCount) / nTotal : 0;
    char szText[16];
    std::snprintf(szText, sizeof szText, "%.1f%%", fShare * 100);
    return {StatCell::Share, szText, fShare};
}
} // namespace

std::vector<std::vector<StatCell>> StatisticsGrid(const CStatCounts& counts, const StatDimension& first,
                                                  const StatDimension* pSecond)
{
    std::vector<std::vector<StatCell>> grid;
    std::vector<StatCell> title = {TextCell(first.lpcszLabel)};
    if (counts.IsCross())
    {
        title.front().strText += std::string(" \\ ") + pSecond->lpcszLabel;
        for (const StatGroup& group : counts.Cols())
            title.push_back(TextCell(group.strName));
    }
    title.push_back(TextCell(counts.IsCross() ? "合计" : "人数"));
    title.push_back(TextCell("百分比"));
    grid.push_back(std::move(title));
    for (std::size_t r = 0; r < counts.Rows().size(); ++r)
    {
        std::vector<StatCell> line = {TextCell(counts.Rows()[r].strName)};
        for (std::size_t c = 0; counts.IsCross() && c < counts.Cols().size(); ++c)
            line.push_back(NumberCell(counts.Count(r, c)));
        line.push_back(NumberCell(counts.RowTotal(r)));
        line.push_back(ShareCell(counts.RowTotal(r), counts.Total()));
        grid.push_back(std::move(line));
    }
    std::vector<StatCell> totals = {TextCell("合计")};
    for (std::size_t c = 0; counts.IsCross() && c < counts.Cols().size(); ++c)
        totals.push_back(NumberCell(counts.ColTotal(c)));
    totals.push_back(NumberCell(counts.Total()));
    totals.push_back(ShareCell(counts.Total(), counts.Total()));
    grid.push_back(std::move(totals));
    return grid;
}

std::string StatisticsCsv(const std::vector<std::vector<StatCell>>& grid)
{
    std::string strCsv;
    for (const std::vector<StatCell>& line : grid)
    {
        for (std::size_t c = 0; c < line.size(); ++c)
        {
            if (c > 0)
                strCsv += ',';
            AppendCsvValue(line[c].strText, strCsv);
        }
        strCsv += "\r\n";
    }
    return strCsv;
}
