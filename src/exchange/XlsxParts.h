#pragma once

#include <algorithm>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/SheetLimits.h"
#include "exchange/ZipXml.h"

// The parts of an .xlsx package around its sheets: the relationships that name the parts, the
// workbook part that lists the sheets, and the workbook's shared texts.

// A workbook's texts in one buffer, by index: a workbook may hold millions of them.
class CTextPool
{
  public:
    // Returns the new text's index (0 for the first).
    std::size_t Append(std::string_view text);
    // Empty for an index never returned.
    std::string_view At(std::size_t nIndex) const;
    std::size_t Count() const { return m_offsets.size() - 1; }

  private:
    std::string m_pool;
    std::vector<std::size_t> m_offsets{0};
};

// A cell reference in A1 style ("B3", "$AA$10"): the 0-based row and column. False when it is not
// one (column letters, then row digits); the parts read so far are still set.
bool ParseCellReference(std::string_view reference, int& nRow, int& nCol);

// The folder part of a part name, with its slash ("xl/" of "xl/workbook.xml").
std::string FolderOf(const std::string& strPart);

// A relationship's target as a part name: absolute targets start at the package's root, others
// at the folder of the part that names them; "." and ".." steps are resolved (never above the root).
std::string ResolveTarget(const std::string& strFolder, std::string_view target);

// The part that holds the relationships of a part ("xl/_rels/workbook.xml.rels" of "xl/workbook.xml");
// those of the package itself for "".
std::string RelationshipsOf(const std::string& strPart);

// Characters a workbook cannot hold in XML are written as _xHHHH_ (hex code); "_x005F_" keeps a
// literal underscore before such a pattern. Replaces every escape in the UTF-8 text.
void DecodeWorkbookEscapes(std::string& strUtf8);

// The relationships of a part: from its Id to the part it points at, and by the type's last word.
class CRelationships : public CXmlHandler
{
  public:
    explicit CRelationships(std::string strFolder) : m_strFolder(std::move(strFolder)) {}
    bool Start(const CXmlElement& element) override;
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

// The workbook part: its sheets in the workbook's order and the day date serials count from.
class CWorkbookPart : public CXmlHandler
{
  public:
    struct Sheet
    {
        std::string strName, strId; // strId: the relationship naming the sheet's part
    };

    bool Start(const CXmlElement& element) override
    {
        if (element.Name() == "workbookPr")
            m_b1904 = element.Attribute("date1904") == "1" || element.Attribute("date1904") == "true";
        else if (element.Name() == "sheet")
            m_sheets.push_back({std::string(element.Attribute("name")), std::string(element.Attribute("id"))});
        return true;
    }
    bool End(std::string_view) override { return true; }
    bool Text(std::string_view) override { return true; }

    bool m_b1904 = false;
    std::vector<Sheet> m_sheets;
};

// The text of a string item (<si>, <is>): its <t> elements joined, without the phonetic guides
// (<rPh>) some programs add to East Asian text. A text longer than a cell may hold is taken as
// kMaxCellText + 1 bytes, so that the cell showing it is refused without the text costing its size.
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
        if (!m_bInText)
            return;
        m_bTooLong = m_bTooLong || m_strText.size() + text.size() > kMaxCellText;
        m_strText.append(text.substr(0, kMaxCellText - std::min(m_strText.size(), kMaxCellText)));
    }
    // The text gathered since the last call, decoded.
    const std::string& Take();

  private:
    int m_nPhonetic = 0;
    bool m_bInText = false, m_bTooLong = false;
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
