#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "core/StudentSchema.h"

class CMemTable;

// The record editor's acceptance rules as a pure function, shared by the editor and the CLI.
struct RecordCheckInput
{
    std::string values[STUDENT_FIELD_COUNT]; // the editor's values in record order (GBK)
    std::int32_t timeCSNY = 0;               // birth date as a time value
    std::int32_t timeBYSJ = 0;               // graduation date as a time value
    bool bAddMode = true;
    // Whether a student number is not stored yet (consulted in add mode only, for the last check);
    // without it every number is free.
    std::function<bool(const std::string&)> isStudentNumberFree;
};

// The same values viewed where they lie (a stored row's cells, say), with the answer to the last
// check known beforehand.
struct RecordCheckValues
{
    std::array<std::string_view, STUDENT_FIELD_COUNT> values;
    std::int32_t timeCSNY = 0;
    std::int32_t timeBYSJ = 0;
    bool bNumberTaken = false; // add mode: the student number is stored already
};

struct RecordCheckResult
{
    int nCheck = 0;                     // 1..23: the first failed check; 0: all passed
    int nField = -1;                    // the field the check is about (record order), -1 for none
    const char* lpcszMessage = nullptr; // the message (GBK) to show with the caption "帮助信息"
};

RecordCheckResult CheckStudentRecord(const RecordCheckInput& input);
RecordCheckResult CheckStudentRecord(const RecordCheckValues& values);
// The first failing check about one field, in the same order; the check that one of the two phone
// numbers is given is about both. Reads only the values those checks read.
RecordCheckResult CheckStudentField(const RecordCheckInput& input, int nField);

// FALSE as soon as a row of the students' table has this XSBSH, byte for byte.
BOOL IsStudentNumberFree(const CMemTable& students, const std::string& strNumber);

extern const char* const g_lpcszCheckCaption; // "帮助信息"
