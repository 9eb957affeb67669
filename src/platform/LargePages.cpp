#include "platform/LargePages.h"

#include <cstdint>
#include <sys/mman.h>

void AdviseLargePages(const void* pBuffer, std::size_t nBytes)
{
    constexpr std::uintptr_t kLargePage = 2 * 1024 * 1024;
    const auto nBegin = reinterpret_cast<std::uintptr_t>(pBuffer);
    const std::uintptr_t nStart = (nBegin + kLargePage - 1) & ~(kLargePage - 1);
    const std::uintptr_t nEnd = (nBegin + nBytes) & ~(kLargePage - 1);
    if (nEnd > nStart)
        ::madvise(reinterpret_cast<void*>(nStart), nEnd - nStart, MADV_HUGEPAGE);
}
