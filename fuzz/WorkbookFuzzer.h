#pragma once

// What the workbook fuzz targets share: any bytes go to a reader whose sink only counts, so that
// the reader itself is what runs: it must read or refuse, never crash, hang or read outside.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "exchange/SheetSink.h"
#include "exchange/WorkbookImport.h"

class CCountingSink : public ISheetSink
{
  public:
    void SetDateOrigin(int, int, int) override {}
    bool BeginSheet(const std::string&) override { return ++m_nCount > 0; }
    void SetText(int, int, std::string_view text) override { m_nCount += text.size(); }
    void SetNumber(int, int, double) override { ++m_nCount; }
    void SetDate(int, int, int, int, int) override { ++m_nCount; }
    void SetFormula(int, int) override { ++m_nCount; }
    void MergeRange(int, int, int, int) override { ++m_nCount; }
    void EndSheet() override { ++m_nCount; }
    bool Stopped() const override { return false; }

  private:
    std::size_t m_nCount = 0;
};

inline int ReadAnyWorkbook(const std::uint8_t* pData, std::size_t nSize, ExchangeFormat format)
{
    CCountingSink sink;
    std::string strError;
    ReadWorkbookSheets("fuzz", std::string_view(reinterpret_cast<const char*>(pData), nSize), format, sink, strError);
    return 0;
}
