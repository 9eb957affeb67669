#pragma once

#include <string>

#include "platform/Types.h"

class CMemTable;

// Reads the first sheet of an OpenDocument spreadsheet (.ods) through the spreadsheet import
// library into table by the rules of CSheetRows. On FALSE, strError (GBK) says why.
BOOL ReadOdsWorkbook(const std::string& strPath, CMemTable& table, std::string& strError);
