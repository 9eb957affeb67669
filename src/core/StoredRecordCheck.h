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
// few dates, and the C library's date arithmetic is the costliest step of a check.
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
    std::int32_t TimeOf(const std::string& strText);
    StoredRecordProblems CheckInput(const CMemTable& table, int nRow);

    std::unordered_map<std::string, std::int32_t> m_times;
    RecordCheckInput m_input;
};
