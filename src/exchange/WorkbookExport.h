#pragma once

#include <string>

#include "exchange/Progress.h"
#include "platform/Types.h"

class CMemTable;

// The school's records as an Excel workbook (.xlsx), for spreadsheet programs: every cell is a
// text cell holding the stored value (as UTF-8), so student numbers, codes with leading zeros
// and dates keep their exact characters. Each sheet has the 24 field names in row 1 (the file
// imports again), the list's Chinese column titles in row 2, rows 1-2 and the first column frozen,
// an autofilter on the titles and column widths that fit the values.
// Sheet "记录" holds the stored values; on request a second sheet "记录（名称）" gives the coded
// fields as their names for reading (the import reads the first sheet only). It doubles the work.
enum class WorkbookSheets
{
    Stored,
    StoredAndNames
};

// Builds the workbook's bytes from the student table (24 columns in record order), telling progress
// how far it has come. On FALSE, strError holds the reason (GBK) and strBytes is empty.
BOOL BuildStudentWorkbook(const CMemTable& table, std::string& strBytes, std::string& strError,
                          WorkbookSheets sheets = WorkbookSheets::Stored, const ExchangeProgress& progress = {});
