#pragma once

#include <string>

// Where a school's files lie, all under the program directory, and which paths are the program's own.

// "<program directory>/<code>.db"; empty when the path would exceed 260 bytes with its
// terminating zero (last error 8) or the program directory is unknown (last error 3).
std::string GetSchoolDatabasePath(const std::string& strCode);
// "<program directory>/<code>.lock": the file whose lock makes one writer per school.
std::string GetSchoolLockPath(const std::string& strCode);
// Whether the path (links resolved) is one of the program's own files, which an export must never
// replace: a data file, lock file or temporary file in the data folder, anything under its
// backup/ folder, or the school's data file wherever its link leads.
bool IsProgramDataFile(const std::string& strPath, const std::string& strCode);
// "<program directory>/backup/<code>"; empty (last error set) when the program directory is unknown.
std::string GetBackupDirectory(const std::string& strCode);
