#pragma once

#include <string>
#include <string_view>

#include "platform/Types.h"

class CMemTable;

// Reads the first sheet of an OpenDocument spreadsheet (the .ods file's bytes) through the spreadsheet import
// library into table by the rules of CSheetRows. On FALSE, strError (GBK) says why.
BOOL ReadOdsWorkbook(std::string_view bytes, CMemTable& table, std::string& strError);
