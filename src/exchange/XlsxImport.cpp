#include "exchange/XlsxImport.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "core/MemTable.h"
#include "core/StudentImport.h"
#include "exchange/SheetRows.h"
#include "exchange/XlsxParts.h"
#include "exchange/ZipXml.h"

namespace
{
const std::string kNotWorkbook = "文件不是有效的Excel工作簿（.xlsx）：";

// The sheet's cells, handed to the rows as each cell ends. Rows and cells without a reference
// follow the one before them.
class CSheetPart : public CXmlHandler
{
  public:
    CSheetPart(CSheetRows& rows, const CTextPool& strings) : m_rows(rows), m_strings(strings) {}
    bool Start(const CXmlElement& element) override;
    bool End(std::string_view name) override;
    bool Text(std::string_view text) override;
    const std::string& Problem() const { return m_strProblem; }

  private:
    bool StartCell(const CXmlElement& element);
    bool EndCell();
    bool Refuse(const std::string& strProblem)
    {
        m_strProblem = strProblem;
        return false;
    }

    CSheetRows& m_rows;
    const CTextPool& m_strings;
    int m_nRow = -1, m_nNextCol = 0;
    bool m_bInCell = false, m_bInValue = false, m_bFormula = false;
    int m_nCellRow = 0, m_nCellCol = 0;
    std::string m_strType, m_strValue, m_strReference, m_strProblem;
    CStringItem m_inline;
};

bool CSheetPart::Start(const CXmlElement& element)
{
    const std::string_view name = element.Name();
    if (name == "row")
    {
        int nRow = 0;
        const std::string_view r = element.Attribute("r");
        const bool bNumbered = std::from_chars(r.data(), r.data() + r.size(), nRow).ec == std::errc() && nRow > 0;
        m_nRow = bNumbered ? nRow - 1 : m_nRow + 1;
        m_nNextCol = 0;
    }
    else if (name == "c")
        return StartCell(element);
    else if (m_bInCell)
    {
        m_bInValue = name == "v";
        m_bFormula = m_bFormula || name == "f";
        m_inline.Start(name);
    }
    return true;
}

bool CSheetPart::StartCell(const CXmlElement& element)
{
    m_bInCell = true;
    m_bFormula = false;
    m_strValue.clear();
    m_strType = element.Attribute("t");
    m_strReference = element.Attribute("r");
    m_nCellRow = m_nRow;
    m_nCellCol = m_nNextCol;
    if (!m_strReference.empty() && !ParseCellReference(m_strReference, m_nCellRow, m_nCellCol))
        return Refuse("单元格引用“" + m_strReference + "”无效");
    if (m_nCellRow < m_nRow)
        return Refuse("单元格" + m_strReference + "不在它所在的行中");
    m_nNextCol = m_nCellCol + 1;
    return true;
}

bool CSheetPart::End(std::string_view name)
{
    if (name == "c")
        return EndCell();
    m_bInValue = false;
    m_inline.End(name);
    return true;
}

bool CSheetPart::Text(std::string_view text)
{
    if (m_bInValue)
        m_strValue.append(text);
    else if (m_bInCell)
        m_inline.Text(text);
    return true;
}

bool CSheetPart::EndCell()
{
    m_bInCell = false;
    const int r = m_nCellRow, c = m_nCellCol;
    const std::string& strInline = m_inline.Take();
    if (m_bFormula)
        m_rows.RefuseFormula(r, c);
    else if (m_strType == "inlineStr")
        m_rows.SetText(r, c, strInline);
    else if (m_strType == "s")
    {
        std::size_t nIndex = 0;
        const auto [p, ec] = std::from_chars(m_strValue.data(), m_strValue.data() + m_strValue.size(), nIndex);
        if (ec != std::errc() || p != m_strValue.data() + m_strValue.size() || nIndex >= m_strings.Count())
            return Refuse("单元格" + m_strReference + "指向不存在的文本");
        m_rows.SetText(r, c, m_strings.At(nIndex));
    }
    else if (m_strType == "str" || m_strType == "e") // a formula's text, an error value such as #N/A
        m_rows.SetText(r, c, m_strValue);
    else if (m_strType == "d") // an ISO 8601 date
    {
        int nYear = 0, nMonth = 0, nDay = 0;
        if (std::sscanf(m_strValue.c_str(), "%d-%d-%d", &nYear, &nMonth, &nDay) != 3)
            return Refuse("单元格" + m_strReference + "的日期“" + m_strValue + "”无效");
        m_rows.SetDate(r, c, nYear, nMonth, nDay);
    }
    else if (!m_strValue.empty()) // a number ("n", the default) or a truth value ("b": 0 or 1)
    {
        double value = 0;
        const auto [p, ec] = std::from_chars(m_strValue.data(), m_strValue.data() + m_strValue.size(), value);
        if (ec != std::errc() || p != m_strValue.data() + m_strValue.size())
            return Refuse("单元格" + m_strReference + "的数值“" + m_strValue + "”无效");
        m_rows.SetNumber(r, c, value);
    }
    return !m_rows.Failed();
}

} // namespace

BOOL ReadXlsxWorkbook(std::string_view bytes, CMemTable& table, std::string& strError, const ExchangeProgress& progress)
{
    table.Clear();
    const CZipPackage package(bytes);
    if (!package.IsOpen())
        return FailWithMessage(strError, GbkMessage(kNotWorkbook + "它不是zip压缩包，可能已损坏或已加密。"));
    std::string strProblem;
    CRelationships root("");
    package.ParsePart(RelationshipsOf(""), root, strProblem); // optional: the workbook has a usual name
    std::string strWorkbook = root.ByType("officeDocument");
    if (strWorkbook.empty())
        strWorkbook = "xl/workbook.xml";
    CWorkbookPart workbook;
    CRelationships parts(FolderOf(strWorkbook));
    if (!package.ParsePart(strWorkbook, workbook, strProblem) ||
        !package.ParsePart(RelationshipsOf(strWorkbook), parts, strProblem))
        return FailWithMessage(strError, GbkMessage(kNotWorkbook + strProblem));
    if (!workbook.m_bSheet)
        return FailWithMessage(strError, GbkMessage("工作簿中没有工作表。"));
    // The progress counts the unpacked bytes of the shared texts and the sheet, read in this order.
    const std::string strShared = parts.ByType("sharedStrings"), strSheet = parts.ById(workbook.m_strSheetId);
    const std::uint64_t nSharedSize = strShared.empty() ? 0 : package.PartSize(strShared); // 0: none to read
    const double fTotal = std::max<double>(1, static_cast<double>(nSharedSize + package.PartSize(strSheet)));
    CProgressTeller teller(progress);
    const auto readFrom = [&](std::uint64_t nBefore) {
        return [&, nBefore](std::uint64_t nRead) { teller.Tell(std::min(1.0, (nBefore + nRead) / fTotal)); };
    };
    CTextPool strings;
    CSharedStringsPart shared(strings);
    if (nSharedSize > 0 && !package.ParsePart(strShared, shared, strProblem, readFrom(0)))
        return FailWithMessage(strError, GbkMessage(kNotWorkbook + strProblem));
    CSheetRows rows(workbook.m_strSheetName);
    if (workbook.m_b1904)
        rows.SetOrigin(1904, 1, 1);
    CSheetPart sheet(rows, strings);
    if (!package.ParsePart(strSheet, sheet, strProblem, readFrom(nSharedSize)) && !strProblem.empty())
        return FailWithMessage(strError, GbkMessage(kNotWorkbook + strProblem));
    if (!sheet.Problem().empty())
        return FailWithMessage(
            strError, GbkMessage(kNotWorkbook + "工作表“" + workbook.m_strSheetName + "”的" + sheet.Problem() + "。"));
    teller.Tell(1);
    return rows.Finish(table, strError);
}
