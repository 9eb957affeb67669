#pragma once

#include <string>
#include <string_view>

#include "exchange/Progress.h"
#include "platform/Types.h"

class ISheetSink;

// Hands every sheet of an OpenDocument spreadsheet (the .ods file's bytes) to sink in the
// workbook's order, streaming its content part as it is unpacked. Rows and cells the file stores
// once with a repeat count are handed on as often as they repeat, within the bounds of
// SheetLimits.h. On FALSE, strError (GBK) says what is wrong with the file (damaged, encrypted,
// too large). progress (optional) hears how much of the content has been read.
BOOL ReadOdsSheets(std::string_view bytes, ISheetSink& sink, std::string& strError,
                   const ExchangeProgress& progress = {});
