#pragma once

#include <string>
#include <string_view>

#include "exchange/Progress.h"
#include "platform/Types.h"

class ISheetSink;

// Hands every sheet of an .xlsx workbook (the file's bytes) to sink in the workbook's order. Texts
// come from the workbook's shared table or from the cells themselves (as programs writing large
// workbooks store them); a sheet is read as it is unpacked, so its size costs no memory.
// On FALSE, strError (GBK) says what is wrong with the file (damaged, too large...); what the sink
// makes of the cells is the sink's to say. progress (optional) hears how much of the parts has been read.
BOOL ReadXlsxSheets(std::string_view bytes, ISheetSink& sink, std::string& strError,
                    const ExchangeProgress& progress = {});
