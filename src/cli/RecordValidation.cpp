#include "cli/RecordValidation.h"

#include "cli/CliOutput.h"
#include "core/DataFunc.h"
#include "core/StoredRecordCheck.h"

namespace
{
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

// Appends the lines of a failing row.
void AppendProblems(const CMemTable& table, int nRow, const StoredRecordProblems& problems, std::string& strReport)
{
    const int nRecord = nRow + 1;
    if (problems.first.nCheck != 0)
        AppendLine(nRecord, problems.first.nField, TerminalText(problems.first.lpcszMessage), strReport);
    for (int nField : problems.badCodeFields)
        AppendLine(nRecord, nField, NotAllowedMessage(nField, table.GetCell(nRow, nField)), strReport);
}
} // namespace

int CheckRecords(const CMemTable& table, std::string& strReport)
{
    // The rows are checked apart from one another (on two threads for a large table); the lines
    // are made here, in row order.
    const std::vector<RowProblems> failing = CheckStoredRecords(table);
    for (const RowProblems& row : failing)
        AppendProblems(table, row.nRow, row.problems, strReport);
    return static_cast<int>(failing.size());
}
