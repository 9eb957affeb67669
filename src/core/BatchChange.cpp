#include "core/BatchChange.h"

#include <algorithm>

#include "core/DateText.h"
#include "core/RecordCheck.h"
#include "core/SchoolDirectory.h"
#include "core/StoredRecordCheck.h"
#include "core/StudentSchema.h"

namespace
{
// The editor's input for a row after the change, as far as the checks about the field read it:
// the new value, its date, and the other phone number of the row (one of the two is required).
RecordCheckInput InputAfterChange(const CMemTable& table, int nRow, const FieldChange& change)
{
    RecordCheckInput input;
    input.bAddMode = false;
    input.values[Field::LXDH] = table.GetCell(nRow, Field::LXDH);
    input.values[Field::SJHM] = table.GetCell(nRow, Field::SJHM);
    input.values[change.nField] = change.strValue;
    input.timeCSNY = change.nField == Field::CSNY ? ParseDateText(change.strValue) : 0;
    input.timeBYSJ = change.nField == Field::BYSJ ? ParseDateText(change.strValue) : 0;
    return input;
}

bool DependsOnTheRow(int nField)
{
    return nField == Field::LXDH || nField == Field::SJHM;
}

const char* ValueNotAllowed(const FieldChange& change)
{
    const STUDENTFIELD& field = g_studentFields[change.nField];
    if (field.nMaxBytes > 0 && static_cast<int>(change.strValue.size()) > field.nMaxBytes)
        return "所填的值超过了该项的长度限制。";
    if (change.nField == Field::YXDM && FindSchoolRow(change.strValue) < 0)
        return "院校代码不正确，请检查。";
    if (!IsAllowedFieldValue(change.nField, change.strValue))
        return change.nField == Field::YXYX ? "所填的值不是可选的月薪档次。" : "所填的值不是代码表中的代码。";
    return nullptr;
}
} // namespace

bool CanChangeInBatch(int nField)
{
    return nField >= 0 && nField < STUDENT_FIELD_COUNT && nField != Field::XSBSH;
}

BatchCount CountBatchChange(const CMemTable& table, const std::vector<int>& rows, const FieldChange& change)
{
    BatchCount count;
    for (int nRow : rows)
    {
        if (change.strValue == table.GetCell(nRow, change.nField))
            ++count.nAlreadyHolding;
        else
            ++count.nChanging;
    }
    return count;
}

BatchCheckResult CheckBatchChange(const CMemTable& table, const std::vector<int>& rows, const FieldChange& change)
{
    BatchCheckResult result;
    // Only the phone numbers' check reads another field of the row; every other check gives each
    // row the same answer, so one row stands for all.
    const std::size_t nChecked = DependsOnTheRow(change.nField) ? rows.size() : std::min<std::size_t>(rows.size(), 1);
    for (std::size_t i = 0; i < nChecked; ++i)
    {
        const RecordCheckResult check = CheckStudentField(InputAfterChange(table, rows[i], change), change.nField);
        if (check.nCheck == 0)
            continue;
        if (result.lpcszMessage == nullptr)
            result.lpcszMessage = check.lpcszMessage;
        if (check.lpcszMessage == result.lpcszMessage)
            ++result.nFailingRows;
    }
    if (result.lpcszMessage != nullptr && !DependsOnTheRow(change.nField))
        result.nFailingRows = static_cast<int>(rows.size());
    if (result.lpcszMessage == nullptr && !rows.empty())
    {
        result.lpcszMessage = ValueNotAllowed(change);
        result.nFailingRows = result.lpcszMessage ? static_cast<int>(rows.size()) : 0;
    }
    return result;
}

std::vector<int> RowsThatChange(const CMemTable& table, const std::vector<int>& rows, const FieldChange& change)
{
    std::vector<int> changing;
    changing.reserve(rows.size());
    for (int nRow : rows)
    {
        if (change.strValue != table.GetCell(nRow, change.nField))
            changing.push_back(nRow);
    }
    return changing;
}

std::vector<std::string> ApplyBatchChange(CMemTable& table, const std::vector<int>& rows, const FieldChange& change)
{
    std::vector<std::string> previous;
    previous.reserve(rows.size());
    for (int nRow : rows)
    {
        previous.emplace_back(table.GetCell(nRow, change.nField));
        table.SetCell(nRow, change.nField, change.strValue);
    }
    return previous;
}

void RevertBatchChange(CMemTable& table, const std::vector<int>& rows, int nField,
                       const std::vector<std::string>& previous)
{
    for (std::size_t i = 0; i < rows.size() && i < previous.size(); ++i)
        table.SetCell(rows[i], nField, previous[i]);
}
