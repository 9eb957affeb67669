#pragma once

#include <string>
#include <string_view>

#include "exchange/CsvFile.h"
#include "exchange/Progress.h"
#include "exchange/WorkbookImport.h"
#include "platform/Types.h"

class CImportTable;

// Reads the cells of an import file into table: a CSV file in the encoding given (any name that is
// not a workbook's is read as CSV), a workbook's sheet that holds the records (see CSheetTableSink).
// bytes: the file's contents, read through the file layer; strPath names it for the reader of the
// older workbook format, which reads the file itself. progress (optional) hears how far a workbook
// has been read. On FALSE, strError (GBK) says why and the table is empty.
BOOL ReadImportTable(const std::string& strPath, std::string_view bytes, ExchangeFormat format, TextEncoding encoding,
                     CImportTable& table, std::string& strError, const ExchangeProgress& progress = {});
