#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

// A merged range of a sheet: 0-based rows and columns, both ends included.
struct MergedRange
{
    int nFirstRow, nLastRow, nFirstCol, nLastCol;
};

// The merged ranges of each worksheet of an .xls file (the file's bytes), by the sheet's name in
// UTF-8, read from the workbook's own records: the library that reads the cells does not tell
// them. Files of the format before 1997 have none. False when the records are damaged.
bool ReadXlsMergedCells(std::string_view file, std::map<std::string, std::vector<MergedRange>>& merges);
