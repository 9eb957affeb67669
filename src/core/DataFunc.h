#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/DataSet.h"
#include "core/MemTable.h"
#include "platform/FileSystem.h"
#include "platform/Types.h"

// ---- The student record --------------------------------------------------------------------

constexpr int STUDENT_FIELD_COUNT = 24;

// Column indexes of the student record; the same everywhere (table, data file, CSV, lists, editor).
namespace Field
{
enum : int
{
    XSBSH,
    YXDM,
    ZYDM,
    XM,
    XBDM,
    CSNY,
    XLDM,
    ZXWYYZDM,
    BYSJ,
    SYSZDQDM,
    WYSPDM,
    DZXX,
    ZZMMDM,
    YXGZDQDM,
    YXDWXZDM,
    YXDWHYDM,
    YXYX,
    YXZYLBM,
    LXDH,
    SJHM,
    TXDZ,
    YZBM,
    BZ,
    JICENG
};
} // namespace Field

// One field of the student record. Texts are GBK.
struct STUDENTFIELD
{
    const char* lpcszName;        // "XSBSH"
    const char* lpcszListLabel;   // column title of every student list
    const char* lpcszEditorLabel; // label beside the editor's control
    int nMaxBytes;                // GBK byte limit in the editor; 0 for lists and dates
    const CODETABLE* pTable;      // code table of a coded field, else null
};

// The 24 fields in record order.
extern const STUDENTFIELD g_studentFields[STUDENT_FIELD_COUNT];

// The header line of the student table: the 24 names separated by TAB, ended by CR LF.
extern const char* const g_lpcszStudentColumns;

// Gives the table the 24 student columns and no rows; the result of its Load.
BOOL CreateStudentTable(CMemTable& table);

// ---- Dates ---------------------------------------------------------------------------------

// "%d-%d-%d" to local midnight (tm_isdst = 0) as seconds since 1970; 0 when not greater than 0.
std::int32_t ParseDateText(const std::string& strText);
// The local calendar date of the time value as "%Y-%m-%d".
std::string FormatDateText(std::int32_t nTime);

// ---- Code tables and conversions ------------------------------------------------------------

void BuildMajorCategories();
// Display text to stored code for a field (bindings tried in order, names ASCII case-insensitive).
std::string LookupFieldCode(const std::string& strText, const char* lpcszField);
// Stored code to display name (ASCII case-insensitive); the code itself when not found or no table.
std::string LookupCodeName(const std::string& strCode, const CODETABLE* pTable);
// Code of the row with exactly this name, or the empty text.
std::string FindCodeByName(const std::string& strName, const CODETABLE& table);
// The rows whose code begins with the prefix (all rows for an empty prefix), in table order.
std::vector<const CODEITEM*> RowsWithPrefix(const CODETABLE& table, std::string_view prefix);
// The cascades of the editor's lists: the regions of a province and the majors of a category,
// both given by display name (a name not in its table selects every row).
std::vector<const CODEITEM*> RegionsOfProvince(const std::string& strProvinceName);
std::vector<const CODEITEM*> MajorsOfCategory(const std::string& strCategoryName);
// Editor values derived from a record, as display names: the work province (YXGZSF) of a
// region code and the major category (ZYDLDM) of a major code; the looked-up code when the
// table has no such row ("00000" for the region "0").
std::string DeriveWorkProvince(const std::string& strRegionCode);
std::string DeriveMajorCategory(const std::string& strMajorCode);

// ---- School directory ------------------------------------------------------------------------

extern CMemTable g_memSchools;
extern CMemTable g_memStudents;
extern std::string g_strSchoolCode;

// Fills the table from the embedded text resource (id 134, type "TXT" for the directory).
// On FALSE, strMessage holds the text to show with the caption "系统错误" (GBK).
BOOL LoadResourceTable(int nId, const char* lpcszType, CMemTable& table, std::string& strMessage);
extern const char* const g_lpcszSystemErrorCaption; // "系统错误"

// Index of the first directory row whose code equals strCode exactly (no trimming), or -1.
int FindSchoolRow(const std::string& strCode);

// ---- School data file ------------------------------------------------------------------------

// "<program directory>/<code>.db"; empty when the path would exceed 260 bytes with its
// terminating zero (last error 8) or the program directory is unknown (last error 3).
std::string GetSchoolDatabasePath(const std::string& strCode);
// "<program directory>/<code>.lock": the file whose lock makes one writer per school.
std::string GetSchoolLockPath(const std::string& strCode);
// Whether the path (links resolved) is one of the program's own files, which an export must never
// replace: a data file, lock file or temporary file in the data folder, anything under its
// backup/ folder, or the school's data file wherever its link leads.
bool IsProgramDataFile(const std::string& strPath, const std::string& strCode);
// Loads the school's records; a missing file, or one of 6 bytes or less, gives an empty table.
// FALSE: GetLastError() holds the code; the table is unchanged, except after a file whose text
// does not parse (ERROR_INVALID_DATA), which leaves it empty with the student columns. A header
// line that does not name all 24 fields is ERROR_INVALID_PASSWORD; text that does not end in CR LF
// or holds a NUL byte is ERROR_FILE_CORRUPT. While g_schoolSession holds the school, the loaded
// file's identity is remembered there.
BOOL LoadSchoolDatabase(const std::string& strCode, const std::string& strPassword, CMemTable& table);
// LoadSchoolDatabase on a data file at any path (a backup), with the same rules and codes;
// pIdentity (optional) receives the identity of the file read (bExists false when missing).
BOOL LoadDatabaseFile(const std::string& strPath, const std::string& strPassword, CMemTable& table,
                      FileIdentity* pIdentity = nullptr);
// The same on the file's bytes, already read.
BOOL LoadDatabaseBytes(std::string strBytes, const std::string& strPassword, CMemTable& table);
// Writes the whole table scrambled with the password; the previous file survives any failure.
// The file it replaces is kept as a backup first (see SchoolBackups.h); a backup that cannot be
// made does not stop the save, and GetLastBackupError() then gives its code.
// Every save of a data file passes here. A new file gets mode 0600, an existing one keeps its mode;
// a read-only file is refused (ERROR_FILE_READ_ONLY). While g_schoolSession holds the school, a
// file no longer the one loaded or saved last is refused (ERROR_FILE_INVALID).
BOOL SaveSchoolDatabase(const std::string& strCode, const CMemTable& table, const std::string& strPassword);
// The last step of every save: writes the data file's bytes (scrambled already) with the rules
// above, keeping the file replaced as a backup. 0, or the code of the failure.
DWORD WriteSchoolFileBytes(const std::string& strCode, std::string_view bytes);
