#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "exchange/CsvFile.h"
#include "exchange/Progress.h"
#include "exchange/WorkbookExport.h"
#include "platform/Types.h"

class CImportTable;
class CMemTable;

// Where an import and an export of the school's records go, for the desktop program and the CLI
// alike: the file is read and written through the file layer, its format is known by the name's
// extension (.xlsx, .ods, .xls; any other name is CSV), and the program's own data files are never
// a target. The front ends keep only their dialogs, their progress display and their messages.

// Why an exchange stopped.
enum class ExchangeFault
{
    None,
    Cancelled,     // the front end was asked (a CSV file's encoding) and declined
    File,          // the file layer refused or failed: dwCode says why
    Format,        // the file is not one the import reads: strError says why (GBK)
    DataFile,      // the export's target is one of the program's own data files
    Build,         // the workbook could not be made: strError says why (GBK)
    Unconvertible, // a record holds bytes that are not GBK, so no UTF-8 file could be written
};

struct ExchangeOutcome
{
    ExchangeFault fault = ExchangeFault::None;
    DWORD dwCode = ERROR_SUCCESS;
    std::string strError;

    explicit operator bool() const { return fault == ExchangeFault::None; }
};

// How a front end takes part in reading a file.
struct StudentsFileReading
{
    // The encoding of a CSV file, from its bytes; nullopt cancels. Empty: GBK.
    std::function<std::optional<TextEncoding>(std::string_view bytes)> encodingOf;
    // Runs the reading of a workbook (a CSV file is read without it).
    ExchangeRunner runWorkbook;
};

// Reads the cells of the import file at strPath into table (see ReadImportTable). Whatever its
// type, the file is read through the file layer first, so FIFOs, devices and folders are refused
// at once. On failure the table is empty.
ExchangeOutcome ReadStudentsFile(const std::string& strPath, CImportTable& table, const StudentsFileReading& reading);

// What an export writes and how a front end takes part in it.
struct StudentsFileWriting
{
    std::string strSchoolCode;                    // whose data files are refused as the target
    TextEncoding csvEncoding = TextEncoding::Gbk; // UTF-8 is written with its byte-order mark
    WorkbookSheets sheets = WorkbookSheets::Stored;
    ExchangeRunner runWorkbook; // runs the making of a workbook
};

// Writes the student table (24 columns in record order) to strPath: an .xlsx name gets a workbook
// (see BuildStudentWorkbook), any other the CSV text (see WriteCsvText). The file is replaced
// whole or not at all: on failure an existing file keeps its bytes. The program's own data files
// are refused before anything is made.
ExchangeOutcome WriteStudentsFile(const std::string& strPath, const CMemTable& table,
                                  const StudentsFileWriting& writing);
