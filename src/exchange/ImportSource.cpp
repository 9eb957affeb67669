#include "exchange/ImportSource.h"

#include "core/ImportTable.h"
#include "exchange/SheetTableSink.h"

BOOL ReadImportTable(const std::string& strPath, std::string_view bytes, ExchangeFormat format, TextEncoding encoding,
                     CImportTable& table, std::string& strError, const ExchangeProgress& progress)
{
    if (format == ExchangeFormat::Csv || format == ExchangeFormat::Unknown)
        return ReadCsvTable(bytes, table, strError, encoding);
    CSheetTableSink sink(table);
    if (ReadWorkbookSheets(strPath, bytes, format, sink, strError, progress) && sink.Finish(strError))
        return TRUE;
    table.Clear();
    return FALSE;
}
