#pragma once

// The table engine's failure texts (GBK).
namespace MemTableText
{
extern const char kNoMemoryCopy[];       // a text load could not copy its text
extern const char kNoMemoryNames[];      // no room for the column names
extern const char kTooManyColumns[];     // a header with more than 100 names
extern const char kNoMemoryCells[];      // no room for the cells
extern const char kRowWithoutLineEnd[];  // row %d has no line end (printf format)
extern const char kLoadFailed[];         // the fatal end of a text load (ASCII, with its trailing blank)
extern const char kNoMemoryAddRows[];    // no room for more rows
extern const char kNoMemoryDeleteRows[]; // no room to buffer the rows kept by a delete
extern const char kNoMemoryAppend[];     // no room to append a table
extern const char kNoBlock[];            // no block with the mark
extern const char kEmptyColumnName[];    // a block with an empty column name
extern const char kBinaryReport[];       // the report of a rejected block (printf format: line, mark, reason)
extern const char kBinaryFatalReport[];  // the report of a block load that failed outright (line, mark)
extern const char kBinaryFailed[];       // the fatal end of a block load
extern const char kBlockPastBuffer[];    // a block reaching past the buffer
extern const char kBlockBadCount[];      // a block with an invalid count, offset or length
extern const char kBlockLongMark[];      // a block mark longer than 8 bytes
extern const char kBlockUnknownType[];   // a block with an unknown column type
} // namespace MemTableText
