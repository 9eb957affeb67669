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

// Reads the bytes of a CSV file into table, which gets the 24 student columns in record order and
// one row per record of the file; each value goes under the field that its header column names
// (the header lists the 24 names in any order). Quoted values are read back; lines may end with
// CR LF, LF or CR; blank lines are skipped; a first record of the list's column titles is skipped.
// A file that starts with a UTF-8 byte-order mark is UTF-8; any other is read in the given
// encoding (never guessed from its bytes: many GBK texts are also valid UTF-8).
// On FALSE, strError holds the reason (GBK) for the user and the table is empty.
// Refused: a header of more than 100 names, a header without one of the 24 names, a header of
// more or fewer than 24 names, a quoted value without its closing quote or followed by other
// text, a record with another number of values than the header, a value holding a TAB, CR, LF or
// NUL (the data file could not keep it), bytes that are not valid in the encoding and a character
// that GBK cannot hold. Memory stays within a few times the file's size, whatever the lines hold.
BOOL ReadCsvStudents(std::string_view bytes, CMemTable& table, std::string& strError,
                     TextEncoding encoding = TextEncoding::Gbk);
