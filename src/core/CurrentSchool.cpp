#include "core/CurrentSchool.h"

CMemTable g_memStudents;
