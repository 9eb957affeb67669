#include "core/CurrentSchool.h"

CMemTable g_memStudents;
std::string g_strSchoolCode;
