#include "exchange/SheetRows.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "core/DataFunc.h"
#include "core/MemTable.h"

namespace
{
constexpr int kKeptColumns = 101; // more than a header may have: the rest are counted only

bool IsDateField(int nField)
{
    return nField == Field::CSNY || nField == Field::BYSJ;
}

std::string DateText(int nYear, int nMonth, int nDay)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", nYear, nMonth, nDay);
    return buffer;
}
} // namespace

std::size_t CTextPool::Append(std::string_view text)
{
    m_pool.append(text);
    m_offsets.push_back(m_pool.size());
    return m_offsets.size() - 2;
}

std::string_view CTextPool::At(std::size_t nIndex) const
{
    if (nIndex >= Count())
        return {};
    return std::string_view(m_pool).substr(m_offsets[nIndex], m_offsets[nIndex + 1] - m_offsets[nIndex]);
}

bool ParseCellReference(std::string_view reference, int& nRow, int& nCol)
{
    constexpr int kMaxLetters = 3, kMaxDigits = 7; // XFD and 1048576 are the largest
    nRow = nCol = 0;
    std::size_t i = 0;
    const auto skipDollar = [&] { i += i < reference.size() && reference[i] == '$'; };
    skipDollar();
    const std::size_t nFirstLetter = i;
    for (; i < reference.size() && std::isalpha(static_cast<unsigned char>(reference[i])) &&
           i - nFirstLetter < kMaxLetters;
         ++i)
        nCol = nCol * 26 + (std::toupper(static_cast<unsigned char>(reference[i])) - 'A' + 1);
    const bool bLetters = i > nFirstLetter;
    skipDollar();
    const std::size_t nFirstDigit = i;
    for (;
         i < reference.size() && std::isdigit(static_cast<unsigned char>(reference[i])) && i - nFirstDigit < kMaxDigits;
         ++i)
        nRow = nRow * 10 + (reference[i] - '0');
    const bool bWhole = bLetters && i > nFirstDigit && nRow > 0 && i == reference.size();
    nCol = std::max(nCol - 1, 0);
    nRow = std::max(nRow - 1, 0);
    return bWhole;
}

CSheetRows::CSheetRows(std::string strSheet) : m_strSheet(std::move(strSheet)) {}

bool CSheetRows::BeginSheet(const std::string& strName)
{
    if (m_bSheetBegun)
        return false;
    m_bSheetBegun = true;
    m_strSheet = strName;
    return true;
}

void CSheetRows::SetOrigin(int nYear, int nMonth, int nDay)
{
    m_nOriginYear = nYear;
    m_nOriginMonth = nMonth;
    m_nOriginDay = nDay;
}

std::string CSheetRows::Place() const
{
    return "工作表“" + m_strSheet + "”第" + std::to_string(m_nRow + 1) + "行";
}

void CSheetRows::Stop(const std::string& strUtf8Problem, int nCol)
{
    m_bFailed = true;
    // The field's description is GBK already; the rest is UTF-8.
    m_strError = GbkMessage(Place()) + CStudentImport::DescribeField(m_import.FieldNames()[nCol]) +
                 GbkMessage("的值" + strUtf8Problem);
}

CSheetRows::Cell* CSheetRows::CellAt(int nRow, int nCol)
{
    if (m_bFailed || nRow < 0 || nCol < 0)
        return nullptr;
    if (nRow != m_nRow)
    {
        FlushRow();
        if (m_bFailed)
            return nullptr;
        m_nRow = nRow;
    }
    m_nCols = std::max(m_nCols, nCol + 1);
    if (nCol >= kKeptColumns)
        return nullptr; // counted, not kept
    if (m_cells.size() <= static_cast<std::size_t>(nCol))
        m_cells.resize(static_cast<std::size_t>(nCol) + 1);
    return &m_cells[static_cast<std::size_t>(nCol)];
}

void CSheetRows::SetText(int nRow, int nCol, std::string_view utf8)
{
    if (utf8.empty())
        return; // an empty text is no value: the row may end before it
    if (Cell* pCell = CellAt(nRow, nCol))
    {
        pCell->kind = Cell::Kind::Text;
        pCell->text.assign(utf8);
    }
}

void CSheetRows::SetNumber(int nRow, int nCol, double value)
{
    if (Cell* pCell = CellAt(nRow, nCol))
    {
        pCell->kind = Cell::Kind::Number;
        pCell->number = value;
    }
}

void CSheetRows::SetDate(int nRow, int nCol, int nYear, int nMonth, int nDay)
{
    if (Cell* pCell = CellAt(nRow, nCol))
    {
        pCell->kind = Cell::Kind::Date;
        pCell->y = nYear, pCell->m = nMonth, pCell->d = nDay;
    }
}

// The cell's GBK value in the column of the header's field; false after Stop.
bool CSheetRows::ValueOf(const Cell& cell, int nCol, std::string& strValue)
{
    const std::vector<std::string>& names = m_import.FieldNames();
    const auto field = std::find_if(std::begin(g_studentFields), std::end(g_studentFields),
                                    [&](const STUDENTFIELD& f) { return names[nCol] == f.lpcszName; });
    const int nField = static_cast<int>(field - std::begin(g_studentFields));
    switch (cell.kind)
    {
    case Cell::Kind::Empty:
        strValue.clear();
        return true;
    case Cell::Kind::Text:
        if (m_toGbk.Convert(cell.text, strValue))
            return true;
        Stop("含有GBK编码不能表示的字符（例如表情符号），请改用其他字符后再导入。", nCol);
        return false;
    case Cell::Kind::Date:
        if (IsDateField(nField))
        {
            strValue = DateText(cell.y, cell.m, cell.d);
            return true;
        }
        Stop("是日期，不是文本。请在电子表格中把这一列设为文本格式，按原样重新输入后再导入。", nCol);
        return false;
    case Cell::Kind::Number:
        if (IsDateField(nField) && cell.number >= 1 && cell.number < 2958466) // through 9999-12-31
        {
            using namespace std::chrono;
            const sys_days origin{year{m_nOriginYear} / m_nOriginMonth / m_nOriginDay};
            const year_month_day date{origin + days{static_cast<int>(std::floor(cell.number))}};
            strValue = DateText(static_cast<int>(date.year()), static_cast<int>(static_cast<unsigned>(date.month())),
                                static_cast<int>(static_cast<unsigned>(date.day())));
            return true;
        }
        Stop("是数字，不是文本：电子表格程序可能已经改掉了它的数字（例如长学号变成2.006E+13，代码01变成1）。"
             "请在电子表格中把这一列设为文本格式，按原样重新输入后再导入。",
             nCol);
        return false;
    }
    return false;
}

void CSheetRows::RefuseFormula(int nRow, int nCol)
{
    if (m_bFailed)
        return;
    m_bFailed = true;
    m_strError =
        GbkMessage("工作表“" + m_strSheet + "”第" + std::to_string(nRow + 1) + "行第" + std::to_string(nCol + 1) +
                   "列是公式：请在电子表格中把公式换成它的值（复制后“只粘贴值”）再导入。");
}

void CSheetRows::FlushRow()
{
    if (m_nRow < 0 || m_bFailed)
        return;
    const bool bBlank =
        std::all_of(m_cells.begin(), m_cells.end(), [](const Cell& cell) { return cell.kind == Cell::Kind::Empty; });
    if (!bBlank || m_nCols > kKeptColumns)
        CheckRow(m_nCols);
    m_nCols = 0;
    for (Cell& cell : m_cells)
        cell.kind = Cell::Kind::Empty;
}

// The current row as the header, or as a record checked and kept.
void CSheetRows::CheckRow(int nCols)
{
    const int nKept = std::min(nCols, kKeptColumns);
    if (!m_bHeaderRead)
    {
        m_values.resize(static_cast<std::size_t>(nKept));
        for (int c = 0; c < nKept; ++c) // field names are ASCII: the same in UTF-8 and GBK
            m_values[c] = static_cast<std::size_t>(c) < m_cells.size() && m_cells[c].kind == Cell::Kind::Text
                              ? m_cells[c].text
                              : std::string();
        m_bHeaderRead = true;
        m_bFailed = !m_import.SetHeader(m_values, nCols, m_strError);
        return;
    }
    // Trailing empty cells are not stored: a shorter row has empty values at its end.
    const int nValues = std::max(nCols, STUDENT_FIELD_COUNT);
    m_values.resize(STUDENT_FIELD_COUNT);
    for (int c = 0; nValues == STUDENT_FIELD_COUNT && c < STUDENT_FIELD_COUNT; ++c)
    {
        static const Cell kEmpty;
        const Cell& cell = static_cast<std::size_t>(c) < m_cells.size() ? m_cells[c] : kEmpty;
        if (!ValueOf(cell, c, m_values[c]))
            return;
    }
    m_bFailed = !m_import.AddRecord(m_values, nValues, GbkMessage(Place()), false, m_strError);
}

BOOL CSheetRows::Finish(CMemTable& table, std::string& strError)
{
    table.Clear();
    FlushRow();
    if (!m_bFailed && !m_bHeaderRead)
    {
        m_bFailed = true;
        m_strError = GbkMessage("工作表“" + m_strSheet + "”是空的：第一行应是24个字段名。");
    }
    if (m_bFailed)
    {
        strError = m_strError;
        return FALSE;
    }
    return m_import.Finish(table, strError);
}
