#pragma once

#include <string>

#include "core/MemTable.h"
#include "platform/Types.h"

// "<program directory>/<code>.db"; empty when the path would exceed 260 bytes with its
// terminating zero (last error 8) or the program directory is unknown (last error 3).
std::string GetSchoolDatabasePath(const std::string& strCode);
// Loads the school's records; a missing file, or one of 6 bytes or less, gives an empty table.
// FALSE: GetLastError() holds the code; the table is unchanged, except after a file whose text
// does not parse (ERROR_INVALID_DATA), which leaves it empty with the student columns.
BOOL LoadSchoolDatabase(const std::string& strCode, const std::string& strPassword, CMemTable& table);
// Writes the whole table scrambled with the password; the previous file survives any failure.
BOOL SaveSchoolDatabase(const std::string& strCode, const CMemTable& table, const std::string& strPassword);
