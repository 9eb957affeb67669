// Feeds any bytes to the binary block loader: it must load or reject, never read outside the buffer.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/MemTable.h"
#include "platform/ProgramDir.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Rejected blocks are dumped; a directory that does not exist makes the dumps skip quietly
    // instead of filling the disk during a long run.
    SetDumpDirectory("/nonexistent-varnholt-fuzz-dumps");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize)
{
    // The first byte gives the length of the wanted mark (0 to 9 bytes), which follows it.
    if (nSize == 0)
        return 0;
    const std::size_t nMark = std::min<std::size_t>(pData[0] % 10, nSize - 1);
    const std::string mark(reinterpret_cast<const char*>(pData + 1), nMark);
    // The buffer is copied so that the sanitizer sees its exact end.
    const std::vector<std::uint8_t> buffer(pData + 1 + nMark, pData + nSize);
    CMemTable table;
    const int nRows = table.LoadBinary(buffer.data(), static_cast<int>(buffer.size()), mark.c_str());
    if (nRows > 0)
    {
        std::string strText;
        table.WriteToString(strText);
    }
    return 0;
}
