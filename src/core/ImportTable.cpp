#include "core/ImportTable.h"

#include <algorithm>
#include <limits>

#include "core/Gbk.h"
#include "platform/LargePages.h"

namespace
{
constexpr std::size_t kMaxPool = std::numeric_limits<std::uint32_t>::max();
constexpr std::size_t kMaxLength = (1u << 29) - 1;
constexpr std::size_t kNoOffset = std::numeric_limits<std::size_t>::max();
} // namespace

void CImportTable::SetDateOrigin(int nYear, int nMonth, int nDay)
{
    m_nOriginYear = nYear, m_nOriginMonth = nMonth, m_nOriginDay = nDay;
}

void CImportTable::DateOrigin(int& nYear, int& nMonth, int& nDay) const
{
    nYear = m_nOriginYear, nMonth = m_nOriginMonth, nDay = m_nOriginDay;
}

void CImportTable::BeginRow(int nFileRow)
{
    m_rowStart.push_back(static_cast<std::uint32_t>(m_entries.size()));
    m_fileRows.push_back(nFileRow);
}

void CImportTable::Reserve(std::size_t nRows, std::size_t nCells, std::size_t nTextBytes)
{
    m_rowStart.reserve(nRows);
    m_fileRows.reserve(nRows);
    m_entries.reserve(nCells);
    AdviseLargePages(m_entries.data(), m_entries.capacity() * sizeof(Entry));
    if (nTextBytes == 0)
        return;
    m_pool.reserve(std::min(nTextBytes, kMaxPool));
    AdviseLargePages(m_pool.data(), m_pool.capacity());
}

CImportTable::Entry& CImportTable::EntryAt(int nCol)
{
    const std::size_t nWanted = m_rowStart.back() + static_cast<std::size_t>(nCol) + 1;
    m_nCols = std::max(m_nCols, nCol + 1);
    if (m_entries.size() + 1 == nWanted) // the usual case: the cell after the last
        return m_entries.emplace_back();
    if (m_entries.size() < nWanted)
        m_entries.resize(nWanted);
    return m_entries[nWanted - 1];
}

void CImportTable::SetText(int nCol, std::string_view gbk)
{
    if (m_rowStart.empty() || nCol < 0)
        return;
    if (m_pool.size() + gbk.size() > kMaxPool || gbk.size() > kMaxLength)
        return SetKind(nCol, Kind::BadText); // beyond any real file: refused, never cut
    Entry& entry = EntryAt(nCol);
    entry.nKind = static_cast<std::uint32_t>(gbk.empty() ? Kind::Empty : Kind::Text);
    entry.nValue = static_cast<std::uint32_t>(m_pool.size());
    entry.nLength = static_cast<std::uint32_t>(gbk.size());
    m_pool.append(gbk);
}

void CImportTable::SetTextAt(int nCol, std::size_t nOffset, std::size_t nLength)
{
    if (m_rowStart.empty() || nCol < 0)
        return;
    if (nOffset + nLength > kMaxPool || nLength > kMaxLength)
        return SetKind(nCol, Kind::BadText); // beyond any real file: refused, never cut
    Entry& entry = EntryAt(nCol);
    entry.nKind = static_cast<std::uint32_t>(nLength == 0 ? Kind::Empty : Kind::Text);
    entry.nValue = static_cast<std::uint32_t>(nOffset);
    entry.nLength = static_cast<std::uint32_t>(nLength);
}

void CImportTable::AdoptText(std::string&& bytes)
{
    m_pool = std::move(bytes);
    // On the heap whatever its size, so that handing it over moves no byte (LendText).
    m_pool.reserve(std::max<std::size_t>(m_pool.size(), 64));
    m_bAdopted = true;
}

std::string CImportTable::LendText()
{
    if (!m_bAdopted || m_bLent)
        return {};
    std::string bytes = std::move(m_pool);
    m_lent = bytes; // a moved string keeps its bytes where they were
    m_bLent = true;
    return bytes;
}

void CImportTable::TakeBackText(std::string&& bytes)
{
    if (!m_bLent || bytes.data() != m_lent.data())
        return;
    m_pool = std::move(bytes);
    m_bLent = false;
}

void CImportTable::AdoptCells(std::string&& bytes, std::vector<std::uint32_t>&& header, CMemTable::CellArray&& cells,
                              std::vector<int>&& fileRows)
{
    Clear();
    AdoptText(std::move(bytes));
    m_bCompact = true;
    m_nCols = static_cast<int>(header.size());
    m_header = std::move(header);
    m_cells = std::move(cells);
    m_pCells = m_cells.data();
    m_fileRows = std::move(fileRows);
}

bool CImportTable::CanLendCells(int nMinCols) const
{
    return m_bCompact && m_nCols >= nMinCols && m_pCells != nullptr && m_pCells == m_cells.data();
}

CMemTable::CellArray CImportTable::LendCells()
{
    return std::move(m_cells); // a moved vector keeps its elements where they were: m_pCells still reads them
}

void CImportTable::ForgetLentCells()
{
    if (m_pCells == m_cells.data())
        return;
    m_pCells = nullptr;
    m_fileRows.resize(1);
    m_fileRows.shrink_to_fit();
}

void CImportTable::SetNumber(int nCol, double value)
{
    if (m_rowStart.empty() || nCol < 0)
        return;
    Entry& entry = EntryAt(nCol);
    entry.nKind = static_cast<std::uint32_t>(Kind::Number);
    entry.nValue = static_cast<std::uint32_t>(m_numbers.size());
    m_numbers.push_back(value);
}

void CImportTable::SetDate(int nCol, int nYear, int nMonth, int nDay)
{
    if (m_rowStart.empty() || nCol < 0 || nYear < 0 || nYear > 9999 || nMonth < 1 || nMonth > 12 || nDay < 1 ||
        nDay > 31)
        return SetKind(nCol, Kind::Number); // no date a person could mean: refused like a bare number
    Entry& entry = EntryAt(nCol);
    entry.nKind = static_cast<std::uint32_t>(Kind::Date);
    entry.nValue = static_cast<std::uint32_t>(nYear * 10000 + nMonth * 100 + nDay);
}

void CImportTable::SetKind(int nCol, Kind kind)
{
    if (m_rowStart.empty() || nCol < 0)
        return;
    Entry& entry = EntryAt(nCol);
    entry.nKind = static_cast<std::uint32_t>(kind);
    entry.nValue = static_cast<std::uint32_t>(m_numbers.size());
    if (kind == Kind::Number)
        m_numbers.push_back(0);
}

void CImportTable::AddMerge(int nFirstRow, int nFirstCol, int nLastRow, int nLastCol)
{
    if (nFirstRow > nLastRow || nFirstCol > nLastCol || nFirstCol < 0 || nLastCol > 16383)
        return;
    if (m_mergesOfColumn.size() <= static_cast<std::size_t>(nLastCol))
        m_mergesOfColumn.resize(static_cast<std::size_t>(nLastCol) + 1);
    for (int c = nFirstCol; c <= nLastCol; ++c)
    {
        std::vector<Merge>& merges = m_mergesOfColumn[static_cast<std::size_t>(c)];
        const Merge merge{nFirstRow, nLastRow, nFirstCol};
        merges.insert(std::upper_bound(merges.begin(), merges.end(), merge,
                                       [](const Merge& a, const Merge& b) { return a.nFirstRow < b.nFirstRow; }),
                      merge);
    }
}

const CImportTable::Merge* CImportTable::MergeAt(int nFileRow, int nCol) const
{
    if (nCol < 0 || static_cast<std::size_t>(nCol) >= m_mergesOfColumn.size())
        return nullptr;
    const std::vector<Merge>& merges = m_mergesOfColumn[static_cast<std::size_t>(nCol)];
    auto it = std::upper_bound(merges.begin(), merges.end(), nFileRow,
                               [](int nRow, const Merge& merge) { return nRow < merge.nFirstRow; });
    if (it == merges.begin())
        return nullptr;
    --it;
    return nFileRow <= it->nLastRow ? &*it : nullptr;
}

void CImportTable::Clear()
{
    *this = CImportTable();
}

CImportTable::Cell CImportTable::At(int nRow, int nCol) const
{
    if (const Merge* pMerge = m_mergesOfColumn.empty() ? nullptr : MergeAt(FileRow(nRow), nCol))
    {
        // The range's value is its top-left cell's, wherever in the range the cell lies.
        const auto top = std::lower_bound(m_fileRows.begin(), m_fileRows.end(), pMerge->nFirstRow);
        if (top == m_fileRows.end() || *top != pMerge->nFirstRow)
            return Cell();
        return StoredAt(static_cast<int>(top - m_fileRows.begin()), pMerge->nFirstCol);
    }
    return StoredAt(nRow, nCol);
}

const char* CImportTable::TextAt(int nRow, int nCol) const
{
    if (!m_bCompact)
        return At(nRow, nCol).text.data();
    const std::size_t nOffset = CompactOffset(nRow, nCol);
    return nOffset < Pool().size() ? Pool().data() + nOffset : nullptr;
}

std::size_t CImportTable::CompactOffset(int nRow, int nCol) const
{
    if (nCol < 0 || nCol >= m_nCols)
        return kNoOffset;
    if (nRow == 0)
        return m_header[static_cast<std::size_t>(nCol)];
    if (m_pCells == nullptr)
        return kNoOffset;
    return m_pCells[static_cast<std::size_t>(nRow - 1) * static_cast<std::size_t>(m_nCols) +
                    static_cast<std::size_t>(nCol)];
}

CImportTable::Cell CImportTable::CompactAt(int nRow, int nCol) const
{
    Cell cell;
    const std::size_t nOffset = CompactOffset(nRow, nCol);
    const std::string_view pool = Pool();
    if (nOffset >= pool.size())
        return cell;
    cell.text = std::string_view(pool.data() + nOffset); // a NUL ends every text
    cell.kind = cell.text.empty() ? Kind::Empty : Kind::Text;
    return cell;
}

CImportTable::Cell CImportTable::StoredAt(int nRow, int nCol) const
{
    if (m_bCompact)
        return CompactAt(nRow, nCol);
    const std::size_t nStart = m_rowStart[static_cast<std::size_t>(nRow)];
    const std::size_t nEnd = nRow + 1 < RowCount() ? m_rowStart[static_cast<std::size_t>(nRow) + 1] : m_entries.size();
    Cell cell;
    if (nCol < 0 || nStart + static_cast<std::size_t>(nCol) >= nEnd)
        return cell;
    const Entry& entry = m_entries[nStart + static_cast<std::size_t>(nCol)];
    cell.kind = static_cast<Kind>(entry.nKind);
    switch (cell.kind)
    {
    case Kind::Text:
        cell.text = Pool().substr(entry.nValue, entry.nLength);
        break;
    case Kind::Empty: // where an empty text lies, so that a value read from it can stay there
        if (entry.nValue <= Pool().size())
            cell.text = Pool().substr(entry.nValue, 0);
        break;
    case Kind::Number:
        cell.number = m_numbers[entry.nValue];
        break;
    case Kind::Date:
        cell.nYear = static_cast<int>(entry.nValue / 10000);
        cell.nMonth = static_cast<int>(entry.nValue / 100 % 100);
        cell.nDay = static_cast<int>(entry.nValue % 100);
        break;
    default:
        break;
    }
    return cell;
}

std::string_view CImportTable::Title(int nCol) const
{
    if (RowCount() == 0)
        return {};
    const Cell cell = At(0, nCol);
    return cell.kind == Kind::Text ? Gbk::Trim(cell.text) : std::string_view();
}

std::vector<int> CImportTable::UsedColumns() const
{
    std::vector<bool> used(static_cast<std::size_t>(m_nCols), false);
    for (int r = 0; r < RowCount(); ++r)
    {
        for (int c = 0; c < m_nCols; ++c)
        {
            // A text of blanks only is no content: a formatted empty column stays out.
            const Cell cell = StoredAt(r, c);
            if (cell.kind == Kind::Text ? !Gbk::Trim(cell.text).empty() : cell.kind != Kind::Empty)
                used[static_cast<std::size_t>(c)] = true;
        }
    }
    std::vector<int> columns;
    for (int c = 0; c < m_nCols; ++c)
    {
        if (used[static_cast<std::size_t>(c)])
            columns.push_back(c);
    }
    return columns;
}

std::string CImportTable::ColumnLetters(int nCol)
{
    std::string strLetters;
    for (int n = nCol + 1; n > 0; n = (n - 1) / 26)
        strLetters.insert(strLetters.begin(), static_cast<char>('A' + (n - 1) % 26));
    return strLetters;
}

std::string CImportTable::Address(int nRow, int nCol) const
{
    const std::string strRow = std::to_string(FileRow(nRow));
    if (m_bWorkbook)
        return ColumnLetters(nCol) + strRow;
    return "第" + strRow + "行";
}
