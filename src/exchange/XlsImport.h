#pragma once

#include <string>

#include "platform/Types.h"

class CMemTable;

// Reads the first sheet of an .xls file (the binary workbook of older spreadsheet programs) into
// table by the rules of CSheetRows. On FALSE, strError (GBK) says why.
BOOL ReadXlsWorkbook(const std::string& strPath, CMemTable& table, std::string& strError);
