#include "exchange/XlsxParts.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <vector>

namespace
{
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

std::string FolderOf(const std::string& strPart)
{
    return strPart.substr(0, strPart.rfind('/') + 1);
}

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

std::string RelationshipsOf(const std::string& strPart)
{
    const std::string strFolder = FolderOf(strPart);
    return strFolder + "_rels/" + strPart.substr(strFolder.size()) + ".rels";
}

bool CRelationships::Start(const CXmlElement& element)
{
    if (element.Name() != "Relationship")
        return true;
    const std::string strTarget = ResolveTarget(m_strFolder, element.Attribute("Target"));
    m_byId[std::string(element.Attribute("Id"))] = strTarget;
    const std::string_view type = element.Attribute("Type");
    m_byType.emplace(std::string(type.substr(type.rfind('/') + 1)), strTarget);
    return true;
}

const std::string& CStringItem::Take()
{
    DecodeWorkbookEscapes(m_strText);
    if (m_bTooLong)
        m_strText.resize(kMaxCellText + 1);
    m_bTooLong = false;
    m_strTaken.swap(m_strText);
    m_strText.clear();
    return m_strTaken;
}

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
