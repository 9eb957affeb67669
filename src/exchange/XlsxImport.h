#pragma once

#include <string>
#include <string_view>

#include "exchange/Progress.h"
#include "platform/Types.h"

class CMemTable;

// Reads the first sheet of an .xlsx workbook (the file's bytes) into table by the rules of CSheetRows. Texts come
// from the workbook's shared table or from the cells themselves (as programs writing large
// workbooks store them); the sheet is read as it is unpacked, so its size costs no memory.
// On FALSE, strError (GBK) says why and the table is empty.
// progress (optional) hears how much of the parts has been read.
BOOL ReadXlsxWorkbook(std::string_view bytes, CMemTable& table, std::string& strError,
                      const ExchangeProgress& progress = {});
