#pragma once

#include "core/MemTable.h"

// The storage of the students' table of the school the program works on. Only the open school
// (OpenSchool.h) refers to it; the rest of the program reaches the records through that object.
extern CMemTable g_memStudents;
