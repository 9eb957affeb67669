#include "core/StoredRecordCheck.h"

#include <array>
#include <iterator>
#include <string_view>

#include "core/DataSet.h"
#include "core/DateText.h"
#include "core/StudentSchema.h"

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
    }

    bool Allows(int nField, std::string_view value) const
    {
        return m_values[nField].empty() || m_values[nField].count(value) != 0;
    }

  private:
    std::array<std::unordered_set<std::string_view>, STUDENT_FIELD_COUNT> m_values;
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

std::int32_t CStoredRecordChecker::TimeOf(const std::string& strText)
{
    const auto [it, bInserted] = m_times.try_emplace(strText, 0);
    if (bInserted)
        it->second = ParseDateText(strText);
    return it->second;
}

StoredRecordProblems CStoredRecordChecker::Check(const CMemTable& table, int nRow,
                                                 std::unordered_set<std::string>* pTakenNumbers)
{
    m_input.bAddMode = pTakenNumbers != nullptr;
    m_input.isStudentNumberFree = nullptr;
    if (pTakenNumbers != nullptr)
        m_input.isStudentNumberFree = [pTakenNumbers](const std::string& strNumber) {
            return pTakenNumbers->count(strNumber) == 0;
        };
    StoredRecordProblems problems = CheckInput(table, nRow);
    if (pTakenNumbers != nullptr)
        pTakenNumbers->insert(m_input.values[Field::XSBSH]);
    return problems;
}

StoredRecordProblems CStoredRecordChecker::Check(const CMemTable& table, int nRow, bool bNumberTaken)
{
    m_input.bAddMode = true;
    m_input.isStudentNumberFree = [bNumberTaken](const std::string&) { return !bNumberTaken; };
    return CheckInput(table, nRow);
}

StoredRecordProblems CStoredRecordChecker::CheckInput(const CMemTable& table, int nRow)
{
    // One input for every row: its texts keep their room from row to row.
    RecordCheckInput& input = m_input;
    for (int nField = 0; nField < STUDENT_FIELD_COUNT; ++nField)
        input.values[nField].assign(table.GetCell(nRow, nField));
    input.timeCSNY = TimeOf(input.values[Field::CSNY]);
    input.timeBYSJ = TimeOf(input.values[Field::BYSJ]);

    StoredRecordProblems problems;
    problems.first = CheckStudentRecord(input);
    for (int nField = 0; nField < STUDENT_FIELD_COUNT; ++nField)
    {
        if (nField != problems.first.nField && !IsAllowedFieldValue(nField, input.values[nField]))
            problems.badCodeFields.push_back(nField);
    }
    return problems;
}
