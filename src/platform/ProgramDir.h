#pragma once

#include <string>

// The directory of the running program file (where the data files CODE.db and the user manual
// live), without a trailing slash. An empty text when it cannot be determined.
std::string GetProgramDirectory();

// Points GetProgramDirectory at another directory (tests use a temporary one); empty: the real one.
void SetProgramDirectory(const std::string& strDir);

// Directory for the diagnostic dump files of the table engine (the system temporary directory).
std::string GetDumpDirectory();
void SetDumpDirectory(const std::string& strDir);
