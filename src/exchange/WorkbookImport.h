#pragma once

#include <string>
#include <string_view>

#include "exchange/Progress.h"
#include "platform/Types.h"

class CMemTable;
class ISheetSink;

// The files a school's records may be exchanged in, known by the file name's extension.
enum class ExchangeFormat
{
    Csv,
    Xlsx, // Excel workbook of today's spreadsheet programs
    Ods,  // OpenDocument spreadsheet
    Xls,  // Excel workbook of older spreadsheet programs (read only)
    Unknown
};

// The format of the file name's extension (ASCII letters of any case); Unknown for others.
ExchangeFormat FormatOfPath(const std::string& strPath);

// Hands every sheet of a workbook file (Xlsx, Ods or Xls) to sink in the workbook's order, each
// sheet's cells and merged ranges between BeginSheet and EndSheet; stops when the sink says so.
// bytes: the file's contents, read through the file layer (which refuses what is not a regular
// file); strPath names the file. On FALSE, strError (GBK) says what is wrong with the file itself
// (damaged, encrypted, too large, a code page not read...); what the cells mean is the sink's to
// judge. progress (optional) hears how far an .xlsx or .ods file has been read.
BOOL ReadWorkbookSheets(const std::string& strPath, std::string_view bytes, ExchangeFormat format, ISheetSink& sink,
                        std::string& strError, const ExchangeProgress& progress = {});

// Reads the student records of a workbook file (Xlsx, Ods or Xls) into table as an import whose
// header names all 24 fields stores them: the sheet that holds the records (see CSheetTableSink),
// values read as meant (see MakeImportRecords), every record unchecked. On FALSE, strError (GBK)
// says why and the table is empty. The arguments are those of ReadWorkbookSheets.
BOOL ReadWorkbookStudents(const std::string& strPath, std::string_view bytes, ExchangeFormat format, CMemTable& table,
                          std::string& strError, const ExchangeProgress& progress = {});
