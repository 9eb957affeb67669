#include "exchange/SheetTableSink.h"

#include <algorithm>

#include "core/ColumnMapping.h"
#include "core/StudentImport.h"
#include "exchange/FileText.h"

namespace
{
constexpr std::size_t kTitlesShown = 6; // of a first row, in the message naming the sheets

void CopyCell(const CImportTable::Cell& cell, int nCol, CImportTable& to)
{
    switch (cell.kind)
    {
    case CImportTable::Kind::Empty:
        break;
    case CImportTable::Kind::Text:
        to.SetText(nCol, cell.text);
        break;
    case CImportTable::Kind::Number:
        to.SetNumber(nCol, cell.number);
        break;
    case CImportTable::Kind::Date:
        to.SetDate(nCol, cell.nYear, cell.nMonth, cell.nDay);
        break;
    default:
        to.SetKind(nCol, cell.kind);
        break;
    }
}

std::vector<std::string_view> RowTexts(const CImportTable& table, int nRow)
{
    std::vector<std::string_view> texts;
    for (int c = 0; c < table.ColCount(); ++c)
    {
        const CImportTable::Cell cell = table.At(nRow, c);
        texts.push_back(cell.kind == CImportTable::Kind::Text ? cell.text : std::string_view());
    }
    return texts;
}

// How many fields the row's texts name by their usual titles.
int FieldsNamed(const CImportTable& head, int nRow)
{
    int nNamed = 0;
    for (std::string_view text : RowTexts(head, nRow))
        nNamed += !text.empty() && FieldOfUsualTitle(text) >= 0;
    return nNamed;
}

// The row of the sheet's first rows with the most texts: the likeliest header; -1 for none.
int LikeliestHeader(const CImportTable& head)
{
    int nBest = -1;
    std::size_t nMost = 0;
    for (int r = 0; r < head.RowCount(); ++r)
    {
        const std::vector<std::string_view> texts = RowTexts(head, r);
        const auto nTexts = static_cast<std::size_t>(
            std::count_if(texts.begin(), texts.end(), [](std::string_view text) { return !text.empty(); }));
        if (nTexts > nMost)
            nBest = r, nMost = nTexts;
    }
    return nBest;
}
} // namespace

void CSheetTableSink::SetDateOrigin(int nYear, int nMonth, int nDay)
{
    m_nOrigin[0] = nYear, m_nOrigin[1] = nMonth, m_nOrigin[2] = nDay;
    m_table.SetDateOrigin(nYear, nMonth, nDay);
    m_head.SetDateOrigin(nYear, nMonth, nDay);
}

bool CSheetTableSink::BeginSheet(const std::string& strName)
{
    if (m_bFound)
        return false;
    m_strSheet = GbkOfFileText(strName);
    m_head.Clear();
    m_head.SetSheet(m_strSheet);
    m_head.SetDateOrigin(m_nOrigin[0], m_nOrigin[1], m_nOrigin[2]);
    m_merges.clear();
    m_target = Target::Head;
    m_bInSheet = true;
    m_nRow = -1;
    return true;
}

// Copies the head's rows from nFromRow on into the table, which keeps this sheet from now on.
void CSheetTableSink::KeepHead(int nFromRow)
{
    m_table.Clear();
    m_table.SetSheet(m_strSheet);
    m_table.SetDateOrigin(m_nOrigin[0], m_nOrigin[1], m_nOrigin[2]);
    for (const Merge& merge : m_merges)
        m_table.AddMerge(merge.nFirstRow, merge.nFirstCol, merge.nLastRow, merge.nLastCol);
    for (int r = nFromRow; r < m_head.RowCount(); ++r)
    {
        m_table.BeginRow(m_head.FileRow(r));
        for (int c = 0; c < m_head.ColCount(); ++c)
            CopyCell(m_head.At(r, c), c, m_table);
    }
    m_target = Target::Table;
}

// No row within the sheet's first rows names every field: the sheet is kept for the column step
// when its likeliest header names more fields by their usual titles than the sheet kept so far (an
// instruction sheet before the list names none), or when it is the first sheet with content.
void CSheetTableSink::KeepLikeliest()
{
    const int nBest = LikeliestHeader(m_head);
    const int nNamed = nBest < 0 ? -1 : FieldsNamed(m_head, nBest);
    if (nBest >= 0 && !m_bFound && (!m_bFallback || nNamed > m_nFallbackNamed))
    {
        KeepHead(nBest);
        m_bFallback = true;
        m_nFallbackNamed = nNamed;
    }
    else
        m_target = Target::None;
}

// The row read last is done: within the first rows, it may be the header.
void CSheetTableSink::CloseRow()
{
    if (m_target != Target::Head || m_head.RowCount() == 0)
        return;
    const int nLast = m_head.RowCount() - 1;
    if (!NamesEveryField(RowTexts(m_head, nLast)))
        return;
    KeepHead(nLast);
    m_bFound = true;
    m_bFallback = false;
}

CImportTable* CSheetTableSink::RowFor(int nRow)
{
    if (nRow < 0)
        return nullptr;
    if (nRow != m_nRow)
    {
        CloseRow();
        m_nRow = nRow;
        if (m_target == Target::Head && nRow >= kHeaderRows)
            KeepLikeliest();
        if (m_target == Target::None)
            return nullptr;
        (m_target == Target::Head ? m_head : m_table).BeginRow(nRow + 1);
    }
    return m_target == Target::Head ? &m_head : m_target == Target::Table ? &m_table : nullptr;
}

void CSheetTableSink::SetText(int nRow, int nCol, std::string_view utf8)
{
    if (utf8.empty())
        return; // an empty text is no value
    if (CImportTable* pTable = RowFor(nRow))
    {
        if (m_toGbk.Convert(utf8, m_strGbk))
            pTable->SetText(nCol, m_strGbk);
        else
            pTable->SetKind(nCol, CImportTable::Kind::BadText);
    }
}

void CSheetTableSink::SetNumber(int nRow, int nCol, double value)
{
    if (CImportTable* pTable = RowFor(nRow))
        pTable->SetNumber(nCol, value);
}

void CSheetTableSink::SetDate(int nRow, int nCol, int nYear, int nMonth, int nDay)
{
    if (CImportTable* pTable = RowFor(nRow))
        pTable->SetDate(nCol, nYear, nMonth, nDay);
}

void CSheetTableSink::SetFormula(int nRow, int nCol)
{
    if (CImportTable* pTable = RowFor(nRow))
        pTable->SetKind(nCol, CImportTable::Kind::Formula);
}

void CSheetTableSink::MergeRange(int nFirstRow, int nFirstCol, int nLastRow, int nLastCol)
{
    const Merge merge{nFirstRow + 1, nFirstCol, nLastRow + 1, nLastCol};
    m_merges.push_back(merge);
    m_head.AddMerge(merge.nFirstRow, merge.nFirstCol, merge.nLastRow, merge.nLastCol);
    if (m_target == Target::Table)
        m_table.AddMerge(merge.nFirstRow, merge.nFirstCol, merge.nLastRow, merge.nLastCol);
}

// "工作表“名单”第1行是“学生名单”" (GBK): the sheet's name and its first row's texts.
std::string CSheetTableSink::FirstRowText() const
{
    const std::string strSheet = "工作表“" + m_strSheet + "”";
    if (m_head.RowCount() == 0)
        return strSheet + "是空的";
    std::string strTexts;
    std::size_t nShown = 0;
    for (std::string_view text : RowTexts(m_head, 0))
    {
        if (text.empty())
            continue;
        if (nShown++ == kTitlesShown)
        {
            strTexts += "……";
            break;
        }
        strTexts += (strTexts.empty() ? "“" : "、“") + std::string(text) + "”";
    }
    return strSheet + "第" + std::to_string(m_head.FileRow(0)) + "行是" + (strTexts.empty() ? "数字或日期" : strTexts);
}

void CSheetTableSink::EndSheet()
{
    CloseRow();
    if (m_target == Target::Head)
        KeepLikeliest();
    if (!m_bFound)
        m_looked.push_back(FirstRowText());
    m_target = Target::None;
    m_bInSheet = false;
}

BOOL CSheetTableSink::Finish(std::string& strError)
{
    if (m_bFound)
        return TRUE;
    std::string strLooked;
    for (const std::string& strSheet : m_looked)
        strLooked += (strLooked.empty() ? std::string() : "；") + strSheet;
    const std::string strNote = "没有一个工作表在前" + std::to_string(kHeaderRows) +
                                "行中有一行写着24个字段名（如XSBSH）或列表的中文列名。看过的" + strLooked + "。";
    if (m_table.RowCount() == 0)
        return FailWithMessage(strError, "工作簿中没有可以导入的内容。" + strNote);
    m_table.SetNote(strNote);
    return TRUE;
}
