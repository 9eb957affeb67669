#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "core/ColumnMapping.h"
#include "core/MemTable.h"
#include "platform/Types.h"

class CImportTable;

// The records an import file holds, as they would be stored.
struct ImportedRecords
{
    CMemTable table;           // the 24 student columns in record order, one row per record in file order
    std::vector<int> fileRows; // each record's row (line) in the file
    // Coded values that several codes have as their name, by record: the field, and what to say
    // about it (GBK, "专业：C5“哲学”有多个代码：...").
    struct Ambiguous
    {
        int nField;
        std::string strText;
    };
    std::unordered_map<int, std::vector<Ambiguous>> ambiguous;
};

// Makes the records of the table's rows below its header by the mapping: a field without a column
// gets empty values, a row with nothing in the mapped columns is no record, and a first row that
// repeats the fields' titles (as exported workbooks have under the names) is skipped. Values are
// read as CImportValueReader does; our own sheet of names ("记录（名称）") is read by its names.
// On FALSE, strError (GBK) names every value that cannot be stored: each column with how many
// cells and the first few of them, and what to do about it; records is then empty.
BOOL MakeImportRecords(const CImportTable& table, const ColumnMapping& mapping, ImportedRecords& records,
                       std::string& strError);
// The same, but texts the table cut out of a file's bytes are not copied: the records' table keeps
// those bytes and the import table reads its texts from there, so the import table must not be
// used once the records are gone or their table has changed. A CSV file's cells become the records'
// cells: the import table then keeps only its header row (the records keep their file rows).
BOOL MakeImportRecords(CImportTable& table, const ColumnMapping& mapping, ImportedRecords& records,
                       std::string& strError);

// The records of a file whose header names all 24 fields, as an import without a column step
// stores them (every record, unchecked). On FALSE, strError (GBK) says why and table is empty:
// strMissingHeader when the header does not name every field, or the table's note when it has one.
BOOL MakeStudentTable(CImportTable& cells, CMemTable& table, std::string& strError,
                      const std::string& strMissingHeader);

// The name of our own export's sheet of names (GBK).
extern const char* const g_lpcszNamesSheet;
