#pragma once

#include <string>

#include "core/MemTable.h"
#include "platform/Types.h"

// The resource id of the embedded school directory (type "TXT"); the build embeds res/schools.txt under it.
constexpr int IDR_SCHOOL_DIRECTORY = 134;

// The school directory (code, name, province code per row), filled at start-up.
extern CMemTable g_memSchools;

// Fills the table from an embedded text resource (IDR_SCHOOL_DIRECTORY for the directory).
// On FALSE, strMessage holds the text to show with the caption g_lpcszSystemErrorCaption (GBK).
BOOL LoadResourceTable(int nId, const char* lpcszType, CMemTable& table, std::string& strMessage);
extern const char* const g_lpcszSystemErrorCaption; // "系统错误"

// Index of the first directory row whose code equals strCode exactly (no trimming), or -1.
int FindSchoolRow(const std::string& strCode);
