#include "exchange/WorkbookImport.h"

#include <algorithm>
#include <cctype>

#include "core/ImportRecords.h"
#include "core/ImportTable.h"
#include "core/MemTable.h"
#include "core/StudentImport.h"
#include "exchange/ImportSource.h"
#include "exchange/OdsImport.h"
#include "exchange/XlsImport.h"
#include "exchange/XlsxImport.h"

namespace
{
const char kUnknownType[] = "不认识的文件类型：请选择 .csv、.xlsx、.ods 或 .xls 文件。";
} // namespace

ExchangeFormat FormatOfPath(const std::string& strPath)
{
    const std::size_t nDot = strPath.rfind('.');
    if (nDot == std::string::npos || strPath.find('/', nDot) != std::string::npos)
        return ExchangeFormat::Unknown;
    std::string strExtension = strPath.substr(nDot + 1);
    std::transform(strExtension.begin(), strExtension.end(), strExtension.begin(),
                   [](char ch) { return static_cast<char>(std::tolower(static_cast<unsigned char>(ch))); });
    if (strExtension == "csv")
        return ExchangeFormat::Csv;
    if (strExtension == "xlsx")
        return ExchangeFormat::Xlsx;
    if (strExtension == "ods")
        return ExchangeFormat::Ods;
    if (strExtension == "xls")
        return ExchangeFormat::Xls;
    return ExchangeFormat::Unknown;
}

BOOL ReadWorkbookSheets(const std::string&, std::string_view bytes, ExchangeFormat format, ISheetSink& sink,
                        std::string& strError, const ExchangeProgress& progress)
{
    switch (format)
    {
    case ExchangeFormat::Xlsx:
        return ReadXlsxSheets(bytes, sink, strError, progress);
    case ExchangeFormat::Ods:
        return ReadOdsSheets(bytes, sink, strError, progress);
    case ExchangeFormat::Xls:
        return ReadXlsSheets(bytes, sink, strError);
    default:
        return FailWithMessage(strError, kUnknownType);
    }
}

BOOL ReadWorkbookStudents(const std::string& strPath, std::string_view bytes, ExchangeFormat format, CMemTable& table,
                          std::string& strError, const ExchangeProgress& progress)
{
    table.Clear();
    if (format == ExchangeFormat::Csv || format == ExchangeFormat::Unknown) // the reader below would take it as CSV
        return FailWithMessage(strError, kUnknownType);
    CImportTable cells;
    return ReadImportTable(strPath, bytes, format, TextEncoding::Gbk, cells, strError, progress) &&
           MakeStudentTable(cells, table, strError, "工作簿中没有一个工作表的标题行写全了24个字段。");
}
