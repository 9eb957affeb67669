#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <new>

#include "core/Gbk.h"
#include "core/MemTable.h"
#include "core/MemTableTexts.h"
#include "platform/FatalExit.h"

namespace
{
constexpr int kMaxColumns = 100;
constexpr std::string_view kMarkerLine = "OKAY\r\n";

// The text without its trailing CR and LF bytes and without a leading marker line. A text that is
// nothing but the marker loads like an empty text.
std::string_view TableBody(std::string_view text)
{
    const std::size_t nEnd = text.find_last_not_of("\r\n");
    text = nEnd == std::string_view::npos ? std::string_view() : text.substr(0, nEnd + 1);
    if (text == kMarkerLine.substr(0, 4))
        return {};
    return text.starts_with(kMarkerLine) ? text.substr(kMarkerLine.size()) : text;
}

// Position of the first CR LF pair at or after nPos, or npos.
std::size_t FindLineEnd(const char* pText, std::size_t nPos, std::size_t nSize)
{
    while (nPos < nSize)
    {
        const auto* pCr = static_cast<const char*>(std::memchr(pText + nPos, '\r', nSize - nPos));
        if (pCr == nullptr)
            return std::string_view::npos;
        const std::size_t nCr = pCr - pText;
        if (nCr + 1 < nSize && pText[nCr + 1] == '\n')
            return nCr;
        nPos = nCr + 1;
    }
    return std::string_view::npos;
}
} // namespace

BOOL CMemTable::FailLoad(std::string& strError, const std::string& strText)
{
    Clear();
    strError = strText;
    return FALSE;
}

BOOL CMemTable::_Load(std::string_view text, std::string& strError)
{
    Clear();
    try
    {
        return ParseText(text, strError);
    }
    catch (...)
    {
        Clear();
        strError = MemTableText::kLoadFailed;
        FatalAppExitA(0, MemTableText::kLoadFailed);
    }
}

// The text is copied once into the arena; the cells are cut out of it in place, a NUL written
// over the TAB or CR that ends each of them.
BOOL CMemTable::ParseText(std::string_view text, std::string& strError)
{
    const std::string_view body = TableBody(text);
    if (body.size() > kOwnedCell - 2)
        return FailLoad(strError, MemTableText::kNoMemoryCopy);
    try
    {
        m_strArena.reserve(body.size() + 2);
    }
    catch (const std::bad_alloc&)
    {
        return FailLoad(strError, MemTableText::kNoMemoryCopy);
    }
    m_strArena.append(body);
    m_strArena.append("\r\n");
    try
    {
        m_pColNames.reserve(kMaxColumns);
    }
    catch (const std::bad_alloc&)
    {
        return FailLoad(strError, MemTableText::kNoMemoryNames);
    }

    char* pText = m_strArena.data();
    const std::size_t nSize = m_strArena.size();
    const std::size_t nHeaderEnd = m_strArena.find('\r'); // there is always one: the text ends with CR LF
    std::size_t nNameStart = 0;
    for (std::size_t nPos = 0; nPos < nHeaderEnd; ++nPos)
    {
        if (pText[nPos] != '\t')
            continue;
        m_pColNames.emplace_back(Gbk::Trim(std::string_view(pText + nNameStart, nPos - nNameStart)));
        if (++m_nCols == kMaxColumns)
            return FailLoad(strError, MemTableText::kTooManyColumns);
        nNameStart = nPos + 1;
    }
    m_pColNames.emplace_back(Gbk::Trim(std::string_view(pText + nNameStart, nHeaderEnd - nNameStart)));
    ++m_nCols;

    // The byte after the header's CR is taken to be its LF without looking at it.
    const std::size_t nDataStart = nHeaderEnd + 2;
    const auto nPlannedRows = static_cast<std::size_t>(std::count(pText + nDataStart, pText + nSize, '\r'));
    if (nPlannedRows > static_cast<std::size_t>(INT_MAX))
        return FailLoad(strError, MemTableText::kNoMemoryCells);
    try
    {
        m_pCells.resize(nPlannedRows * m_nCols);
    }
    catch (const std::bad_alloc&)
    {
        return FailLoad(strError, MemTableText::kNoMemoryCells);
    }

    std::size_t nPos = nDataStart;
    Cell* pCell = m_pCells.data();
    for (std::size_t nRow = 0; nRow < nPlannedRows; ++nRow)
    {
        // The first cells end at the next TAB, wherever it is: a short line borrows from the next.
        for (int nCol = 0; nCol + 1 < m_nCols; ++nCol)
        {
            const auto* pTab = static_cast<char*>(std::memchr(pText + nPos, '\t', nSize - nPos));
            if (pTab == nullptr)
            {
                m_nRows = static_cast<int>(nRow);
                m_pCells.resize(nRow * m_nCols);
                m_bLoaded = TRUE;
                return TRUE;
            }
            const std::size_t nTab = pTab - pText;
            *pCell++ = Cell{static_cast<std::uint32_t>(nPos), static_cast<std::uint32_t>(nTab - nPos)};
            pText[nTab] = '\0';
            nPos = nTab + 1;
        }
        const std::size_t nLineEnd = FindLineEnd(pText, nPos, nSize);
        if (nLineEnd == std::string_view::npos)
        {
            char szText[128];
            std::snprintf(szText, sizeof(szText), MemTableText::kRowWithoutLineEnd, static_cast<int>(nRow));
            return FailLoad(strError, szText);
        }
        *pCell++ = Cell{static_cast<std::uint32_t>(nPos), static_cast<std::uint32_t>(nLineEnd - nPos)};
        pText[nLineEnd] = '\0';
        nPos = nLineEnd + 2;
    }
    m_nRows = static_cast<int>(nPlannedRows);
    m_bLoaded = TRUE;
    return TRUE;
}

BOOL CMemTable::Load(std::string_view text, const char* lpcszBegin, const char* lpcszEnd)
{
    if (lpcszBegin != nullptr)
    {
        const std::size_t nBegin = Gbk::Find(text, lpcszBegin);
        if (nBegin == std::string_view::npos)
            return FALSE;
        text.remove_prefix(nBegin + std::strlen(lpcszBegin));
        // Without an end marker everything after the begin marker is loaded.
        const std::size_t nEnd = lpcszEnd != nullptr ? Gbk::Find(text, lpcszEnd) : std::string_view::npos;
        if (nEnd != std::string_view::npos)
            text = text.substr(0, nEnd);
    }
    return _Load(text, m_strLastError);
}

BOOL CMemTable::WriteToString(std::string& strOut, const char* lpcszSep) const
{
    if (m_nCols == 0)
        return TRUE;
    const std::string_view sep = lpcszSep != nullptr ? std::string_view(lpcszSep) : std::string_view("\t");
    const std::size_t nCells = static_cast<std::size_t>(m_nRows) * m_nCols;
    std::size_t nBytes = (static_cast<std::size_t>(m_nRows) + 1) * ((m_nCols - 1) * sep.size() + 2);
    for (const std::string& name : m_pColNames)
        nBytes += name.size();
    for (std::size_t i = 0; i < nCells; ++i)
        nBytes += CellText(m_pCells[i]).size();

    // Sized once, then filled by plain copies: the writer runs at memory speed.
    const std::size_t nStart = strOut.size();
    strOut.resize(nStart + nBytes);
    char* pOut = strOut.data() + nStart;
    const auto put = [&pOut](std::string_view bytes) {
        std::memcpy(pOut, bytes.data(), bytes.size());
        pOut += bytes.size();
    };
    const auto putLine = [&](auto textOf, std::size_t nFirst) {
        for (int nCol = 0; nCol < m_nCols; ++nCol)
        {
            if (nCol > 0)
                put(sep);
            put(textOf(nFirst + nCol));
        }
        *pOut++ = '\r';
        *pOut++ = '\n';
    };
    putLine([this](std::size_t i) { return std::string_view(m_pColNames[i]); }, 0);
    for (std::size_t nFirst = 0; nFirst < nCells; nFirst += m_nCols)
        putLine([this](std::size_t i) { return CellText(m_pCells[i]); }, nFirst);
    return TRUE;
}

CMemTable::Cell CMemTable::StoreInArena(std::string_view bytes)
{
    if (bytes.empty())
        return Cell{};
    if (m_strArena.size() + bytes.size() >= kOwnedCell)
        throw std::bad_alloc();
    const auto nOffset = static_cast<std::uint32_t>(m_strArena.size());
    m_strArena.append(bytes);
    m_strArena.push_back('\0');
    return Cell{nOffset, static_cast<std::uint32_t>(bytes.size())};
}

BOOL CMemTable::AppendTable(const CMemTable& other)
{
    if (other.m_nCols == 0)
        return TRUE;
    if (m_nCols == 0)
    {
        std::string strHeader;
        for (int nCol = 0; nCol < other.m_nCols; ++nCol)
            strHeader.append(nCol > 0 ? "\t" : "").append(other.m_pColNames[nCol]);
        strHeader.append("\r\n");
        std::string strError;
        if (!_Load(strHeader, strError))
            return FALSE;
    }
    if (m_nCols != other.m_nCols || other.m_nRows == 0)
        return m_nCols == other.m_nCols;

    // Read the sizes before growing: the other table may be this one.
    const int nAddedRows = other.m_nRows;
    const std::size_t nCells = static_cast<std::size_t>(nAddedRows) * other.m_nCols;
    const std::size_t nBase = static_cast<std::size_t>(m_nRows) * m_nCols;
    std::size_t nBytes = 0;
    for (std::size_t i = 0; i < nCells; ++i)
        nBytes += other.CellText(other.m_pCells[i]).size() + 1;
    try
    {
        // Reserved in full, so that the source bytes stay put while this arena grows.
        m_strArena.reserve(m_strArena.size() + nBytes);
        AddRows(nAddedRows);
        for (std::size_t i = 0; i < nCells; ++i)
            m_pCells[nBase + i] = StoreInArena(other.CellText(other.m_pCells[i]));
    }
    catch (const std::bad_alloc&)
    {
        FatalAppExitA(0, MemTableText::kNoMemoryAppend);
    }
    return TRUE;
}
