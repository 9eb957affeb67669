#include "exchange/StudentsFile.h"

#include <utility>

#include "core/ImportTable.h"
#include "core/SchoolDatabase.h"
#include "core/SchoolPaths.h"
#include "exchange/ImportSource.h"
#include "exchange/WorkbookImport.h"
#include "platform/Encoding.h"
#include "platform/FileSystem.h"
#include "platform/LastError.h"

namespace
{
BOOL RunWork(const ExchangeRunner& runner, const ExchangeWork& work)
{
    return runner ? runner(work) : work({});
}

ExchangeOutcome Fault(ExchangeFault fault, DWORD dwCode = ERROR_SUCCESS, std::string strError = {})
{
    return {fault, dwCode, std::move(strError)};
}

// The CSV text handed to the file layer a block at a time as it is made, in GBK or as UTF-8
// with its byte-order mark.
ExchangeOutcome WriteCsvFile(const std::string& strPath, const CMemTable& table, TextEncoding encoding)
{
    const bool bUtf8 = encoding == TextEncoding::Utf8;
    bool bUnconvertible = false;
    const ContentWriter content = [&](const WriteFunction& write) {
        if (bUtf8)
            if (const DWORD dwCode = write(Encoding::kUtf8ByteOrderMark); dwCode != ERROR_SUCCESS)
                return dwCode;
        return WriteCsvInBlocks(table, [&](std::string& strBlock) {
            if (!bUtf8)
                return write(strBlock);
            const std::optional<std::string> strUtf8 = Encoding::GbkToUtf8(strBlock);
            bUnconvertible = !strUtf8;
            return strUtf8 ? write(*strUtf8) : ERROR_INVALID_DATA;
        });
    };
    const DWORD dwCode = ReplaceFileAtomically(strPath, content);
    if (bUnconvertible)
        return Fault(ExchangeFault::Unconvertible, ERROR_INVALID_DATA);
    if (dwCode != ERROR_SUCCESS)
        return Fault(ExchangeFault::File, dwCode);
    return {};
}

ExchangeOutcome WriteWorkbookFile(const std::string& strPath, const CMemTable& table,
                                  const StudentsFileWriting& writing)
{
    std::string strBytes, strError;
    if (!RunWork(writing.runWorkbook, [&](const ExchangeProgress& progress) {
            return BuildStudentWorkbook(table, strBytes, strError, writing.sheets, progress);
        }))
        return Fault(ExchangeFault::Build, ERROR_INVALID_DATA, std::move(strError));
    if (const DWORD dwCode = ReplaceFileAtomically(strPath, strBytes); dwCode != ERROR_SUCCESS)
        return Fault(ExchangeFault::File, dwCode);
    return {};
}
} // namespace

ExchangeOutcome ReadStudentsFile(const std::string& strPath, CImportTable& table, const StudentsFileReading& reading)
{
    table.Clear();
    std::string strBytes;
    if (const DWORD dwCode = ReadRegularFile(strPath, strBytes); dwCode != ERROR_SUCCESS)
        return Fault(ExchangeFault::File, dwCode);
    const ExchangeFormat format = FormatOfPath(strPath);
    std::string strError;
    BOOL bRead = FALSE;
    if (format == ExchangeFormat::Csv || format == ExchangeFormat::Unknown)
    {
        const std::optional<TextEncoding> encoding =
            reading.encodingOf ? reading.encodingOf(strBytes) : std::optional(TextEncoding::Gbk);
        if (!encoding)
            return Fault(ExchangeFault::Cancelled);
        bRead = ReadCsvTable(std::move(strBytes), table, strError, *encoding); // the table keeps the bytes
    }
    else
        bRead = RunWork(reading.runWorkbook, [&](const ExchangeProgress& progress) {
            return ReadImportTable(strPath, strBytes, format, TextEncoding::Gbk, table, strError, progress);
        });
    if (!bRead)
        return Fault(ExchangeFault::Format, ERROR_INVALID_DATA, std::move(strError));
    return {};
}

ExchangeOutcome WriteStudentsFile(const std::string& strPath, const CMemTable& table,
                                  const StudentsFileWriting& writing)
{
    if (IsProgramDataFile(strPath, writing.strSchoolCode))
        return Fault(ExchangeFault::DataFile, ERROR_ACCESS_DENIED);
    if (FormatOfPath(strPath) == ExchangeFormat::Xlsx)
        return WriteWorkbookFile(strPath, table, writing);
    return WriteCsvFile(strPath, table, writing.csvEncoding);
}
