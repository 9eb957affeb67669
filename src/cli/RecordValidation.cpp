#include "cli/RecordValidation.h"

#include <array>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "cli/CliOutput.h"
#include "core/DataFunc.h"
#include "core/RecordCheck.h"

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

    bool IsRestricted(int nField) const { return !m_values[nField].empty(); }
    bool Allows(int nField, std::string_view value) const { return m_values[nField].count(value) != 0; }

  private:
    std::array<std::unordered_set<std::string_view>, STUDENT_FIELD_COUNT> m_values;
};

// ParseDateText of each distinct date text once: a school's records share few dates, and turning
// a date into a time value through the C library is the costliest step of a record's check.
class CDateCache
{
  public:
    std::int32_t TimeOf(const std::string& strText)
    {
        const auto [it, bInserted] = m_times.try_emplace(strText, 0);
        if (bInserted)
            it->second = ParseDateText(strText);
        return it->second;
    }

  private:
    std::unordered_map<std::string, std::int32_t> m_times;
};

void AppendLine(int nRecord, int nField, const std::string& strMessageUtf8, std::string& strReport)
{
    const STUDENTFIELD& field = g_studentFields[nField];
    strReport += "第" + std::to_string(nRecord) + "条记录，“" + TerminalText(field.lpcszListLabel) + "”（" +
                 field.lpcszName + "）：" + strMessageUtf8 + "\n";
}

std::string NotAllowedMessage(int nField, const std::string& strValue)
{
    const char* lpcszWhat = nField == Field::YXYX ? "不是可选的月薪档次。" : "不是代码表中的代码。";
    return "“" + TerminalText(strValue) + "”" + lpcszWhat;
}

// Appends the row's lines; true when the row passes.
bool CheckRow(const CMemTable& table, int nRow, const CAllowedValues& allowed, CDateCache& dates,
              std::unordered_set<std::string>* pTakenNumbers, std::string& strReport)
{
    RecordCheckInput input;
    for (int nField = 0; nField < STUDENT_FIELD_COUNT; ++nField)
        input.values[nField] = table.GetCell(nRow, nField);
    input.timeCSNY = dates.TimeOf(input.values[Field::CSNY]);
    input.timeBYSJ = dates.TimeOf(input.values[Field::BYSJ]);
    input.bAddMode = pTakenNumbers != nullptr;
    if (pTakenNumbers != nullptr)
        input.isStudentNumberFree = [&](const std::string& strNumber) { return pTakenNumbers->count(strNumber) == 0; };

    const int nRecord = nRow + 1;
    const RecordCheckResult result = CheckStudentRecord(input);
    bool bPasses = result.nCheck == 0;
    if (!bPasses)
        AppendLine(nRecord, result.nField, TerminalText(result.lpcszMessage), strReport);
    for (int nField = 0; nField < STUDENT_FIELD_COUNT; ++nField)
    {
        const std::string& strValue = input.values[nField];
        if (nField == result.nField || !allowed.IsRestricted(nField) || allowed.Allows(nField, strValue))
            continue;
        AppendLine(nRecord, nField, NotAllowedMessage(nField, strValue), strReport);
        bPasses = false;
    }
    if (pTakenNumbers != nullptr)
        pTakenNumbers->insert(input.values[Field::XSBSH]);
    return bPasses;
}
} // namespace

int CheckRecords(const CMemTable& table, std::unordered_set<std::string>* pTakenNumbers, std::string& strReport)
{
    static const CAllowedValues allowed;
    CDateCache dates;
    int nFailing = 0;
    for (int nRow = 0; nRow < table.GetRowCount(); ++nRow)
    {
        if (!CheckRow(table, nRow, allowed, dates, pTakenNumbers, strReport))
            ++nFailing;
    }
    return nFailing;
}
