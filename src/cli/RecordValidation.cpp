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

// Appends the row's lines; true when the row passes.
bool CheckRow(const CMemTable& table, int nRow, CStoredRecordChecker& checker,
              std::unordered_set<std::string>* pTakenNumbers, std::string& strReport)
{
    const StoredRecordProblems problems = checker.Check(table, nRow, pTakenNumbers);
    const int nRecord = nRow + 1;
    if (problems.first.nCheck != 0)
        AppendLine(nRecord, problems.first.nField, TerminalText(problems.first.lpcszMessage), strReport);
    for (int nField : problems.badCodeFields)
        AppendLine(nRecord, nField, NotAllowedMessage(nField, table.GetCell(nRow, nField)), strReport);
    return problems.Passes();
}
} // namespace

int CheckRecords(const CMemTable& table, std::unordered_set<std::string>* pTakenNumbers, std::string& strReport)
{
    CStoredRecordChecker checker;
    int nFailing = 0;
    for (int nRow = 0; nRow < table.GetRowCount(); ++nRow)
    {
        if (!CheckRow(table, nRow, checker, pTakenNumbers, strReport))
            ++nFailing;
    }
    return nFailing;
}
