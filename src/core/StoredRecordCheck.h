#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/RecordCheck.h"

class CMemTable;

// Whether a coded field holds a code of its table (the salary band one of the four bands); a field
// without a table allows any value.
bool IsAllowedFieldValue(int nField, std::string_view value);

// What is wrong with one stored record: the record editor's first failing check, and every coded
// field (or salary band) whose value is not in its table, except the field that check is about.
struct StoredRecordProblems
{
    RecordCheckResult first;
    std::vector<int> badCodeFields; // record order

    bool Passes() const { return first.nCheck == 0 && badCodeFields.empty(); }
};

// Checks rows of a table with the 24 student columns in record order, as the record editor accepts
// a record. Keeps the time value of each distinct date text it has seen: a school's records share
// few dates, and the C library's date arithmetic is the costliest step of a check. Codes repeat
// from row to row too: a value the same as the last row's keeps that row's finding.
class CStoredRecordChecker
{
  public:
    // pTakenNumbers null: the editor's modify mode (no duplicate check). Otherwise add mode: a
    // student number in the set is a duplicate, and the row's number joins the set once checked.
    // REQUIRES: 0 <= nRow < table.GetRowCount().
    StoredRecordProblems Check(const CMemTable& table, int nRow,
                               std::unordered_set<std::string>* pTakenNumbers = nullptr);
    // Add mode with the answer known beforehand: whether the row's student number is taken.
    StoredRecordProblems Check(const CMemTable& table, int nRow, bool bNumberTaken);

  private:
    // The time value of a date field's last text.
    struct LastDate
    {
        std::int32_t time = 0;
        bool bKnown = false;
    };

    // The time value of the date field's text in m_kept.
    std::int32_t TimeOf(int nField, LastDate& last);
    bool IsAllowed(int nField);
    StoredRecordProblems CheckInput(const CMemTable& table, int nRow, bool bNumberTaken);

    std::unordered_map<std::string, std::int32_t> m_times;
    LastDate m_lastBirth;
    LastDate m_lastGraduation;
    std::string m_kept[STUDENT_FIELD_COUNT];      // the last row's coded and date values
    bool m_changed[STUDENT_FIELD_COUNT] = {};     // a coded or date value differs from the last row's
    bool m_lastAllowed[STUDENT_FIELD_COUNT] = {}; // the last row's value is in its table (false: not known)
};

// A failing row of the table and its problems.
struct RowProblems
{
    int nRow;
    StoredRecordProblems problems;
};

// Every failing row of the table in row order, each checked as CStoredRecordChecker checks it in
// the editor's modify mode (no duplicate check). A large table is checked in two halves at once.
std::vector<RowProblems> CheckStoredRecords(const CMemTable& table);
