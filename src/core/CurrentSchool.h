#pragma once

#include <string>

#include "core/MemTable.h"

// The program-wide state of a session: the logged-in school's records and its code. The desktop
// program's login fills both (the CLI only the table); every list, search and save works on the table.
extern CMemTable g_memStudents;
extern std::string g_strSchoolCode;
