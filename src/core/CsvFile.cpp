#include "core/CsvFile.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <vector>

#include "core/DataFunc.h"
#include "core/Gbk.h"
#include "core/MemTable.h"
#include "core/MemTableTexts.h"
#include "core/StudentImport.h"
#include "platform/Encoding.h"

namespace
{
constexpr int kMaxColumns = 100; // the most names a table header may have

// ---- Export ------------------------------------------------------------------------------------

// Comparisons rather than find_first_of: it searches its set once per byte, too slow for big files.
bool NeedsQuotes(std::string_view value)
{
    return std::any_of(value.begin(), value.end(),
                       [](char ch) { return ch == ',' || ch == '"' || ch == '\r' || ch == '\n'; });
}

void AppendCsvValue(std::string_view value, std::string& strOut)
{
    if (!NeedsQuotes(value))
    {
        strOut += value;
        return;
    }
    strOut += '"';
    for (char ch : value)
    {
        if (ch == '"')
            strOut += '"';
        strOut += ch;
    }
    strOut += '"';
}

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

    // Skips blank lines, then reads the next record into values[0..nValues), reusing their storage.
    // Values after the first nKeep are counted but not kept, so an absurd line costs no memory.
    Status ReadRecord(std::vector<std::string>& values, int& nValues, int nKeep);
    // The file line (from 1) on which the record last read begins.
    int RecordLine() const { return m_nRecordLine; }

  private:
    bool AtEnd() const { return m_nPos >= m_text.size(); }
    bool SkipLineEnd();
    bool ReadQuoted(std::string& value);
    void ReadPlain(std::string& value);

    std::string_view m_text;
    std::size_t m_nPos = 0;
    int m_nLine = 1;
    int m_nRecordLine = 0;
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

CCsvReader::Status CCsvReader::ReadRecord(std::vector<std::string>& values, int& nValues, int nKeep)
{
    std::string discarded;
    while (SkipLineEnd())
    {
    }
    if (AtEnd())
        return Status::End;
    m_nRecordLine = m_nLine;
    nValues = 0;
    for (;;)
    {
        if (nValues < nKeep && values.size() <= static_cast<std::size_t>(nValues))
            values.emplace_back();
        std::string& value = nValues < nKeep ? values[nValues] : discarded;
        ++nValues;
        value.clear();
        if (!AtEnd() && m_text[m_nPos] == '"')
        {
            if (!ReadQuoted(value))
                return Status::BadQuote;
        }
        else
            ReadPlain(value);
        if (AtEnd() || SkipLineEnd())
            return Status::Record;
        ++m_nPos; // the comma before the next value
    }
}

// A value in quotes: "" stands for one quote; after the closing quote only a comma, a line end or
// the end of the text may follow.
bool CCsvReader::ReadQuoted(std::string& value)
{
    ++m_nPos;
    for (;;)
    {
        const std::size_t nQuote = m_text.find('"', m_nPos);
        if (nQuote == std::string_view::npos)
            return false;
        const std::string_view part = m_text.substr(m_nPos, nQuote - m_nPos);
        value += part;
        for (std::size_t i = 0; i < part.size(); ++i)
        {
            if (part[i] == '\n' || (part[i] == '\r' && (i + 1 == part.size() || part[i + 1] != '\n')))
                ++m_nLine;
        }
        m_nPos = nQuote + 1;
        if (AtEnd() || m_text[m_nPos] != '"')
            return AtEnd() || m_text[m_nPos] == ',' || m_text[m_nPos] == '\r' || m_text[m_nPos] == '\n';
        value += '"';
        ++m_nPos;
    }
}

// A value without quotes runs to the next comma or line end; a quote inside it is an ordinary byte.
void CCsvReader::ReadPlain(std::string& value)
{
    std::size_t nStop = m_nPos;
    while (nStop < m_text.size() && m_text[nStop] != ',' && m_text[nStop] != '\r' && m_text[nStop] != '\n')
        ++nStop;
    value.assign(m_text.substr(m_nPos, nStop - m_nPos));
    m_nPos = nStop;
}

// ---- Import: checking the records ---------------------------------------------------------------

std::string Place(int nLine)
{
    return "文件第" + std::to_string(nLine) + "行";
}

std::string BadQuoteMessage(int nLine)
{
    return Place(nLine) + "的引号不成对：用引号括起的值必须以引号结束，值中的引号要写成两个引号。";
}

// Reads and checks the whole text into importer: the header, then every record. Each record
// goes to checkRecord(values, nValues, file line) first, which returns FALSE to stop with strError set.
template <typename CheckRecord>
BOOL ReadRecords(std::string_view text, CStudentImport& importer, bool bCheckGbk, std::string& strError,
                 CheckRecord checkRecord)
{
    CCsvReader reader(text);
    std::vector<std::string> values;
    int nValues = 0;
    if (reader.ReadRecord(values, nValues, kMaxColumns + 1) == CCsvReader::Status::BadQuote)
        return FailWithMessage(strError, BadQuoteMessage(reader.RecordLine()));
    if (!importer.SetHeader(values, nValues, strError))
        return FALSE;
    for (;;)
    {
        const CCsvReader::Status status = reader.ReadRecord(values, nValues, STUDENT_FIELD_COUNT);
        if (status == CCsvReader::Status::End)
            return TRUE;
        const int nLine = reader.RecordLine();
        if (status == CCsvReader::Status::BadQuote)
            return FailWithMessage(strError, BadQuoteMessage(nLine));
        if (!checkRecord(values, nValues, nLine) ||
            !importer.AddRecord(values, nValues, Place(nLine), bCheckGbk, strError))
            return FALSE;
    }
}

// The message for the first value of the record that is no valid UTF-8 or holds a character that
// GBK cannot hold; empty when every value converts or the record has another number of values.
std::string CheckConvertible(const std::vector<std::string>& names, const std::vector<std::string>& values, int nValues,
                             int nLine)
{
    if (nValues != STUDENT_FIELD_COUNT)
        return std::string();
    std::string strRecord;
    for (int c = 0; c < STUDENT_FIELD_COUNT; ++c)
    {
        if (!Encoding::IsValidUtf8(values[c]))
            return Place(nLine) + CStudentImport::DescribeField(names[c]) + "的值不是有效的UTF-8文本。";
        strRecord += values[c];
    }
    if (Encoding::Utf8ToGbk(strRecord)) // one conversion per record: a file has many records
        return std::string();
    for (int c = 0; c < STUDENT_FIELD_COUNT; ++c)
    {
        if (!Encoding::Utf8ToGbk(values[c]))
            return Place(nLine) + CStudentImport::DescribeField(names[c]) +
                   "的值含有GBK编码不能表示的字符（例如表情符号），请改用其他字符后再导入。";
    }
    return std::string();
}

// The whole UTF-8 text did not convert to GBK: names the first value that does not.
BOOL ReportUnconvertible(std::string_view utf8, std::string& strError)
{
    CStudentImport importer;
    const BOOL bRead = ReadRecords(utf8, importer, false, strError,
                                   [&](const std::vector<std::string>& values, int nValues, int nLine) {
                                       strError = CheckConvertible(importer.FieldNames(), values, nValues, nLine);
                                       return strError.empty() ? TRUE : FALSE;
                                   });
    return bRead ? FailWithMessage(strError, "导入失败。") : FALSE;
}

BOOL ReadGbkText(std::string_view text, CMemTable& table, std::string& strError)
{
    // One check of the whole text; only a file that fails it has its values checked one by one,
    // to name the first bad one.
    const bool bValid = Encoding::IsValidGbk(text);
    CStudentImport importer;
    importer.Reserve(text.size()); // the records' text is never longer than the file
    const auto accept = [](const std::vector<std::string>&, int, int) { return TRUE; };
    if (!ReadRecords(text, importer, !bValid, strError, accept))
        return FALSE;
    if (!bValid) // every value is valid GBK, so the break lies between values: a lead byte before a comma
        return FailWithMessage(strError, "文件不是有效的GBK文本，请检查文件的编码。");
    return importer.Finish(table, strError);
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

BOOL ReadCsvStudents(std::string_view bytes, CMemTable& table, std::string& strError, TextEncoding encoding)
{
    table.Clear();
    std::string_view text = bytes;
    const bool bMarked = text.starts_with(Encoding::kUtf8ByteOrderMark);
    if (bMarked)
        text.remove_prefix(Encoding::kUtf8ByteOrderMark.size());
    if (!bMarked && encoding == TextEncoding::Gbk)
        return ReadGbkText(text, table, strError);
    const std::optional<std::string> converted = Encoding::Utf8ToGbk(text);
    if (!converted)
        return ReportUnconvertible(text, strError);
    return ReadGbkText(*converted, table, strError);
}
