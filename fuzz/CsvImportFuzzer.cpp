// Feeds any bytes to the CSV import, in both encodings it reads: it must import or refuse.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/MemTable.h"
#include "exchange/CsvFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize)
{
    const std::string_view bytes(reinterpret_cast<const char*>(pData), nSize);
    for (const TextEncoding encoding : {TextEncoding::Gbk, TextEncoding::Utf8})
    {
        CMemTable table;
        std::string strError;
        ReadCsvStudents(bytes, table, strError, encoding);
    }
    return 0;
}
