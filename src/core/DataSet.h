#pragma once

// The built-in code tables. Codes and names are GBK byte strings; table order is meaningful
// (drop-down lists show it, every search walks it from row 0 and the first match wins).

struct CODEITEM
{
    const char* code;
    const char* name;
};

// A constant array of code items with its row count.
struct CODETABLE
{
    const CODEITEM* pItems;
    int nCount;
};

extern const CODETABLE g_codeMajors;          // 1597 rows, ZYDM
extern const CODETABLE g_codeSexes;           // 2, XBDM
extern const CODETABLE g_codeEducations;      // 18, XLDM
extern const CODETABLE g_codeLanguages;       // 138, ZXWYYZDM
extern const CODETABLE g_codeLanguageLevels;  // 6, WYSPDM
extern const CODETABLE g_codeProvinces;       // 32, SYSZDQDM and the editor value YXGZSF
extern const CODETABLE g_codePoliticalStatus; // 13, ZZMMDM
extern const CODETABLE g_codeRegions;         // 338, YXGZDQDM
extern const CODETABLE g_codeEmployerTypes;   // 9, YXDWXZDM
extern const CODETABLE g_codeIndustries;      // 29, YXDWHYDM
extern const CODETABLE g_codeJobCategories;   // 35, YXZYLBM
extern const CODETABLE g_codeGrassroots;      // 10, JICENG

// The four salary bands of YXYX, in list order (the second and third end in one space).
extern const char* const g_szSalaryBands[4];
