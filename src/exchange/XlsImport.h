#pragma once

#include <string>
#include <string_view>

#include "platform/Types.h"

class ISheetSink;

// Hands every sheet of an .xls file (the binary workbook of older spreadsheet programs; the file's
// bytes) to sink in the workbook's order, with each sheet's merged ranges. On FALSE, strError (GBK)
// says what is wrong with the file.
BOOL ReadXlsSheets(std::string_view bytes, ISheetSink& sink, std::string& strError);
