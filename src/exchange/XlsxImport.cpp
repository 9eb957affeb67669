#include "exchange/XlsxImport.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "core/StudentImport.h"
#include "exchange/FileText.h"
#include "exchange/SheetLimits.h"
#include "exchange/SheetSink.h"
#include "exchange/XlsxParts.h"
#include "exchange/ZipXml.h"

namespace
{
const std::string kNotWorkbook = "文件不是有效的Excel工作簿（.xlsx）：";

// One sheet's cells, handed to the sink as each cell ends, and its merged ranges. Rows and cells
// without a reference follow the one before them.
class CSheetPart : public CXmlHandler
{
  public:
    CSheetPart(ISheetSink& sink, const CTextPool& strings, const std::string& strSheet)
        : m_sink(sink), m_strings(strings), m_strSheet(strSheet)
    {
    }
    bool Start(const CXmlElement& element) override;
    bool End(std::string_view name) override;
    bool Text(std::string_view text) override;
    // What is wrong with the sheet (GBK, a whole sentence); empty when nothing is.
    const std::string& Problem() const { return m_strProblem; }

  private:
    bool StartRow(const CXmlElement& element);
    bool StartCell(const CXmlElement& element);
    bool Merge(std::string_view range);
    bool EndCell();
    bool SetText(std::string_view text);
    bool Refuse(const std::string& strProblem)
    {
        m_strProblem = kNotWorkbook + "工作表“" + GbkOfFileText(m_strSheet) + "”的" + strProblem + "。";
        return false;
    }

    ISheetSink& m_sink;
    const CTextPool& m_strings;
    const std::string& m_strSheet;
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
        return StartRow(element);
    if (name == "c")
        return StartCell(element);
    if (name == "mergeCell")
        return Merge(element.Attribute("ref"));
    if (m_bInCell)
    {
        m_bInValue = name == "v";
        m_bFormula = m_bFormula || name == "f";
        m_inline.Start(name);
    }
    return true;
}

bool CSheetPart::StartRow(const CXmlElement& element)
{
    int nRow = 0;
    const std::string_view r = element.Attribute("r");
    const bool bNumbered = std::from_chars(r.data(), r.data() + r.size(), nRow).ec == std::errc() && nRow > 0;
    m_nRow = bNumbered ? nRow - 1 : m_nRow + 1;
    m_nNextCol = 0;
    if (m_nRow >= kMaxRows)
        return Refuse("第" + (r.empty() ? std::to_string(m_nRow + 1) : GbkOfFileText(r)) + "行超出了工作表");
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
        return Refuse("单元格引用“" + GbkOfFileText(m_strReference) + "”无效");
    if (m_nCellRow < m_nRow || m_nCellRow < 0)
        return Refuse("单元格" + GbkOfFileText(m_strReference) + "不在它所在的行中");
    if (m_nCellCol >= kMaxColumns)
        return Refuse("单元格" + CellName(m_nCellRow, m_nCellCol) + "超出了工作表");
    if (m_strReference.empty())
        m_strReference = CellName(m_nCellRow, m_nCellCol);
    m_nNextCol = m_nCellCol + 1;
    return true;
}

bool CSheetPart::Merge(std::string_view range)
{
    const std::size_t nColon = range.find(':');
    int nFirstRow = 0, nFirstCol = 0, nLastRow = 0, nLastCol = 0;
    if (nColon == std::string_view::npos || !ParseCellReference(range.substr(0, nColon), nFirstRow, nFirstCol) ||
        !ParseCellReference(range.substr(nColon + 1), nLastRow, nLastCol) || nLastRow < nFirstRow ||
        nLastCol < nFirstCol || nLastRow >= kMaxRows || nLastCol >= kMaxColumns)
        return Refuse("合并区域“" + GbkOfFileText(range) + "”无效");
    m_sink.MergeRange(nFirstRow, nFirstCol, nLastRow, nLastCol);
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
    {
        if (m_strValue.size() + text.size() > kMaxCellText)
        {
            m_strProblem = CellTooLongProblem(m_strSheet, m_nCellRow, m_nCellCol);
            return false;
        }
        m_strValue.append(text);
    }
    else if (m_bInCell)
        m_inline.Text(text);
    return true;
}

bool CSheetPart::SetText(std::string_view text)
{
    if (text.size() > kMaxCellText)
    {
        m_strProblem = CellTooLongProblem(m_strSheet, m_nCellRow, m_nCellCol);
        return false;
    }
    m_sink.SetText(m_nCellRow, m_nCellCol, text);
    return true;
}

bool CSheetPart::EndCell()
{
    m_bInCell = false;
    const int r = m_nCellRow, c = m_nCellCol;
    const std::string& strInline = m_inline.Take();
    if (m_bFormula)
        m_sink.SetFormula(r, c);
    else if (m_strType == "inlineStr")
        return SetText(strInline) && !m_sink.Stopped();
    else if (m_strType == "s")
    {
        std::size_t nIndex = 0;
        const auto [p, ec] = std::from_chars(m_strValue.data(), m_strValue.data() + m_strValue.size(), nIndex);
        if (ec != std::errc() || p != m_strValue.data() + m_strValue.size() || nIndex >= m_strings.Count())
            return Refuse("单元格" + GbkOfFileText(m_strReference) + "指向不存在的文本");
        return SetText(m_strings.At(nIndex)) && !m_sink.Stopped();
    }
    else if (m_strType == "str" || m_strType == "e") // a formula's text, an error value such as #N/A
        m_sink.SetText(r, c, m_strValue);
    else if (m_strType == "d") // an ISO 8601 date
    {
        int nYear = 0, nMonth = 0, nDay = 0;
        if (std::sscanf(m_strValue.c_str(), "%d-%d-%d", &nYear, &nMonth, &nDay) != 3)
            return Refuse("单元格" + GbkOfFileText(m_strReference) + "的日期“" + GbkOfFileText(m_strValue) + "”无效");
        m_sink.SetDate(r, c, nYear, nMonth, nDay);
    }
    else if (!m_strValue.empty()) // a number ("n", the default) or a truth value ("b": 0 or 1)
    {
        double value = 0;
        const auto [p, ec] = std::from_chars(m_strValue.data(), m_strValue.data() + m_strValue.size(), value);
        if (ec != std::errc() || p != m_strValue.data() + m_strValue.size())
            return Refuse("单元格" + GbkOfFileText(m_strReference) + "的数值“" + GbkOfFileText(m_strValue) + "”无效");
        m_sink.SetNumber(r, c, value);
    }
    return !m_sink.Stopped();
}

// The message for a part that could not be read: too large is no damage.
std::string PartMessage(PartFault fault, const std::string& strProblem)
{
    return fault == PartFault::TooLarge ? strProblem : kNotWorkbook + strProblem;
}

// The package's structure: where the workbook part is, its sheets and the parts they name.
struct CPackageIndex
{
    CWorkbookPart workbook;
    std::string strShared;           // the part of the shared texts; empty for none
    std::vector<std::string> sheets; // the part of each sheet of the workbook
};

BOOL ReadIndex(const CZipPackage& package, CPackageIndex& index, std::string& strError)
{
    std::string strProblem;
    CRelationships root("");
    package.ParsePart(RelationshipsOf(""), root, strProblem); // optional: the workbook has a usual name
    std::string strWorkbook = root.ByType("officeDocument");
    if (strWorkbook.empty())
        strWorkbook = "xl/workbook.xml";
    CRelationships parts(FolderOf(strWorkbook));
    PartFault fault = package.ParsePart(strWorkbook, index.workbook, strProblem);
    if (fault == PartFault::None)
        fault = package.ParsePart(RelationshipsOf(strWorkbook), parts, strProblem);
    if (fault != PartFault::None)
        return FailWithMessage(strError, PartMessage(fault, strProblem));
    if (index.workbook.m_sheets.empty())
        return FailWithMessage(strError, "工作簿中没有工作表。");
    index.strShared = parts.ByType("sharedStrings");
    for (const CWorkbookPart::Sheet& sheet : index.workbook.m_sheets)
        index.sheets.push_back(parts.ById(sheet.strId));
    return TRUE;
}
} // namespace

BOOL ReadXlsxSheets(std::string_view bytes, ISheetSink& sink, std::string& strError, const ExchangeProgress& progress)
{
    const CZipPackage package(bytes);
    if (!package.IsOpen())
        return FailWithMessage(strError, kNotWorkbook + "它不是zip压缩包，可能已损坏或已加密。");
    CPackageIndex index;
    if (!ReadIndex(package, index, strError))
        return FALSE;
    // The progress counts the unpacked bytes of the shared texts and the sheets, read in this order.
    std::uint64_t nTotal = index.strShared.empty() ? 0 : package.PartSize(index.strShared);
    for (const std::string& strSheet : index.sheets)
        nTotal += package.PartSize(strSheet);
    const double fTotal = std::max<double>(1, static_cast<double>(nTotal));
    std::uint64_t nBefore = 0;
    CProgressTeller teller(progress);
    const auto onRead = [&](std::uint64_t nRead) { teller.Tell(std::min(1.0, (nBefore + nRead) / fTotal)); };
    std::string strProblem;
    CTextPool strings;
    CSharedStringsPart shared(strings);
    if (!index.strShared.empty() && package.HasPart(index.strShared))
    {
        const PartFault fault = package.ParsePart(index.strShared, shared, strProblem, onRead);
        if (fault != PartFault::None)
            return FailWithMessage(strError, PartMessage(fault, strProblem));
        nBefore += package.PartSize(index.strShared);
    }
    if (index.workbook.m_b1904)
        sink.SetDateOrigin(1904, 1, 1);
    for (std::size_t i = 0; i < index.sheets.size() && !sink.Stopped(); ++i)
    {
        const std::string& strName = index.workbook.m_sheets[i].strName;
        if (sink.BeginSheet(strName))
        {
            CSheetPart sheet(sink, strings, strName);
            const PartFault fault = package.ParsePart(index.sheets[i], sheet, strProblem, onRead);
            if (!sheet.Problem().empty())
                return FailWithMessage(strError, sheet.Problem());
            if (fault != PartFault::None && fault != PartFault::Stopped)
                return FailWithMessage(strError, PartMessage(fault, strProblem));
            sink.EndSheet();
        }
        nBefore += package.PartSize(index.sheets[i]);
    }
    teller.Tell(1);
    return TRUE;
}
