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
#include "platform/Encoding.h"

namespace
{
constexpr int kMaxColumns = 100; // the most names a table header may have

// ---- Messages ---------------------------------------------------------------------------------

template <typename... Args> std::string FormatMessage(const char* lpcszFormat, Args... args)
{
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, lpcszFormat, args...);
    return buffer;
}

// "“通信地址”（TXDZ）" for the column named TXDZ.
std::string DescribeField(const std::string& strName)
{
    for (const STUDENTFIELD& field : g_studentFields)
    {
        if (strName == field.lpcszName)
            return "“" + std::string(field.lpcszListLabel) + "”（" + strName + "）";
    }
    return strName;
}

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
    Status ReadRecord(std::vector<std::string>& values, int& nValues);
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

CCsvReader::Status CCsvReader::ReadRecord(std::vector<std::string>& values, int& nValues)
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
        if (values.size() <= static_cast<std::size_t>(nValues))
            values.emplace_back();
        std::string& value = values[nValues++];
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

BOOL Fail(std::string& strError, std::string strMessage)
{
    strError = std::move(strMessage);
    return FALSE;
}

std::string BadQuoteMessage(int nLine)
{
    return FormatMessage("文件第%d行的引号不成对：用引号括起的值必须以引号结束，值中的引号要写成两个引号。", nLine);
}

bool HasEveryStudentField(const std::vector<std::string>& header)
{
    return std::all_of(std::begin(g_studentFields), std::end(g_studentFields), [&](const STUDENTFIELD& field) {
        return std::find(header.begin(), header.end(), field.lpcszName) != header.end();
    });
}

// Reads the header into names (trimmed) and checks that it names exactly the 24 student fields.
BOOL ReadHeader(CCsvReader& reader, std::vector<std::string>& names, std::string& strError)
{
    int nNames = 0;
    if (reader.ReadRecord(names, nNames) == CCsvReader::Status::BadQuote)
        return Fail(strError, BadQuoteMessage(reader.RecordLine()));
    names.resize(static_cast<std::size_t>(nNames));
    for (std::string& name : names)
        name = std::string(Gbk::Trim(name));
    if (nNames > kMaxColumns)
        return Fail(strError, MemTableText::kTooManyColumns);
    if (!HasEveryStudentField(names))
        return Fail(strError, "导入文件必须是CSV格式文件，并且有预定义的字段。");
    if (nNames != STUDENT_FIELD_COUNT)
        return Fail(strError, "导入失败。");
    return TRUE;
}

// Reads and checks the whole text: the header, then every record against it. Each record that
// passes goes to onRecord(values in file column order, file line), which returns FALSE to stop
// with strError set.
template <typename OnRecord>
BOOL ReadRecords(std::string_view text, std::vector<std::string>& names, std::string& strError, OnRecord onRecord)
{
    CCsvReader reader(text);
    if (!ReadHeader(reader, names, strError))
        return FALSE;
    std::vector<std::string> values;
    for (;;)
    {
        int nValues = 0;
        const CCsvReader::Status status = reader.ReadRecord(values, nValues);
        if (status == CCsvReader::Status::End)
            return TRUE;
        const int nLine = reader.RecordLine();
        if (status == CCsvReader::Status::BadQuote)
            return Fail(strError, BadQuoteMessage(nLine));
        if (nValues != STUDENT_FIELD_COUNT)
            return Fail(strError, FormatMessage("文件第%d行有%d个值，应与标题行一样是%d个。", nLine, nValues,
                                                STUDENT_FIELD_COUNT));
        // The data file separates values by TAB and lines by CR LF: it could not keep these.
        for (int c = 0; c < STUDENT_FIELD_COUNT; ++c)
        {
            if (std::any_of(values[c].begin(), values[c].end(),
                            [](char ch) { return ch == '\t' || ch == '\r' || ch == '\n'; }))
                return Fail(strError, FormatMessage("文件第%d行%s的值含有换行符或制表符，数据文件不能保存这样的值。",
                                                    nLine, DescribeField(names[c]).c_str()));
        }
        if (!onRecord(values, nLine))
            return FALSE;
    }
}

// The message for the first value of the record that is no valid UTF-8 or holds a character that
// GBK cannot hold; empty when every value converts.
std::string CheckConvertible(const std::vector<std::string>& names, const std::vector<std::string>& values, int nLine)
{
    std::string strRecord;
    for (int c = 0; c < STUDENT_FIELD_COUNT; ++c)
    {
        if (!Encoding::IsValidUtf8(values[c]))
            return FormatMessage("文件第%d行%s的值不是有效的UTF-8文本。", nLine, DescribeField(names[c]).c_str());
        strRecord += values[c];
    }
    if (Encoding::Utf8ToGbk(strRecord)) // one conversion per record: a file has many records
        return std::string();
    for (int c = 0; c < STUDENT_FIELD_COUNT; ++c)
    {
        if (!Encoding::Utf8ToGbk(values[c]))
            return FormatMessage("文件第%d行%s的值含有GBK编码不能表示的字符（例如表情符号），请改用其他字符后再导入。",
                                 nLine, DescribeField(names[c]).c_str());
    }
    return std::string();
}

// The whole UTF-8 text did not convert to GBK: names the first value that does not.
BOOL ReportUnconvertible(std::string_view utf8, std::string& strError)
{
    std::vector<std::string> names;
    const BOOL bRead = ReadRecords(utf8, names, strError, [&](const std::vector<std::string>& values, int nLine) {
        strError = CheckConvertible(names, values, nLine);
        return strError.empty() ? TRUE : FALSE;
    });
    return bRead ? Fail(strError, "导入失败。") : FALSE;
}

// For each field in record order, the file column that the header names it in.
using FieldColumns = std::array<std::size_t, STUDENT_FIELD_COUNT>;
FieldColumns ColumnsOfFields(const std::vector<std::string>& names)
{
    FieldColumns columns{};
    for (int f = 0; f < STUDENT_FIELD_COUNT; ++f)
        columns[f] = static_cast<std::size_t>(std::find(names.begin(), names.end(), g_studentFields[f].lpcszName) -
                                              names.begin());
    return columns;
}

bool IsUtf8Text(std::string_view bytes)
{
    const bool bNonAscii =
        std::any_of(bytes.begin(), bytes.end(), [](char ch) { return static_cast<unsigned char>(ch) >= 0x80; });
    return bNonAscii && Encoding::IsValidUtf8(bytes);
}
} // namespace

void WriteCsvText(const CMemTable& table, std::string& strOut)
{
    const int nCols = table.GetColCount();
    AppendCsvLine(
        nCols, [&table](int c) { return std::string_view(table.GetColName(c)); }, strOut);
    for (int r = 0; r < table.GetRowCount(); ++r)
        AppendCsvLine(
            nCols, [&table, r](int c) { return std::string_view(table.GetCell(r, c)); }, strOut);
}

BOOL ReadCsvStudents(std::string_view bytes, CMemTable& table, std::string& strError)
{
    table.Clear();
    std::string_view text = bytes;
    const bool bMarked = text.starts_with(Encoding::kUtf8ByteOrderMark);
    if (bMarked)
        text.remove_prefix(Encoding::kUtf8ByteOrderMark.size());
    std::optional<std::string> converted;
    if (bMarked || IsUtf8Text(text))
    {
        converted = Encoding::Utf8ToGbk(text);
        if (!converted)
            return ReportUnconvertible(text, strError);
        text = *converted;
    }

    // The checked records become the student table's own text, each value in its field's place;
    // none holds a TAB, CR or LF, so the table parser takes every value back exactly.
    std::vector<std::string> names;
    std::string strTable = g_lpcszStudentColumns;
    std::optional<FieldColumns> columnOfField; // known once the header is read
    const BOOL bRead = ReadRecords(text, names, strError, [&](const std::vector<std::string>& values, int) {
        if (!columnOfField)
            columnOfField = ColumnsOfFields(names);
        for (int f = 0; f < STUDENT_FIELD_COUNT; ++f)
            strTable.append(values[(*columnOfField)[f]]).append(f + 1 < STUDENT_FIELD_COUNT ? "\t" : "\r\n");
        return TRUE;
    });
    if (!bRead)
        return FALSE;
    if (!table.Load(strTable))
        return Fail(strError, "导入失败。");
    return TRUE;
}
