#include <algorithm>
#include <cstdarg>
#include <cstring>
#include <ctime>
#include <new>

#include "core/Gbk.h"
#include "core/MemTable.h"
#include "core/MemTableTexts.h"
#include "platform/FatalExit.h"
#include "platform/ProgramDir.h"

namespace
{
// The fixed header of a data block: offsets from the block's first byte, numbers little-endian.
constexpr std::size_t kHeaderSize = 20;
constexpr std::size_t kColCountOffset = 1;   // 2 bytes: the number of columns
constexpr std::size_t kRowCountOffset = 3;   // 2 bytes: the number of rows
constexpr std::size_t kDataOffsetOffset = 5; // 2 bytes: where the values begin
constexpr std::size_t kLengthOffset = 7;     // 4 bytes: the bytes after the header, up to the next block
constexpr std::size_t kMarkOffset = 11;      // the block's mark, NUL-terminated
constexpr std::size_t kMarkRoom = 9;         // at most 8 bytes and the NUL

// A block that cannot be loaded: the loader's line that found it and the failure text.
struct BlockError
{
    int nLine;
    const char* lpcszText;
};

// Reads a buffer with every access checked against its end.
class BufferReader
{
  public:
    BufferReader(const void* pBuffer, int nSize)
        : m_pBytes(static_cast<const unsigned char*>(pBuffer)), m_nSize(nSize > 0 && pBuffer ? nSize : 0)
    {
    }

    std::size_t Size() const { return m_nSize; }

    // REQUIRES: nPos + nCount does not overflow; throws BlockError(nLine) when it passes the end.
    const unsigned char* At(std::size_t nPos, std::size_t nCount, int nLine) const
    {
        if (nPos > m_nSize || nCount > m_nSize - nPos)
            throw BlockError{nLine, MemTableText::kBlockPastBuffer};
        return m_pBytes + nPos;
    }

    std::int32_t Int(std::size_t nPos, std::size_t nBytes, int nLine) const
    {
        const unsigned char* p = At(nPos, nBytes, nLine);
        std::uint32_t value = 0;
        for (std::size_t i = nBytes; i-- > 0;)
            value = (value << 8) | p[i];
        if (nBytes == 2)
            return static_cast<std::int16_t>(value);
        return static_cast<std::int32_t>(value);
    }

    // The NUL-terminated text at nPos; its NUL must lie within nRoom bytes and inside the buffer.
    std::string_view Text(std::size_t nPos, std::size_t nRoom, int nLine, const char* lpcszTooLong) const
    {
        const unsigned char* p = At(nPos, 0, nLine);
        const std::size_t nLeft = m_nSize - nPos;
        const void* pNul = std::memchr(p, '\0', std::min(nRoom, nLeft));
        if (pNul == nullptr)
            throw BlockError{nLine, nRoom < nLeft ? lpcszTooLong : MemTableText::kBlockPastBuffer};
        return std::string_view(reinterpret_cast<const char*>(p), static_cast<const unsigned char*>(pNul) - p);
    }

  private:
    const unsigned char* m_pBytes;
    std::size_t m_nSize;
};

std::size_t ValueSize(char chType)
{
    switch (chType)
    {
    case 'B':
        return 1;
    case 'N':
        return 2;
    case 'L':
    case 'D':
    case 'T':
        return 4;
    case 'C':
        return 1; // at least the NUL
    default:
        return 0;
    }
}

std::string DateText(std::int32_t nValue)
{
    if (nValue <= 0)
        return "1900/01/01";
    char szText[32];
    std::snprintf(szText, sizeof(szText), "%04d/%02d/%02d", nValue / 10000, nValue % 10000 / 100, nValue % 100);
    return szText;
}

std::string TimeText(std::int32_t nValue)
{
    const std::time_t tValue = nValue;
    std::tm local{};
    if (nValue < 0 || localtime_r(&tValue, &local) == nullptr)
        return {};
    char szText[40];
    std::strftime(szText, sizeof(szText), "%Y-%m-%d %H:%M:%S.000", &local);
    return szText;
}

// Reads one value of the column's type at nPos, advancing past it, and returns its cell text.
std::string ReadValue(const BufferReader& reader, char chType, std::size_t& nPos)
{
    if (chType == 'C')
    {
        const std::string_view text = reader.Text(nPos, reader.Size(), __LINE__, MemTableText::kBlockPastBuffer);
        nPos += text.size() + 1;
        return std::string(text);
    }
    const std::size_t nBytes = ValueSize(chType);
    const std::int32_t nValue = reader.Int(nPos, nBytes, __LINE__);
    nPos += nBytes;
    switch (chType)
    {
    case 'B':
        return std::to_string(static_cast<unsigned char>(nValue));
    case 'D':
        return DateText(nValue);
    case 'T':
        return TimeText(nValue);
    default:
        return std::to_string(nValue); // N and L
    }
}

// The first byte of the first block with this mark; blocks follow each other by their lengths.
std::size_t FindBlock(const BufferReader& reader, std::string_view mark)
{
    for (std::size_t nBlock = 0;;)
    {
        if (nBlock >= reader.Size())
            throw BlockError{__LINE__, MemTableText::kNoBlock};
        reader.At(nBlock, kHeaderSize, __LINE__);
        if (reader.Text(nBlock + kMarkOffset, kMarkRoom, __LINE__, MemTableText::kBlockLongMark) == mark)
            return nBlock;
        const std::int32_t nLength = reader.Int(nBlock + kLengthOffset, 4, __LINE__);
        if (nLength < 0)
            throw BlockError{__LINE__, MemTableText::kBlockBadCount};
        nBlock += kHeaderSize + static_cast<std::size_t>(nLength);
    }
}

// The columns of a block: names, type letters, and the fewest bytes a row of them can take.
struct BlockColumns
{
    std::vector<std::string> names;
    std::vector<char> types;
    std::size_t nMinRowSize = 0;
};

// The column descriptors after the header: NUL-terminated names, each ending in its type letter.
BlockColumns ReadColumns(const BufferReader& reader, std::size_t nBlock, std::int32_t nCols)
{
    BlockColumns columns;
    try
    {
        columns.names.reserve(nCols);
        columns.types.reserve(nCols);
    }
    catch (const std::bad_alloc&)
    {
        throw BlockError{__LINE__, MemTableText::kNoMemoryNames};
    }
    std::size_t nPos = nBlock + kHeaderSize;
    for (int nCol = 0; nCol < nCols; ++nCol)
    {
        const std::string_view descriptor = reader.Text(nPos, reader.Size(), __LINE__, MemTableText::kBlockPastBuffer);
        nPos += descriptor.size() + 1;
        const std::string_view name = Gbk::Trim(descriptor);
        if (name.empty())
            throw BlockError{__LINE__, MemTableText::kEmptyColumnName};
        if (ValueSize(name.back()) == 0)
            throw BlockError{__LINE__, MemTableText::kBlockUnknownType};
        columns.types.push_back(name.back());
        columns.nMinRowSize += ValueSize(name.back());
        columns.names.emplace_back(name.substr(0, name.size() - 1)); // without its type letter
    }
    return columns;
}

// Reads nCells values from nPos on, row by row with the column types in turn, and hands each
// cell's index and text to store.
template <class Store>
void ReadRows(const BufferReader& reader, const std::vector<char>& types, std::size_t nPos, std::size_t nCells,
              Store store)
{
    for (std::size_t i = 0; i < nCells; ++i)
        store(i, ReadValue(reader, types[i % types.size()], nPos));
}

std::string Stamp()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char szStamp[32];
    std::strftime(szStamp, sizeof(szStamp), "%Y%m%d%H%M%S", &local);
    return szStamp;
}

std::string DumpPath(const char* lpcszSuffix)
{
    return GetDumpDirectory() + "/" + Stamp() + lpcszSuffix;
}
} // namespace

void WriteDump(const void* pData, int nSize, const char* lpcszFormat, ...)
{
    if (std::FILE* pFile = std::fopen(DumpPath(".memtable.dump.tmp").c_str(), "wb"))
    {
        if (pData != nullptr && nSize > 0)
            std::fwrite(pData, 1, static_cast<std::size_t>(nSize), pFile);
        std::fclose(pFile);
    }
    if (lpcszFormat == nullptr)
        return;
    if (std::FILE* pFile = std::fopen(DumpPath(".memtable.dump.log").c_str(), "w"))
    {
        va_list args;
        va_start(args, lpcszFormat);
        std::vfprintf(pFile, lpcszFormat, args);
        va_end(args);
        std::fclose(pFile);
    }
}

// Every count, offset and length of the block is checked against the buffer before it is used;
// a block that does not fit is reported like a missing one.
int CMemTable::LoadBinary(const void* pBuffer, int nSize, const char* lpcszMark)
{
    Clear();
    const char* lpcszShownMark = lpcszMark != nullptr ? lpcszMark : "";
    try
    {
        const BufferReader reader(pBuffer, nSize);
        const std::size_t nBlock = FindBlock(reader, lpcszShownMark);
        const std::int32_t nCols = reader.Int(nBlock + kColCountOffset, 2, __LINE__);
        const std::int32_t nRows = reader.Int(nBlock + kRowCountOffset, 2, __LINE__);
        const std::int32_t nDataOffset = reader.Int(nBlock + kDataOffsetOffset, 2, __LINE__);
        if (nCols < 0 || nRows < 0 || nDataOffset < 0)
            throw BlockError{__LINE__, MemTableText::kBlockBadCount};
        BlockColumns columns = ReadColumns(reader, nBlock, nCols);

        // Each value takes at least one byte, so rows the buffer cannot hold are refused before
        // their cells are requested.
        const std::size_t nData = nBlock + static_cast<std::size_t>(nDataOffset);
        reader.At(nData, columns.nMinRowSize * static_cast<std::size_t>(nRows), __LINE__);
        try
        {
            m_cells.resize(static_cast<std::size_t>(nRows) * nCols);
        }
        catch (const std::bad_alloc&)
        {
            throw BlockError{__LINE__, MemTableText::kNoMemoryCells};
        }
        m_colNames = std::move(columns.names);
        m_nCols = nCols;
        m_nRows = nRows;
        ReadRows(reader, columns.types, nData, m_cells.size(),
                 [this](std::size_t i, const std::string& text) { m_cells[i] = StoreInArena(text); });
        m_bLoaded = TRUE;
        return m_nRows;
    }
    catch (const BlockError& error)
    {
        WriteDump(pBuffer, nSize, MemTableText::kBinaryReport, error.nLine, lpcszShownMark, error.lpcszText);
        Clear();
        return 0;
    }
    catch (...)
    {
        WriteDump(pBuffer, nSize, MemTableText::kBinaryFatalReport, __LINE__, lpcszShownMark);
        Clear();
        FatalAppExitA(0, MemTableText::kBinaryFailed);
    }
}
