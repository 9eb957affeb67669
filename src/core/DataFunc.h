#pragma once

// Everything the program knows about students, schools and code tables, in one include.
#include "core/CodeLookup.h"
#include "core/DateText.h"
#include "core/SchoolDatabase.h"
#include "core/SchoolDirectory.h"
#include "core/SchoolPaths.h"
#include "core/StudentSchema.h"
