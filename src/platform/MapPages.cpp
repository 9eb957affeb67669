#include "platform/MapPages.h"

#include <cstdint>
#include <sys/mman.h>
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
