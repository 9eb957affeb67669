#include "exchange/XlsxImport.h"

#include <charconv>
#include <cstdio>
#include <map>

#include "core/MemTable.h"
#include "core/StudentImport.h"
#include "exchange/SheetRows.h"
#include "exchange/ZipXml.h"

namespace
{
const std::string kNotWorkbook = "文件不是有效的Excel工作簿（.xlsx）：";

// The folder part of a part name, with its slash ("xl/" of "xl/workbook.xml").
std::string FolderOf(const std::string& strPart)
{
    return strPart.substr(0, strPart.rfind('/') + 1);
}

// A relationship's target as a part name: absolute targets start at the package's root, others
// at the folder of the part that names them; "." and ".." steps are resolved.
std::string ResolveTarget(const std::string& strFolder, std::string_view target)
{
    std::string strPath = target.starts_with('/') ? std::string(target.substr(1)) : strFolder + std::string(target);
    std::vector<std::string> steps;
    for (std::size_t nStart = 0; nStart <= strPath.size();)
    {
        const std::size_t nEnd = std::min(strPath.find('/', nStart), strPath.size());
        const std::string step = strPath.substr(nStart, nEnd - nStart);
        if (step == ".." && !steps.empty())
            steps.pop_back();
        else if (!step.empty() && step != "." && step != "..")
            steps.push_back(step);
        nStart = nEnd + 1;
    }
    std::string strResult;
    for (const std::string& step : steps)
        strResult += (strResult.empty() ? "" : "/") + step;
    return strResult;
}

// The relationships of a part: from its Id to the part it points at, and by the type's last word.
class CRelationships : public CXmlHandler
{
  public:
    explicit CRelationships(std::string strFolder) : m_strFolder(std::move(strFolder)) {}
    bool Start(const CXmlElement& element) override
    {
        if (element.Name() != "Relationship")
            return true;
        const std::string strTarget = ResolveTarget(m_strFolder, element.Attribute("Target"));
        m_byId[std::string(element.Attribute("Id"))] = strTarget;
        const std::string_view type = element.Attribute("Type");
        m_byType.emplace(std::string(type.substr(type.rfind('/') + 1)), strTarget);
        return true;
    }
    bool End(std::string_view) override { return true; }
    bool Text(std::string_view) override { return true; }

    std::string ById(const std::string& strId) const { return Find(m_byId, strId); }
    std::string ByType(const std::string& strType) const { return Find(m_byType, strType); }

  private:
    static std::string Find(const std::map<std::string, std::string>& map, const std::string& strKey)
    {
        const auto it = map.find(strKey);
        return it == map.end() ? std::string() : it->second;
    }
    std::string m_strFolder;
    std::map<std::string, std::string> m_byId, m_byType;
};

// The workbook part: the first sheet and the day date serials count from.
class CWorkbookPart : public CXmlHandler
{
  public:
    bool Start(const CXmlElement& element) override
    {
        if (element.Name() == "workbookPr")
            m_b1904 = element.Attribute("date1904") == "1" || element.Attribute("date1904") == "true";
        else if (element.Name() == "sheet" && !m_bSheet)
        {
            m_bSheet = true;
            m_strSheetName = element.Attribute("name");
            m_strSheetId = element.Attribute("id");
        }
        return true;
    }
    bool End(std::string_view) override { return true; }
    bool Text(std::string_view) override { return true; }

    bool m_bSheet = false, m_b1904 = false;
    std::string m_strSheetName, m_strSheetId;
};

// The text of a string item (<si>, <is>): its <t> elements joined, without the phonetic guides
// (<rPh>) some programs add to East Asian text.
class CStringItem
{
  public:
    void Start(std::string_view name)
    {
        m_nPhonetic += name == "rPh";
        m_bInText = name == "t" && m_nPhonetic == 0;
    }
    void End(std::string_view name)
    {
        m_nPhonetic -= name == "rPh" && m_nPhonetic > 0;
        m_bInText = false;
    }
    void Text(std::string_view text)
    {
        if (m_bInText)
            m_strText.append(text);
    }
    // The text gathered since the last call, decoded.
    const std::string& Take()
    {
        DecodeWorkbookEscapes(m_strText);
        m_strTaken.swap(m_strText);
        m_strText.clear();
        return m_strTaken;
    }

  private:
    int m_nPhonetic = 0;
    bool m_bInText = false;
    std::string m_strText, m_strTaken;
};

class CSharedStringsPart : public CXmlHandler
{
  public:
    explicit CSharedStringsPart(CTextPool& pool) : m_pool(pool) {}
    bool Start(const CXmlElement& element) override
    {
        m_item.Start(element.Name());
        return true;
    }
    bool End(std::string_view name) override
    {
        m_item.End(name);
        if (name == "si")
            m_pool.Append(m_item.Take());
        return true;
    }
    bool Text(std::string_view text) override
    {
        m_item.Text(text);
        return true;
    }

  private:
    CTextPool& m_pool;
    CStringItem m_item;
};

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

BOOL Fail(std::string& strError, const std::string& strUtf8)
{
    strError = GbkMessage(strUtf8);
    return FALSE;
}

void AppendUtf8(std::string& strOut, unsigned nCode)
{
    if (nCode < 0x80)
        strOut += static_cast<char>(nCode);
    else if (nCode < 0x800)
        strOut += {static_cast<char>(0xC0 | (nCode >> 6)), static_cast<char>(0x80 | (nCode & 0x3F))};
    else
        strOut += {static_cast<char>(0xE0 | (nCode >> 12)), static_cast<char>(0x80 | ((nCode >> 6) & 0x3F)),
                   static_cast<char>(0x80 | (nCode & 0x3F))};
}
} // namespace

void DecodeWorkbookEscapes(std::string& strUtf8)
{
    constexpr std::size_t kLength = 7; // _xHHHH_
    std::size_t nAt = strUtf8.find("_x");
    if (nAt == std::string::npos)
        return;
    std::string strOut = strUtf8.substr(0, nAt);
    while (nAt < strUtf8.size())
    {
        unsigned nCode = 0;
        const char* pHex = strUtf8.data() + nAt + 2;
        const bool bEscape = strUtf8.compare(nAt, 2, "_x") == 0 && nAt + kLength <= strUtf8.size() &&
                             strUtf8[nAt + kLength - 1] == '_' &&
                             std::from_chars(pHex, pHex + 4, nCode, 16).ptr == pHex + 4 &&
                             (nCode < 0xD800 || nCode > 0xDFFF); // half a surrogate pair is no character
        if (bEscape)
        {
            AppendUtf8(strOut, nCode);
            nAt += kLength;
        }
        else
            strOut += strUtf8[nAt++];
    }
    strUtf8.swap(strOut);
}

BOOL ReadXlsxWorkbook(std::string_view bytes, CMemTable& table, std::string& strError)
{
    table.Clear();
    const CZipPackage package(bytes);
    if (!package.IsOpen())
        return Fail(strError, kNotWorkbook + "它不是zip压缩包，可能已损坏或已加密。");
    std::string strProblem;
    CRelationships root("");
    package.ParsePart("_rels/.rels", root, strProblem);
    std::string strWorkbook = root.ByType("officeDocument");
    if (strWorkbook.empty())
        strWorkbook = "xl/workbook.xml";
    CWorkbookPart workbook;
    CRelationships parts(FolderOf(strWorkbook));
    const std::string strPartRels =
        FolderOf(strWorkbook) + "_rels/" + strWorkbook.substr(FolderOf(strWorkbook).size()) + ".rels";
    if (!package.ParsePart(strWorkbook, workbook, strProblem) || !package.ParsePart(strPartRels, parts, strProblem))
        return Fail(strError, kNotWorkbook + strProblem);
    if (!workbook.m_bSheet)
        return Fail(strError, "工作簿中没有工作表。");
    CTextPool strings;
    CSharedStringsPart shared(strings);
    const std::string strShared = parts.ByType("sharedStrings");
    if (!strShared.empty() && package.HasPart(strShared) && !package.ParsePart(strShared, shared, strProblem))
        return Fail(strError, kNotWorkbook + strProblem);
    CSheetRows rows(workbook.m_strSheetName);
    if (workbook.m_b1904)
        rows.SetOrigin(1904, 1, 1);
    CSheetPart sheet(rows, strings);
    if (!package.ParsePart(parts.ById(workbook.m_strSheetId), sheet, strProblem) && !strProblem.empty())
        return Fail(strError, kNotWorkbook + strProblem);
    if (!sheet.Problem().empty())
        return Fail(strError, kNotWorkbook + "工作表“" + workbook.m_strSheetName + "”的" + sheet.Problem() + "。");
    return rows.Finish(table, strError);
}
