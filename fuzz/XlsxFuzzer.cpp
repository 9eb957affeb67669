// Feeds any bytes to the .xlsx reader.
#include "WorkbookFuzzer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize)
{
    return ReadAnyWorkbook(pData, nSize, ExchangeFormat::Xlsx);
}
