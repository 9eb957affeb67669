#include "exchange/OdsContent.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "exchange/FileText.h"
#include "exchange/SheetLimits.h"
#include "exchange/SheetSink.h"

namespace
{
// Past any sheet; positions stop growing here so that no count can overflow them.
constexpr std::int64_t kFarBeyond = std::int64_t{1} << 40;

// A repeat or span count: 1 when absent or not a positive number.
std::int64_t Count(std::string_view value)
{
    std::uint64_t n = 0;
    const auto [p, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
    if (ec == std::errc::result_out_of_range)
        return kFarBeyond;
    return ec != std::errc() || p != value.data() + value.size() || n == 0
               ? 1
               : static_cast<std::int64_t>(std::min<std::uint64_t>(n, kFarBeyond));
}

int ClampRow(std::int64_t nRow)
{
    return static_cast<int>(std::min<std::int64_t>(nRow, kMaxRows - 1));
}

int ClampColumn(std::int64_t nCol)
{
    return static_cast<int>(std::min<std::int64_t>(nCol, kMaxColumns - 1));
}
} // namespace

bool COdsContent::Start(const CXmlElement& element)
{
    const std::string_view name = element.Name();
    if (m_nSkipDepth > 0)
    {
        ++m_nSkipDepth;
        return true;
    }
    if (name == "table" && (m_bInCell || m_bInTable)) // a table inside a sheet is no sheet of its own
        m_nSkipDepth = 1;
    else if (name == "table")
        return StartTable(element);
    if (!m_bInTable)
        return true;
    if (name == "table-row")
        StartRow(element);
    else if (name == "table-cell" || name == "covered-table-cell")
        return StartCell(element, name == "covered-table-cell");
    else if (m_bInCell && m_bCovered)
        m_nSkipDepth = 1;
    else if (m_bInCell)
        return StartText(element);
    return true;
}

bool COdsContent::End(std::string_view name)
{
    if (m_nSkipDepth > 0)
    {
        if (--m_nSkipDepth == 0 && m_bSkippingSheet) // the end of a sheet the sink did not want
        {
            m_bSkippingSheet = m_bInTable = false;
            return !m_sink.Stopped();
        }
        return true;
    }
    if (name == "p" || name == "h")
        m_bInParagraph = false;
    else if (name == "table-cell" || name == "covered-table-cell")
        return EndCell();
    else if (name == "table-row")
        return EndRow();
    else if (name == "table" && m_bInTable)
        return EndTable();
    return true;
}

bool COdsContent::Text(std::string_view text)
{
    return m_nSkipDepth > 0 || !m_bInParagraph || AppendText(text);
}

bool COdsContent::StartTable(const CXmlElement& element)
{
    m_bSawTable = m_bInTable = true;
    m_strSheet = element.Attribute("name");
    m_nRow = 0;
    m_bSkippingSheet = !m_sink.BeginSheet(m_strSheet);
    m_nSkipDepth = m_bSkippingSheet ? 1 : 0;
    return true;
}

bool COdsContent::EndTable()
{
    m_bInTable = false;
    m_sink.EndSheet();
    return !m_sink.Stopped();
}

void COdsContent::StartRow(const CXmlElement& element)
{
    m_nCol = 0;
    m_nCells = 0;
    m_nRowRepeat = Count(element.Attribute("number-rows-repeated"));
}

bool COdsContent::StartCell(const CXmlElement& element, bool bCovered)
{
    m_bInCell = true;
    m_nParagraphs = 0;
    if (m_row.size() <= m_nCells)
        m_row.resize(m_nCells + 1);
    Cell& cell = m_row[m_nCells];
    cell.nCol = m_nCol;
    cell.nRepeat = Count(element.Attribute("number-columns-repeated"));
    m_nCol = std::min(m_nCol + cell.nRepeat, kFarBeyond);
    cell.nRowsSpanned = Count(element.Attribute("number-rows-spanned"));
    cell.nColsSpanned = Count(element.Attribute("number-columns-spanned"));
    cell.text.clear();
    cell.kind = Cell::Kind::Text;
    m_bCovered = bCovered; // hidden under a merged range: whatever it holds, nobody sees it
    if (bCovered)
        return true;
    const std::string_view type = element.Attribute("value-type");
    const std::string strCell = CellName(ClampRow(m_nRow), ClampColumn(cell.nCol));
    if (!element.Attribute("formula").empty())
        cell.kind = Cell::Kind::Formula;
    else if (type == "float" || type == "percentage" || type == "currency")
    {
        const std::string_view value = element.Attribute("value");
        const auto [p, ec] = std::from_chars(value.data(), value.data() + value.size(), cell.number);
        if (ec != std::errc() || p != value.data() + value.size())
            return Fail("工作表“" + GbkOfFileText(m_strSheet) + "”的单元格" + strCell + "的数值“" +
                            GbkOfFileText(value) + "”无效",
                        true);
        cell.kind = Cell::Kind::Number;
    }
    else if (type == "date") // "2006-07-01", perhaps with a time after it
    {
        const std::string strValue(element.Attribute("date-value"));
        if (std::sscanf(strValue.c_str(), "%d-%d-%d", &cell.y, &cell.m, &cell.d) != 3)
            return Fail("工作表“" + GbkOfFileText(m_strSheet) + "”的单元格" + strCell + "的日期“" +
                            GbkOfFileText(strValue) + "”无效",
                        true);
        cell.kind = Cell::Kind::Date;
    }
    else if (type == "boolean") // as the other workbooks store a truth value: 1 or 0
    {
        cell.number = element.Attribute("boolean-value") == "true" ? 1 : 0;
        cell.kind = Cell::Kind::Number;
    }
    return true;
}

bool COdsContent::StartText(const CXmlElement& element)
{
    const std::string_view name = element.Name();
    if (name == "annotation" || name == "frame") // a comment, a picture or a text box over the cell
        m_nSkipDepth = 1;
    else if (name == "p" || name == "h")
    {
        m_bInParagraph = true;
        return m_nParagraphs++ == 0 || AppendText("\n");
    }
    else if (name == "s") // a run of spaces
        return AppendText(std::string(
            static_cast<std::size_t>(std::min<std::int64_t>(Count(element.Attribute("c")), kMaxCellText + 1)), ' '));
    else if (name == "tab")
        return AppendText("\t");
    else if (name == "line-break")
        return AppendText("\n");
    return true;
}

bool COdsContent::AppendText(std::string_view text)
{
    Cell& cell = m_row[m_nCells];
    if (cell.text.size() + text.size() > kMaxCellText)
        return Fail(CellTooLongProblem(m_strSheet, ClampRow(m_nRow), ClampColumn(cell.nCol)), false);
    cell.text.append(text);
    return true;
}

bool COdsContent::EndCell()
{
    m_bInCell = m_bInParagraph = false;
    Cell& cell = m_row[m_nCells];
    if (m_bCovered)
        return true;
    const bool bSpans = cell.nRowsSpanned > 1 || cell.nColsSpanned > 1;
    if (cell.kind == Cell::Kind::Text && cell.text.empty())
        cell.kind = Cell::Kind::Merge;
    if (cell.kind == Cell::Kind::Merge && !bSpans)
        return true; // nothing to hand on: only the column moves
    if (cell.nCol + cell.nRepeat > kMaxColumns || m_nRow + m_nRowRepeat > kMaxRows)
        return Fail(BeyondSheetProblem(m_strSheet), false);
    ++m_nCells;
    return true;
}

bool COdsContent::EndRow()
{
    if (m_nCells == 0)
    {
        m_nRow = std::min(m_nRow + m_nRowRepeat, kFarBeyond); // empty rows, however many, cost nothing
        return true;
    }
    // Each cell once is what the file holds; every other copy is charged against the bound.
    std::uint64_t nOnce = 0, nRow = 0;
    for (std::size_t i = 0; i < m_nCells; ++i)
    {
        const std::uint64_t nCost = kRepeatedCellCost + m_row[i].text.size();
        nOnce += nCost;
        nRow += nCost * static_cast<std::uint64_t>(m_row[i].nRepeat); // at most 2^45: bounded columns
    }
    const auto nRowRepeat = static_cast<std::uint64_t>(m_nRowRepeat); // at most 2^20: bounded rows
    const std::uint64_t nRemaining = kMaxRepeatedBytes - m_nRepeatedBytes;
    if (nRow > (nRemaining + nOnce) / nRowRepeat)
        return Fail(RepeatsTooLargeProblem(m_strSheet, m_nRow), false);
    m_nRepeatedBytes += nRow * nRowRepeat - nOnce;
    for (std::int64_t r = 0; r < m_nRowRepeat; ++r)
    {
        for (std::size_t i = 0; i < m_nCells; ++i)
            Emit(m_row[i], m_nRow + r);
        if (m_sink.Stopped())
            return false;
    }
    m_nRow += m_nRowRepeat;
    return true;
}

void COdsContent::Emit(const Cell& cell, std::int64_t nRow)
{
    const int r = static_cast<int>(nRow);
    for (std::int64_t k = 0; k < cell.nRepeat; ++k)
    {
        const int c = static_cast<int>(cell.nCol + k);
        switch (cell.kind)
        {
        case Cell::Kind::Text:
            m_sink.SetText(r, c, cell.text);
            break;
        case Cell::Kind::Number:
            m_sink.SetNumber(r, c, cell.number);
            break;
        case Cell::Kind::Date:
            m_sink.SetDate(r, c, cell.y, cell.m, cell.d);
            break;
        case Cell::Kind::Formula:
            m_sink.SetFormula(r, c);
            break;
        case Cell::Kind::Merge:
            break;
        }
        if (cell.nRowsSpanned > 1 || cell.nColsSpanned > 1)
            m_sink.MergeRange(r, c, ClampRow(nRow + cell.nRowsSpanned - 1), ClampColumn(c + cell.nColsSpanned - 1));
    }
}
