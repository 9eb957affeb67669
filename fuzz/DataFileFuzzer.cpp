// Feeds any bytes to the loader of a school's data file, with the password the seeds were saved
// with: it must load or refuse, never crash or read outside the file.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/MemTable.h"
#include "core/SchoolDatabase.h"
#include "platform/ProgramDir.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Rejected blocks are dumped; a directory that does not exist makes the dumps skip quietly.
    SetDumpDirectory("/nonexistent-varnholt-fuzz-dumps");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize)
{
    CMemTable table;
    LoadDatabaseBytes(std::string(reinterpret_cast<const char*>(pData), nSize), "123", table);
    return 0;
}
