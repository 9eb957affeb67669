#pragma once

#include <string>
#include <string_view>
#include <vector>

class CMemTable;

// Counting a school's records by one field, or by two for a cross table. Records are counted under
// the names of their codes, never dropped: a code that is not in its table counts under
// "（无效代码）". Texts are GBK.

// How the stored value of a field becomes the group it is counted in.
enum class StatGrouping
{
    Code,     // the row of the field's code table
    Category, // the major's category (a discipline's code counts under the discipline)
    Province, // the province of a province or region code ("0": "--不限--")
    Year,     // the year of a date
    Band      // one of the four salary bands
};

// One thing records can be counted by.
struct StatDimension
{
    const char* lpcszName;  // the field name of the CSV header ("XBDM"); "ZYDLDM" for the major's category
    const char* lpcszLabel; // the title of the table's first column ("性别")
    int nField;             // the student field counted
    StatGrouping grouping;
};

constexpr int STAT_DIMENSION_COUNT = 15;
// Every dimension, in the order the statistics window offers them.
extern const StatDimension g_statDimensions[STAT_DIMENSION_COUNT];

// The dimension of a field name (ASCII case ignored) or of its title; null when there is none.
const StatDimension* FindStatDimension(std::string_view name);

// The name under which a value counts when it is not in its table (or is no date, or no band).
extern const char* const g_lpcszInvalidCode;

// One group of a dimension.
struct StatGroup
{
    std::string strName; // display name, g_lpcszInvalidCode for the invalid group
    std::string strCode; // the code (the year for dates); empty for the invalid group
    int nOrder;          // table order; the invalid group sorts last
};

// The counts of the records by one dimension (rows), or by two (rows and columns). Only groups
// with records appear, in table order (years ascending), the invalid group last.
class CStatCounts
{
  public:
    const std::vector<StatGroup>& Rows() const { return m_rows; }
    // Empty when the records were counted by one dimension only.
    const std::vector<StatGroup>& Cols() const { return m_cols; }
    bool IsCross() const { return !m_cols.empty(); }

    // REQUIRES: 0 <= nRow < Rows().size(); 0 <= nCol < max(1, Cols().size()).
    int Count(std::size_t nRow, std::size_t nCol = 0) const { return m_counts[nRow * Width() + nCol]; }
    int RowTotal(std::size_t nRow) const;
    int ColTotal(std::size_t nCol) const;
    int Total() const { return m_nTotal; }

  private:
    friend class CStatCounter;
    std::size_t Width() const { return m_cols.empty() ? 1 : m_cols.size(); }

    std::vector<StatGroup> m_rows;
    std::vector<StatGroup> m_cols;
    std::vector<int> m_counts; // row by row
    int m_nTotal = 0;
};

// Counts the given rows of the student table (24 columns in record order) by first, and by
// second as well when it is given.
CStatCounts CountRecords(const CMemTable& students, const std::vector<int>& rows, const StatDimension& first,
                         const StatDimension* pSecond = nullptr);
// Counts every row of the table.
CStatCounts CountAllRecords(const CMemTable& students, const StatDimension& first,
                            const StatDimension* pSecond = nullptr);

// One cell of the table the counts are shown, printed and exported as.
struct StatCell
{
    enum Kind
    {
        Text,
        Number, // a count
        Share   // a fraction of all counted records, shown as a percentage
    } kind;
    std::string strText; // the cell as shown ("12", "12.5%")
    double fValue;       // the count or the fraction
};

// The counts as a table: a title row, a row per group with its count (per column group and total
// for a cross table) and its share of all counted records, and a last row of totals ("合计").
std::vector<std::vector<StatCell>> StatisticsGrid(const CStatCounts& counts, const StatDimension& first,
                                                  const StatDimension* pSecond = nullptr);

// The grid as CSV text (GBK, "," between cells, CR LF after each row, quoted as the record CSV).
std::string StatisticsCsv(const std::vector<std::vector<StatCell>>& grid);
