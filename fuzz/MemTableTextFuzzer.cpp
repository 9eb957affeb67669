// Feeds any bytes to the text loaders: they must load or fail, never read outside the text.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "core/MemTable.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize)
{
    const std::string_view input(reinterpret_cast<const char*>(pData), nSize);
    CMemTable table;
    std::string strError;
    if (table._Load(input, strError))
    {
        std::string strText;
        table.WriteToString(strText, ",");
        for (int nRow = 0; nRow < table.GetRowCount(); ++nRow)
            for (int nCol = 0; nCol < table.GetColCount(); ++nCol)
                strText += table.GetCell(nRow, nCol);
        if (table.GetRowCount() > 0)
        {
            table.SetCell(0, 0, input.substr(0, 16));
            table.DeleteRowSet({0, table.GetRowCount() - 1});
            table.AppendTable(table);
            table.WriteToString(strText);
        }
    }
    // The first two bytes, when printable, serve as begin and end markers of the rest.
    if (nSize >= 2)
    {
        const std::string begin(1, static_cast<char>(pData[0]));
        const std::string end(1, static_cast<char>(pData[1]));
        table.Load(input.substr(2), begin.c_str(), end.c_str());
    }
    // A stream delivers the same bytes.
    if (std::FILE* pStream = fmemopen(const_cast<std::uint8_t*>(pData), nSize, "rb"))
    {
        table.LoadStream(pStream, strError);
        std::fclose(pStream);
    }
    return 0;
}
