#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The bounds every workbook reader keeps, so that no file, however it was made, costs more than
// a few seconds and a few hundred megabytes to read or to refuse.

// The longest text a cell may hold: far above the longest value any record field can store (a few
// hundred bytes), so only a file made to harm is refused, and a cell never costs more than this.
constexpr std::size_t kMaxCellText = 64 * 1024;

// The unpacked bytes read from one workbook, all its parts together: a zip archive may unpack to
// a thousand times its size, and reading is about as fast as unpacking.
constexpr std::uint64_t kMaxUnpackedBytes = std::uint64_t{512} << 20;

// The most XML a part may hold without handing anything on: a tag, comment or declaration this
// long is made to harm, and the parser would hold all of it.
constexpr std::uint64_t kMaxMarkup = std::uint64_t{4} << 20;

// The largest sheet spreadsheet programs make: rows and columns beyond are refused, not counted.
constexpr int kMaxRows = 1 << 20;
constexpr int kMaxColumns = 1 << 14;

// How much the repeat counts of one workbook may add, each copy of a cell with a value counting
// as its text's bytes and 16 more: files store equal neighbours once, and a hostile count would
// otherwise make a billion cells of one. Empty cells and rows repeated cost nothing.
constexpr std::uint64_t kMaxRepeatedBytes = std::uint64_t{256} << 20;
constexpr std::uint64_t kRepeatedCellCost = 16;

// The cell's name in the letters spreadsheet programs show ("B3" for row 2, column 1; 0-based).
std::string CellName(int nRow, int nCol);

// The messages of the bounds (GBK; the names as read, UTF-8), for the reader to put behind its
// file's name.
std::string CellTooLongProblem(const std::string& strSheet, int nRow, int nCol);
std::string PartTooLargeProblem(const std::string& strPart);
std::string RepeatsTooLargeProblem(const std::string& strSheet, std::int64_t nRow);
std::string BeyondSheetProblem(const std::string& strSheet);
