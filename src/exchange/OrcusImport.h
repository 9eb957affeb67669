#pragma once

#include <string>

#include "platform/Types.h"

class CMemTable;

// Reads the first sheet of an .xlsx (bOds false) or .ods file through the spreadsheet import
// library into table by the rules of CSheetRows. On FALSE, strError (GBK) says why.
BOOL ReadOrcusWorkbook(const std::string& strPath, bool bOds, CMemTable& table, std::string& strError);
