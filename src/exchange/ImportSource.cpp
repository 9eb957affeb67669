#include "exchange/ImportSource.h"

#include "core/DataFunc.h"
#include "core/ImportTable.h"
#include "core/MemTable.h"

namespace
{
// The workbook readers make records of the first sheet themselves for now; those records become
// the table's rows under a header of the field names.
BOOL ReadWorkbookTable(const std::string& strPath, std::string_view bytes, ExchangeFormat format, CImportTable& table,
                       std::string& strError, const ExchangeProgress& progress)
{
    CMemTable records;
    if (!ReadWorkbookStudents(strPath, bytes, format, records, strError, progress))
        return FALSE;
    table.SetSheet(std::string());
    table.BeginRow(1);
    for (int c = 0; c < STUDENT_FIELD_COUNT; ++c)
        table.SetText(c, g_studentFields[c].lpcszName);
    for (int r = 0; r < records.GetRowCount(); ++r)
    {
        table.BeginRow(r + 2);
        for (int c = 0; c < STUDENT_FIELD_COUNT; ++c)
            table.SetText(c, records.GetCell(r, c));
    }
    return TRUE;
}
} // namespace

BOOL ReadImportTable(const std::string& strPath, std::string_view bytes, ExchangeFormat format, TextEncoding encoding,
                     CImportTable& table, std::string& strError, const ExchangeProgress& progress)
{
    table.Clear();
    if (format == ExchangeFormat::Csv || format == ExchangeFormat::Unknown)
        return ReadCsvTable(bytes, table, strError, encoding);
    return ReadWorkbookTable(strPath, bytes, format, table, strError, progress);
}
