#include "exchange/XlsMergedCells.h"

#include <algorithm>
#include <cstdint>

#include "exchange/CompoundFile.h"
#include "exchange/LittleEndian.h"
#include "platform/Encoding.h"

namespace
{
constexpr std::uint16_t kBof = 0x0809, kEof = 0x000A, kSheet = 0x0085, kMergedCells = 0x00E5, kPassword = 0x002F;
constexpr std::uint16_t kVersion97 = 0x0600;

struct Record
{
    std::uint16_t nType = 0;
    std::string_view data;
};

// The record at nAt, moving nAt past it; false at the stream's end or where a record overruns it.
bool NextRecord(std::string_view stream, std::size_t& nAt, Record& record)
{
    if (stream.size() < 4 || nAt > stream.size() - 4)
        return false;
    const std::size_t nLength = LittleEndian16(stream, nAt + 2);
    if (nLength > stream.size() - nAt - 4)
        return false;
    record = {LittleEndian16(stream, nAt), stream.substr(nAt + 4, nLength)};
    nAt += 4 + nLength;
    return true;
}

struct SheetStart
{
    std::uint32_t nAt;
    std::string strName; // UTF-8
};

// The sheet's name in a sheet record: a count of characters, a flag for two bytes a character
// (UTF-16) or one (the character codes below 256), and the characters.
bool SheetName(std::string_view data, std::string& strName)
{
    const std::size_t nChars = static_cast<unsigned char>(data[6]);
    const bool bWide = (data[7] & 1) != 0;
    const std::string_view chars = data.substr(8);
    if (chars.size() < (bWide ? 2 : 1) * nChars)
        return false;
    std::string strUtf16;
    for (std::size_t i = 0; i < nChars; ++i)
        strUtf16.append(bWide ? chars.substr(2 * i, 2) : std::string{chars[i], '\0'});
    return Encoding::CConverter("UTF-8", "UTF-16LE").Convert(strUtf16, strName);
}

// The worksheets named in the workbook's first part, where each one's records start.
bool ReadSheetStarts(std::string_view stream, std::vector<SheetStart>& starts, bool& bVersion97)
{
    std::size_t nAt = 0;
    Record record;
    if (!NextRecord(stream, nAt, record) || record.nType != kBof || record.data.size() < 2)
        return false;
    bVersion97 = LittleEndian16(record.data, 0) == kVersion97;
    while (bVersion97 && NextRecord(stream, nAt, record))
    {
        if (record.nType == kPassword) // the rest is encrypted: the cell library tells the user so
        {
            starts.clear();
            return true;
        }
        if (record.nType == kEof)
            return true;
        SheetStart start{0, {}};
        if (record.nType != kSheet || record.data.size() < 8 || record.data[5] != 0) // 0: a worksheet
            continue;
        if (!SheetName(record.data, start.strName))
            return false;
        start.nAt = LittleEndian32(record.data, 0);
        starts.push_back(std::move(start));
    }
    return !bVersion97;
}

// The merged ranges of the sheet whose records start at nAt, which moves past them. Charts inside
// the sheet have records of their own between a BOF and an EOF.
bool ReadSheetMerges(std::string_view stream, std::size_t& nAt, std::vector<MergedRange>& ranges)
{
    Record record;
    for (int nDepth = 0; NextRecord(stream, nAt, record);)
    {
        if (record.nType == kBof)
            ++nDepth;
        else if (record.nType == kEof && --nDepth == 0)
            return true;
        else if (record.nType == kMergedCells && nDepth == 1 && record.data.size() >= 2)
        {
            const std::size_t nCount =
                std::min<std::size_t>(LittleEndian16(record.data, 0), (record.data.size() - 2) / 8);
            for (std::size_t i = 0; i < nCount; ++i)
            {
                const std::string_view range = record.data.substr(2 + 8 * i, 8);
                const MergedRange merged{LittleEndian16(range, 0), LittleEndian16(range, 2), LittleEndian16(range, 4),
                                         LittleEndian16(range, 6)};
                if (merged.nFirstRow <= merged.nLastRow && merged.nFirstCol <= merged.nLastCol)
                    ranges.push_back(merged);
            }
        }
        if (nDepth <= 0)
            return false;
    }
    return false;
}
} // namespace

bool ReadXlsMergedCells(std::string_view file, std::map<std::string, std::vector<MergedRange>>& merges)
{
    merges.clear();
    std::string strStream;
    if (!ReadCompoundStream(file, "Workbook", strStream) && !ReadCompoundStream(file, "Book", strStream))
        return false;
    std::vector<SheetStart> starts;
    bool bVersion97 = false;
    if (!ReadSheetStarts(strStream, starts, bVersion97))
        return false;
    // Each sheet's records lie after the last one's: read in their order, none is read twice.
    std::sort(starts.begin(), starts.end(), [](const SheetStart& a, const SheetStart& b) { return a.nAt < b.nAt; });
    std::size_t nReadTo = 0;
    for (const SheetStart& start : starts)
    {
        std::size_t nAt = start.nAt;
        if (nAt < nReadTo || !ReadSheetMerges(strStream, nAt, merges[start.strName]))
            return false;
        nReadTo = nAt;
    }
    return true;
}
