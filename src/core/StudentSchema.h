#pragma once

#include "core/DataSet.h"
#include "core/MemTable.h"
#include "platform/Types.h"

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
