#include "core/ImportReport.h"

#include <algorithm>

#include "core/ImportRecords.h"
#include "core/ImportTable.h"

std::string ImportPlace(const CImportTable& table, int nFileRow)
{
    const std::string strRow = "第" + std::to_string(nFileRow) + "行";
    return table.IsWorkbook() ? "工作表“" + table.SheetName() + "”" + strRow : "文件" + strRow;
}

std::string FirstCheckText(const CImportPreview::Failing& failing)
{
    return failing.problems.first.lpcszMessage ? failing.problems.first.lpcszMessage : "";
}

std::string BadValuesText(const ImportedRecords& records, const CImportPreview::Failing& failing)
{
    const auto found = records.ambiguous.find(failing.nRecord);
    const std::vector<ImportedRecords::Ambiguous> none;
    const std::vector<ImportedRecords::Ambiguous>& ambiguous = found == records.ambiguous.end() ? none : found->second;
    std::string strText;
    for (int nField : failing.problems.badCodeFields)
    {
        if (std::none_of(ambiguous.begin(), ambiguous.end(), [&](const auto& value) { return value.nField == nField; }))
            strText += (strText.empty() ? "" : "；") + std::string(g_studentFields[nField].lpcszListLabel) + "：" +
                       records.table.GetCell(failing.nRecord, nField);
    }
    for (const ImportedRecords::Ambiguous& value : ambiguous)
        strText += (strText.empty() ? "" : "；") + value.strText;
    return strText;
}

std::string FailingRecordLine(const CImportTable& table, const ImportedRecords& records,
                              const CImportPreview::Failing& failing)
{
    const int nRecord = failing.nRecord;
    std::string strLine = ImportPlace(table, records.fileRows[static_cast<std::size_t>(nRecord)]) + "，学号" +
                          records.table.GetCell(nRecord, Field::XSBSH) + "，姓名" +
                          records.table.GetCell(nRecord, Field::XM) + "：" + FirstCheckText(failing);
    const std::string strBad = BadValuesText(records, failing);
    if (!strBad.empty())
        strLine += (FirstCheckText(failing).empty() ? "" : "；") + std::string("代码不对：") + strBad;
    return strLine;
}
