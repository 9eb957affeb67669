#pragma once

#include <string>
#include <string_view>

#include "core/TextBlocks.h"
#include "platform/Types.h"

class CMemTable;

// The CSV exchange file of a school's records: GBK text without a byte-order mark, a header line
// of field names and one line per record, values separated by ",", every line ended by CR LF.

// Appends the table to strOut as CSV. A name or value holding a comma, a double quote, a CR or an
// LF is written in double quotes with its quotes doubled; every other one exactly as stored, so a
// table without such values gives its plain comma-separated table text.
// REQUIRES: the table has at least one column.
void WriteCsvText(const CMemTable& table, std::string& strOut);
// The same text handed to write() in blocks of whole lines (see WriteLinesInBlocks).
DWORD WriteCsvInBlocks(const CMemTable& table, const BlockWriter& write);
// REQUIRES: -1 <= nRow < table.GetRowCount().
// Appends one line of that text: row nRow's, or the names for -1.
void AppendCsvRow(const CMemTable& table, int nRow, std::string& strOut);

// How the bytes of an imported text file are to be read.
enum class TextEncoding
{
    Gbk, // the program's own files and most files written on Chinese desktops
    Utf8
};

class CImportTable;

// Reads the cells of a CSV file into table: line 1 is its header row, each later line a row with its
// line number; quoted values are read back; lines may end with CR LF, LF or CR; blank lines are
// skipped. A file that starts with a UTF-8 byte-order mark is UTF-8; any other is read in the given
// encoding (never guessed from its bytes: many GBK texts are also valid UTF-8). A UTF-8 value that
// GBK cannot hold becomes a cell of kind BadText. One pass over the bytes of a GBK file.
// On FALSE, strError holds the reason (GBK) and the table is empty. Refused: a header of more than
// 100 names, a quoted value without its closing quote or followed by other text, a line with
// another number of values than the header, and bytes that are not valid in the encoding.
BOOL ReadCsvTable(std::string_view bytes, CImportTable& table, std::string& strError,
                  TextEncoding encoding = TextEncoding::Gbk);
// The same, the table keeping the bytes themselves (a GBK file's, or the UTF-8 file's once made GBK)
// with its values cut out where they lie, instead of a copy of each value.
BOOL ReadCsvTable(std::string&& bytes, CImportTable& table, std::string& strError,
                  TextEncoding encoding = TextEncoding::Gbk);

// Where a CSV text of at least nMinBytes (after any byte-order mark) can be cut into two parts that
// read as one, each by a thread of its own: the start of the first line after its middle, when no
// quote comes before it (so no quoted value spans the cut) and the header line lies in the first
// half. 0 when the text is to be read in one piece.
std::size_t CsvSplitPoint(std::string_view text, std::size_t nMinBytes);

// Reads a CSV file whose header names all 24 fields (field names or the list's titles, in any
// order; other columns are ignored) into table: the 24 student columns in record order, one row per
// record, values read as every import reads them (see MakeImportRecords). On FALSE, strError says
// why (GBK) and the table is empty.
BOOL ReadCsvStudents(std::string_view bytes, CMemTable& table, std::string& strError,
                     TextEncoding encoding = TextEncoding::Gbk);
