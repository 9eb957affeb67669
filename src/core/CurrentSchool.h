#pragma once

#include "core/MemTable.h"

// The program-wide state of a session: the logged-in school's records. The desktop program's login
// and the CLI's commands fill it; every list, search and save works on it.
extern CMemTable g_memStudents;
