#include "exchange/CsvFile.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <vector>

#include "core/ColumnMapping.h"
#include "core/CsvValue.h"
#include "core/DataFunc.h"
#include "core/Gbk.h"
#include "core/ImportRecords.h"
#include "core/ImportTable.h"
#include "core/MemTable.h"
#include "core/MemTableTexts.h"
#include "core/StudentImport.h"
#include "platform/Encoding.h"

namespace
{
constexpr int kMaxColumns = 100; // the most names a table header may have

// ---- Export ------------------------------------------------------------------------------------

template <typename TextOfColumn> void AppendCsvLine(int nCols, TextOfColumn textOf, std::string& strOut)
{
    for (int c = 0; c < nCols; ++c)
    {
        if (c > 0)
            strOut += ',';
        AppendCsvValue(textOf(c), strOut);
    }
    strOut += "\r\n";
}

// ---- Import: splitting the text into records ----------------------------------------------------

// Splits CSV text into records. The bytes that give it structure (comma, quote, CR, LF) are ASCII,
// which is never part of a double-byte GBK character or of a UTF-8 sequence, so the walk goes by
// bytes in either encoding.
class CCsvReader
{
  public:
    enum class Status
    {
        Record,
        End,
        BadQuote
    };

    explicit CCsvReader(std::string_view text) : m_text(text) {}

    // Skips blank lines, then reads the next record, handing each value to onValue(column, text):
    // a plain value as a view of the text itself, a quoted one read back into a buffer of the reader.
    // nValues: how many values the record has.
    template <typename OnValue> Status ReadRecord(OnValue onValue, int& nValues);
    // The file line (from 1) on which the record last read begins.
    int RecordLine() const { return m_nRecordLine; }

  private:
    bool AtEnd() const { return m_nPos >= m_text.size(); }
    bool SkipLineEnd();
    bool ReadQuoted();
    std::string_view ReadPlain();

    std::string_view m_text;
    std::size_t m_nPos = 0;
    int m_nLine = 1;
    int m_nRecordLine = 0;
    std::string m_strQuoted;
};

// Consumes one line end (CR LF, LF or CR) at the position, if there is one.
bool CCsvReader::SkipLineEnd()
{
    if (AtEnd() || (m_text[m_nPos] != '\r' && m_text[m_nPos] != '\n'))
        return false;
    if (m_text[m_nPos] == '\r' && m_nPos + 1 < m_text.size() && m_text[m_nPos + 1] == '\n')
        ++m_nPos;
    ++m_nPos;
    ++m_nLine;
    return true;
}

template <typename OnValue> CCsvReader::Status CCsvReader::ReadRecord(OnValue onValue, int& nValues)
{
    while (SkipLineEnd())
    {
    }
    if (AtEnd())
        return Status::End;
    m_nRecordLine = m_nLine;
    nValues = 0;
    for (;;)
    {
        if (!AtEnd() && m_text[m_nPos] == '"')
        {
            if (!ReadQuoted())
                return Status::BadQuote;
            onValue(nValues, std::string_view(m_strQuoted));
        }
        else
            onValue(nValues, ReadPlain());
        ++nValues;
        if (AtEnd() || SkipLineEnd())
            return Status::Record;
        ++m_nPos; // the comma before the next value
    }
}

// A value in quotes: "" stands for one quote; after the closing quote only a comma, a line end or
// the end of the text may follow.
bool CCsvReader::ReadQuoted()
{
    m_strQuoted.clear();
    ++m_nPos;
    for (;;)
    {
        const std::size_t nQuote = m_text.find('"', m_nPos);
        if (nQuote == std::string_view::npos)
            return false;
        const std::string_view part = m_text.substr(m_nPos, nQuote - m_nPos);
        m_strQuoted += part;
        for (std::size_t i = 0; i < part.size(); ++i)
        {
            if (part[i] == '\n' || (part[i] == '\r' && (i + 1 == part.size() || part[i + 1] != '\n')))
                ++m_nLine;
        }
        m_nPos = nQuote + 1;
        if (AtEnd() || m_text[m_nPos] != '"')
            return AtEnd() || m_text[m_nPos] == ',' || m_text[m_nPos] == '\r' || m_text[m_nPos] == '\n';
        m_strQuoted += '"';
        ++m_nPos;
    }
}

// A value without quotes runs to the next comma or line end; a quote inside it is an ordinary byte.
std::string_view CCsvReader::ReadPlain()
{
    std::size_t nStop = m_nPos;
    while (nStop < m_text.size() && m_text[nStop] != ',' && m_text[nStop] != '\r' && m_text[nStop] != '\n')
        ++nStop;
    const std::string_view value = m_text.substr(m_nPos, nStop - m_nPos);
    m_nPos = nStop;
    return value;
}

// ---- Import: the table of the file's cells ------------------------------------------------------

std::string Place(int nLine)
{
    return "文件第" + std::to_string(nLine) + "行";
}

std::string BadQuoteMessage(int nLine)
{
    return Place(nLine) + "的引号不成对：用引号括起的值必须以引号结束，值中的引号要写成两个引号。";
}

// The column for messages: its field ("“姓名”（XM）"), its title ("“班级”列"), or "第3列".
std::string ColumnName(const CImportTable& table, int nCol)
{
    const std::string_view title = table.Title(nCol);
    if (title.empty() || !Encoding::IsValidGbk(title))
        return "第" + std::to_string(nCol + 1) + "列";
    if (const int nField = FieldOfExactTitle(title); nField >= 0)
        return DescribeField(g_studentFields[nField].lpcszName);
    return "“" + std::string(title) + "”列";
}

// How many lines the text has at most: its LFs, or its CRs when it has no LF, and one more.
std::size_t LineCount(std::string_view text)
{
    const auto nLfs = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    return 1 + (nLfs != 0 ? nLfs : static_cast<std::size_t>(std::count(text.begin(), text.end(), '\r')));
}

// Reads every line of the text into the table, line 1 as its header; values go through
// store(column, text). Refused: unpaired quotes, a header of more than 100 names and a line with
// another number of values than the header.
template <typename Store> BOOL ReadLines(std::string_view text, CImportTable& table, std::string& strError, Store store)
{
    CCsvReader reader(text);
    int nHeaderValues = -1, nValues = 0;
    const auto onValue = [&](int nCol, std::string_view value) {
        if (nCol == 0)
            table.BeginRow(reader.RecordLine());
        if (nHeaderValues < 0 ? nCol <= kMaxColumns : nCol < nHeaderValues)
            store(nCol, value); // the rest is counted, not kept: an absurd line costs no memory
    };
    for (;;)
    {
        const CCsvReader::Status status = reader.ReadRecord(onValue, nValues);
        if (status == CCsvReader::Status::End)
            return TRUE;
        if (status == CCsvReader::Status::BadQuote)
            return FailWithMessage(strError, BadQuoteMessage(reader.RecordLine()));
        if (nHeaderValues < 0)
        {
            if (nValues > kMaxColumns)
                return FailWithMessage(strError, MemTableText::kTooManyColumns);
            nHeaderValues = nValues;
            const std::size_t nLines = LineCount(text);
            table.Reserve(nLines, nLines * static_cast<std::size_t>(nValues), text.size());
        }
        else if (nValues != nHeaderValues)
            return FailWithMessage(strError, Place(reader.RecordLine()) + "有" + std::to_string(nValues) +
                                                 "个值，应与标题行一样是" + std::to_string(nHeaderValues) + "个。");
    }
}

// The first value of the table that is not valid GBK (the whole text was not), by line and column.
BOOL ReportInvalidGbk(const CImportTable& table, std::string& strError)
{
    for (int r = 0; r < table.RowCount(); ++r)
    {
        for (int c = 0; c < table.ColCount(); ++c)
        {
            const CImportTable::Cell cell = table.At(r, c);
            if (cell.kind == CImportTable::Kind::Text && !Encoding::IsValidGbk(cell.text))
                return FailWithMessage(strError, Place(table.FileRow(r)) + ColumnName(table, c) +
                                                     "的值不是有效的GBK文本，请检查文件的编码。");
        }
    }
    // Every value is valid, so the break lies between values: a lead byte before a comma.
    return FailWithMessage(strError, "文件不是有效的GBK文本，请检查文件的编码。");
}
} // namespace

void AppendCsvRow(const CMemTable& table, int nRow, std::string& strOut)
{
    // A row without a byte that needs quotes is its table line with commas: copied in one piece.
    if (nRow >= 0 && table.AppendPackedRow(nRow, ',', strOut, ",\"\r\n"))
    {
        strOut += "\r\n";
        return;
    }
    if (nRow < 0)
        AppendCsvLine(
            table.GetColCount(), [&table](int c) { return std::string_view(table.GetColName(c)); }, strOut);
    else
        AppendCsvLine(
            table.GetColCount(), [&table, nRow](int c) { return std::string_view(table.GetCell(nRow, c)); }, strOut);
}

void WriteCsvText(const CMemTable& table, std::string& strOut)
{
    for (int nRow = -1; nRow < table.GetRowCount(); ++nRow)
        AppendCsvRow(table, nRow, strOut);
}

DWORD WriteCsvInBlocks(const CMemTable& table, const BlockWriter& write)
{
    return WriteLinesInBlocks(
        -1, table.GetRowCount(), [&table](int nRow, std::string& strBlock) { AppendCsvRow(table, nRow, strBlock); },
        write);
}

BOOL ReadCsvTable(std::string_view bytes, CImportTable& table, std::string& strError, TextEncoding encoding)
{
    table.Clear();
    std::string_view text = bytes;
    const bool bMarked = text.starts_with(Encoding::kUtf8ByteOrderMark);
    if (bMarked)
        text.remove_prefix(Encoding::kUtf8ByteOrderMark.size());
    BOOL bRead = FALSE;
    if (!bMarked && encoding == TextEncoding::Gbk)
    {
        bRead = ReadLines(text, table, strError, [&](int nCol, std::string_view value) { table.SetText(nCol, value); });
        // One check of the whole text; only a file that fails it has its values checked one by one.
        if (bRead && !Encoding::IsValidGbk(text))
            bRead = ReportInvalidGbk(table, strError);
    }
    else if (!Encoding::IsValidUtf8(text))
        bRead = FailWithMessage(strError, "文件不是有效的UTF-8文本，请检查文件的编码。");
    else if (const std::optional<std::string> converted = Encoding::Utf8ToGbk(text))
        bRead = ReadLines(*converted, table, strError,
                          [&](int nCol, std::string_view value) { table.SetText(nCol, value); });
    else // some value holds a character GBK lacks: the values step names each such cell
    {
        Encoding::CConverter toGbk("CP936", "UTF-8");
        std::string strGbk;
        bRead = ReadLines(text, table, strError, [&](int nCol, std::string_view value) {
            if (toGbk.Convert(value, strGbk))
                table.SetText(nCol, strGbk);
            else
                table.SetKind(nCol, CImportTable::Kind::BadText);
        });
    }
    if (bRead && table.RowCount() == 0) // not even a header
        bRead = FailWithMessage(strError, "导入文件必须是CSV格式文件，并且有预定义的字段。");
    if (!bRead)
        table.Clear();
    return bRead;
}

BOOL ReadCsvStudents(std::string_view bytes, CMemTable& table, std::string& strError, TextEncoding encoding)
{
    table.Clear();
    CImportTable cells;
    return ReadCsvTable(bytes, cells, strError, encoding) &&
           MakeStudentTable(cells, table, strError, "导入文件必须是CSV格式文件，并且有预定义的字段。");
}
