#include "exchange/CompoundFile.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "exchange/LittleEndian.h"

namespace
{
constexpr unsigned char kSignature[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
constexpr std::size_t kHeaderSize = 512, kEntrySize = 128, kHeaderFatSectors = 109;
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint64_t kToEndOfChain = std::numeric_limits<std::uint64_t>::max();

// Sectors of nUnit bytes laid one after another in bytes, the first at nFirst.
struct Sectors
{
    std::string_view bytes;
    std::size_t nUnit, nFirst;

    // The sector's bytes, shorter than a unit only where the bytes end.
    std::string_view At(std::uint32_t nSector) const
    {
        const std::uint64_t nAt = nFirst + std::uint64_t{nSector} * nUnit;
        return nAt < bytes.size() ? bytes.substr(nAt, nUnit) : std::string_view();
    }
};

// Joins nBytes of the chain that starts at nStart (or the whole chain, to its end mark). A chain
// that leaves the table, comes back to a sector or runs out of bytes is damaged.
bool ReadChain(const Sectors& sectors, const std::vector<std::uint32_t>& next, std::uint32_t nStart,
               std::uint64_t nBytes, std::string& strOut)
{
    strOut.clear();
    std::vector<bool> visited(next.size());
    for (std::uint32_t nSector = nStart; strOut.size() < nBytes; nSector = next[nSector])
    {
        if (nBytes == kToEndOfChain && nSector == kEndOfChain)
            return true;
        if (nSector >= next.size() || visited[nSector])
            return false;
        visited[nSector] = true;
        const std::string_view sector = sectors.At(nSector);
        const std::uint64_t nWanted = std::min<std::uint64_t>(sectors.nUnit, nBytes - strOut.size());
        if (sector.size() < nWanted)
            return false;
        strOut.append(sector.substr(0, nWanted));
    }
    return true;
}

// The file's allocation table: the sector numbers of its own sectors are listed in the header
// and, beyond the first 109, in a chain of sectors that each end with the next one's number.
bool ReadFat(std::string_view file, const Sectors& sectors, std::vector<std::uint32_t>& fat)
{
    const std::size_t nPerSector = sectors.nUnit / 4;
    const std::size_t nMostSectors = file.size() / sectors.nUnit;
    std::vector<std::uint32_t> fatSectors;
    for (std::size_t i = 0; i < kHeaderFatSectors; ++i)
        fatSectors.push_back(LittleEndian32(file, 0x4C + 4 * i));
    std::uint32_t nListSector = LittleEndian32(file, 0x44);
    for (std::size_t nSteps = 0; nListSector < kEndOfChain; ++nSteps)
    {
        const std::string_view list = sectors.At(nListSector);
        if (list.size() < sectors.nUnit || nSteps > nMostSectors)
            return false;
        for (std::size_t i = 0; i + 1 < nPerSector; ++i)
            fatSectors.push_back(LittleEndian32(list, 4 * i));
        nListSector = LittleEndian32(list, sectors.nUnit - 4);
    }
    const std::size_t nFatSectors = LittleEndian32(file, 0x2C);
    if (nFatSectors > fatSectors.size() || nFatSectors > nMostSectors)
        return false;
    fat.clear();
    fat.reserve(nFatSectors * nPerSector);
    for (std::size_t i = 0; i < nFatSectors; ++i)
    {
        const std::string_view sector = sectors.At(fatSectors[i]);
        if (sector.size() < sectors.nUnit)
            return false;
        for (std::size_t j = 0; j < nPerSector; ++j)
            fat.push_back(LittleEndian32(sector, 4 * j));
    }
    return true;
}

// Whether the directory entry's UTF-16 name is the ASCII name, letters in either case.
bool HasName(std::string_view entry, std::string_view name)
{
    const std::size_t nLength = LittleEndian16(entry, 0x40); // in bytes, with the closing zero
    if (nLength != 2 * (name.size() + 1))
        return false;
    for (std::size_t i = 0; i < name.size(); ++i)
    {
        const std::uint16_t ch = LittleEndian16(entry, 2 * i);
        if (ch > 0x7F || std::tolower(ch) != std::tolower(static_cast<unsigned char>(name[i])))
            return false;
    }
    return true;
}
} // namespace

bool ReadCompoundStream(std::string_view file, std::string_view strName, std::string& strStream)
{
    if (file.size() < kHeaderSize || std::memcmp(file.data(), kSignature, sizeof kSignature) != 0)
        return false;
    const unsigned nShift = LittleEndian16(file, 0x1E), nMiniShift = LittleEndian16(file, 0x20);
    if ((nShift != 9 && nShift != 12) || nMiniShift != 6)
        return false;
    const Sectors sectors{file, std::size_t{1} << nShift, std::size_t{1} << nShift};
    std::vector<std::uint32_t> fat;
    std::string strDirectory;
    if (!ReadFat(file, sectors, fat) ||
        !ReadChain(sectors, fat, LittleEndian32(file, 0x30), kToEndOfChain, strDirectory) ||
        strDirectory.size() < kEntrySize)
        return false;
    for (std::size_t nAt = 0; nAt + kEntrySize <= strDirectory.size(); nAt += kEntrySize)
    {
        const std::string_view entry = std::string_view(strDirectory).substr(nAt, kEntrySize);
        if (entry[0x42] != 2 || !HasName(entry, strName)) // 2: a stream
            continue;
        // Version 3 files keep only the low half of the size; the high half may hold anything.
        const std::uint64_t nHigh = nShift == 9 ? 0 : LittleEndian32(entry, 0x7C);
        const std::uint64_t nSize = LittleEndian32(entry, 0x78) | nHigh << 32;
        if (nSize > file.size())
            return false;
        if (nSize >= LittleEndian32(file, 0x38)) // at least the cutoff: in sectors of its own
            return ReadChain(sectors, fat, LittleEndian32(entry, 0x74), nSize, strStream);
        // Smaller streams lie in 64-byte sectors of the root entry's stream, chained by a table of their own.
        const std::string_view root = std::string_view(strDirectory).substr(0, kEntrySize);
        std::string strMiniFat, strMiniStream;
        if (!ReadChain(sectors, fat, LittleEndian32(file, 0x3C), kToEndOfChain, strMiniFat) ||
            !ReadChain(sectors, fat, LittleEndian32(root, 0x74),
                       std::min<std::uint64_t>(LittleEndian32(root, 0x78), file.size()), strMiniStream))
            return false;
        std::vector<std::uint32_t> miniFat(strMiniFat.size() / 4);
        for (std::size_t i = 0; i < miniFat.size(); ++i)
            miniFat[i] = LittleEndian32(strMiniFat, 4 * i);
        return ReadChain(Sectors{strMiniStream, std::size_t{1} << nMiniShift, 0}, miniFat, LittleEndian32(entry, 0x74),
                         nSize, strStream);
    }
    return false;
}
