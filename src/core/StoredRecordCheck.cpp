#include "core/StoredRecordCheck.h"

#include <array>
#include <cstring>
#include <iterator>
#include <string_view>
#include <utility>
#include <vector>

#include "core/DataSet.h"
#include "core/DateText.h"
#include "core/StudentSchema.h"
#include "core/TwoHalves.h"

namespace
{
// The values a coded field (or the salary band) may hold; empty for a free-text field.
class CAllowedValues
{
  public:
    CAllowedValues()
    {
        for (int nField = 0; nField < STUDENT_FIELD_COUNT; ++nField)
        {
            if (const CODETABLE* pTable = g_studentFields[nField].pTable)
            {
                for (int i = 0; i < pTable->nCount; ++i)
                    m_values[nField].insert(pTable->pItems[i].code);
            }
        }
        m_values[Field::YXYX].insert(std::begin(g_szSalaryBands), std::end(g_szSalaryBands));
        for (int nField = 0; nField < STUDENT_FIELD_COUNT; ++nField)
        {
            if (!AllowsAny(nField))
                m_codedFields.push_back(nField);
        }
    }

    bool AllowsAny(int nField) const { return m_values[nField].empty(); }
    // The fields that do not allow any value, ascending.
    const std::vector<int>& CodedFields() const { return m_codedFields; }

    bool Allows(int nField, std::string_view value) const
    {
        return AllowsAny(nField) || m_values[nField].count(value) != 0;
    }

  private:
    std::array<std::unordered_set<std::string_view>, STUDENT_FIELD_COUNT> m_values;
    std::vector<int> m_codedFields;
};

const CAllowedValues& Allowed()
{
    static const CAllowedValues allowed;
    return allowed;
}
} // namespace

bool IsAllowedFieldValue(int nField, std::string_view value)
{
    return Allowed().Allows(nField, value);
}

std::int32_t CStoredRecordChecker::TimeOf(int nField, LastDate& last)
{
    if (last.bKnown && !m_changed[nField])
        return last.time;
    const std::string& strText = m_kept[nField];
    const auto [it, bInserted] = m_times.try_emplace(strText, 0);
    if (bInserted)
        it->second = ParseDateText(strText);
    last = {it->second, true};
    return it->second;
}

bool CStoredRecordChecker::IsAllowed(int nField)
{
    if (m_changed[nField] || !m_lastAllowed[nField])
        m_lastAllowed[nField] = Allowed().Allows(nField, m_kept[nField]);
    return m_lastAllowed[nField];
}

StoredRecordProblems CStoredRecordChecker::Check(const CMemTable& table, int nRow,
                                                 std::unordered_set<std::string>* pTakenNumbers)
{
    const std::string strNumber = pTakenNumbers != nullptr ? table.GetCell(nRow, Field::XSBSH) : "";
    StoredRecordProblems problems =
        CheckInput(table, nRow, pTakenNumbers != nullptr && pTakenNumbers->count(strNumber) != 0);
    if (pTakenNumbers != nullptr)
        pTakenNumbers->insert(strNumber);
    return problems;
}

StoredRecordProblems CStoredRecordChecker::Check(const CMemTable& table, int nRow, bool bNumberTaken)
{
    return CheckInput(table, nRow, bNumberTaken);
}

StoredRecordProblems CStoredRecordChecker::CheckInput(const CMemTable& table, int nRow, bool bNumberTaken)
{
    RecordCheckValues values;
    const CAllowedValues& allowed = Allowed();
    for (int nField = 0; nField < STUDENT_FIELD_COUNT; ++nField)
    {
        const char* lpcszCell = table.GetCell(nRow, nField);
        // Only a date's or a code's finding is kept for the next row: other texts are viewed in place.
        if (allowed.AllowsAny(nField) && nField != Field::CSNY && nField != Field::BYSJ)
        {
            values.values[static_cast<std::size_t>(nField)] = lpcszCell;
            continue;
        }
        std::string& strKept = m_kept[nField];
        m_changed[nField] = std::strcmp(lpcszCell, strKept.c_str()) != 0;
        if (m_changed[nField])
            strKept.assign(lpcszCell);
        values.values[static_cast<std::size_t>(nField)] = strKept;
    }
    values.timeCSNY = TimeOf(Field::CSNY, m_lastBirth);
    values.timeBYSJ = TimeOf(Field::BYSJ, m_lastGraduation);
    values.bNumberTaken = bNumberTaken;

    StoredRecordProblems problems;
    problems.first = CheckStudentRecord(values);
    for (const int nField : allowed.CodedFields())
    {
        // Looked up for every coded field, so that the next row may rely on this row's finding.
        if (!IsAllowed(nField) && nField != problems.first.nField)
            problems.badCodeFields.push_back(nField);
    }
    return problems;
}

std::vector<RowProblems> CheckStoredRecords(const CMemTable& table)
{
    // Each half has a checker of its own: what one remembers of its last row is no concern of the other.
    const auto checkRows = [&table](int nFirst, int nEnd, std::vector<RowProblems>& failing) {
        CStoredRecordChecker checker;
        for (int nRow = nFirst; nRow < nEnd; ++nRow)
        {
            StoredRecordProblems problems = checker.Check(table, nRow);
            if (!problems.Passes())
                failing.push_back({nRow, std::move(problems)});
        }
    };
    std::vector<RowProblems> failing, secondHalf;
    InTwoHalves(table.GetRowCount(), failing, secondHalf, checkRows);
    failing.insert(failing.end(), std::make_move_iterator(secondHalf.begin()),
                   std::make_move_iterator(secondHalf.end()));
    return failing;
}
