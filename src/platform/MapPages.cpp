#include "platform/MapPages.h"

#include <cstdint>
#include <sys/mman.h>
#include <system_error>
#include <unistd.h>

void MapPagesAtOnce(void* pBuffer, std::size_t nBytes)
{
    // Worth a call only for buffers of many pages; the pages at both ends hold the buffer's bytes
    // too, and mapping a page in never changes what it holds.
    constexpr std::size_t kWorthIt = 2 * 1024 * 1024;
    if (nBytes < kWorthIt)
        return;
    const auto nPage = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    const auto nBegin = reinterpret_cast<std::uintptr_t>(pBuffer) & ~(nPage - 1);
    const std::uintptr_t nEnd = reinterpret_cast<std::uintptr_t>(pBuffer) + nBytes;
    ::madvise(reinterpret_cast<void*>(nBegin), nEnd - nBegin, MADV_POPULATE_WRITE);
}

std::jthread MapPagesAhead(void* pBuffer, std::size_t nBytes)
{
    // Below this the thread costs more than the half it maps.
    constexpr std::size_t kWorthAThread = 8 * 1024 * 1024;
    if (nBytes < kWorthAThread || std::thread::hardware_concurrency() < 2)
    {
        MapPagesAtOnce(pBuffer, nBytes);
        return {};
    }
    const std::size_t nHalf = nBytes / 2;
    char* pSecond = static_cast<char*>(pBuffer) + nHalf;
    std::jthread second;
    try
    {
        second = std::jthread([pSecond, nRest = nBytes - nHalf] { MapPagesAtOnce(pSecond, nRest); });
    }
    catch (const std::system_error&)
    {
        MapPagesAtOnce(pSecond, nBytes - nHalf);
    }
    MapPagesAtOnce(pBuffer, nHalf);
    return second;
}
