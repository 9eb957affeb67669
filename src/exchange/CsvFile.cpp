#include "exchange/CsvFile.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

#include "core/ColumnMapping.h"
#include "core/CsvValue.h"
#include "core/Gbk.h"
#include "core/ImportRecords.h"
#include "core/ImportTable.h"
#include "core/MemTable.h"
#include "core/MemTableTexts.h"
#include "core/StudentImport.h"
#include "core/StudentSchema.h"
#include "core/TwoHalves.h"
#include "platform/Encoding.h"

namespace
{
constexpr int kMaxColumns = 100;                // the most names a table header may have
constexpr std::size_t kPartBytes = 1024 * 1024; // a smaller text is read by one thread

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

// Splits CSV text into records, cutting each value out where it lies: a quoted value is read back in
// place (its quotes dropped, "" made one quote) and a NUL is written after every value, over its
// comma or line end. The bytes that give the text structure (comma, quote, CR, LF) are ASCII, which
// is never part of a double-byte GBK character or of a UTF-8 sequence, so the walk goes by bytes in
// either encoding.
class CCsvReader
{
  public:
    enum class Status
    {
        Record,
        End,
        BadQuote
    };

    // Reads text from byte nStart on. REQUIRES: text ends with a CR, an LF or a NUL that is not
    // part of the CSV text (see CutText), so that every value has a byte after it to end it.
    CCsvReader(std::string& text, std::size_t nStart, std::size_t nEnd)
        : m_pText(text.data()), m_nEnd(nEnd), m_nPos(nStart)
    {
    }

    // Skips blank lines, then reads the next record, handing each value to onValue(column, text):
    // a view of the text itself, which the NUL after it ends once onValue returns.
    // nValues: how many values the record has.
    template <typename OnValue> Status ReadRecord(OnValue onValue, int& nValues);
    // The file line (from 1) on which the record last read begins.
    int RecordLine() const { return m_nRecordLine; }
    // The line the reader is on: after the last record, the line after the text's last.
    int Line() const { return m_nLine; }

  private:
    bool AtEnd() const { return m_nPos >= m_nEnd; }
    bool SkipLineEnd();
    bool ReadQuoted(std::size_t& nLength);
    std::size_t ReadPlain();

    char* m_pText;
    std::size_t m_nEnd;
    std::size_t m_nPos;
    int m_nLine = 1;
    int m_nRecordLine = 0;
};

// Consumes one line end (CR LF, LF or CR) at the position, if there is one.
bool CCsvReader::SkipLineEnd()
{
    if (AtEnd() || (m_pText[m_nPos] != '\r' && m_pText[m_nPos] != '\n'))
        return false;
    if (m_pText[m_nPos] == '\r' && m_nPos + 1 < m_nEnd && m_pText[m_nPos + 1] == '\n')
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
        const std::size_t nStart = m_nPos;
        std::size_t nLength = 0;
        if (!AtEnd() && m_pText[m_nPos] == '"')
        {
            if (!ReadQuoted(nLength))
                return Status::BadQuote;
        }
        else
            nLength = ReadPlain();
        onValue(nValues, std::string_view(m_pText + nStart, nLength));
        ++nValues;
        const bool bLast = AtEnd() || SkipLineEnd();
        m_pText[nStart + nLength] = '\0'; // only now: the separator it may overwrite has been read
        if (bLast)
            return Status::Record;
        ++m_nPos; // the comma before the next value
    }
}

// A value in quotes: "" stands for one quote; after the closing quote only a comma, a line end or
// the end of the text may follow. The value is moved to where its opening quote was.
bool CCsvReader::ReadQuoted(std::size_t& nLength)
{
    const std::size_t nStart = m_nPos;
    std::size_t nOut = m_nPos;
    ++m_nPos;
    for (;;)
    {
        const void* pQuote = std::memchr(m_pText + m_nPos, '"', m_nEnd - m_nPos);
        if (pQuote == nullptr)
            return false;
        const auto nQuote = static_cast<std::size_t>(static_cast<const char*>(pQuote) - m_pText);
        const std::string_view part(m_pText + m_nPos, nQuote - m_nPos);
        for (std::size_t i = 0; i < part.size(); ++i)
        {
            if (part[i] == '\n' || (part[i] == '\r' && (i + 1 == part.size() || part[i + 1] != '\n')))
                ++m_nLine;
        }
        std::memmove(m_pText + nOut, part.data(), part.size());
        nOut += part.size();
        m_nPos = nQuote + 1;
        if (AtEnd() || m_pText[m_nPos] != '"')
        {
            nLength = nOut - nStart;
            return AtEnd() || m_pText[m_nPos] == ',' || m_pText[m_nPos] == '\r' || m_pText[m_nPos] == '\n';
        }
        m_pText[nOut++] = '"';
        ++m_nPos;
    }
}

// A value without quotes runs to the next comma or line end; a quote inside it is an ordinary byte.
std::size_t CCsvReader::ReadPlain()
{
    const std::size_t nStart = m_nPos;
    while (m_nPos < m_nEnd && m_pText[m_nPos] != ',' && m_pText[m_nPos] != '\r' && m_pText[m_nPos] != '\n')
        ++m_nPos;
    return m_nPos - nStart;
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
    const auto count = [text](char chEnd) {
        std::size_t nCount = 0;
        const char* const pEnd = text.data() + text.size();
        const char* p = text.data();
        while ((p = static_cast<const char*>(std::memchr(p, chEnd, static_cast<std::size_t>(pEnd - p)))) != nullptr)
        {
            ++nCount;
            ++p;
        }
        return nCount;
    };
    const std::size_t nLfs = count('\n');
    return 1 + (nLfs != 0 ? nLfs : count('\r'));
}

// Makes sure a NUL can follow the text's last value (see CCsvReader) and returns where the CSV text
// ends: a text that ends without a line end gets a NUL after it.
std::size_t CutText(std::string& text)
{
    const std::size_t nEnd = text.size();
    if (nEnd != 0 && text.back() != '\r' && text.back() != '\n')
        text.push_back('\0');
    return nEnd;
}

// How reading a run of lines ended: every line read, or the first line that cannot be read.
struct LinesRead
{
    enum class Fault
    {
        None,
        BadQuote,
        TooManyColumns,
        ValueCount
    };
    Fault fault = Fault::None;
    int nLine = 0;   // the failing record's line; with no fault, the line after the last
    int nValues = 0; // the values of a record with another number of them than the header
};

BOOL FailReading(const LinesRead& read, int nHeaderValues, std::string& strError)
{
    switch (read.fault)
    {
    case LinesRead::Fault::None:
        return TRUE;
    case LinesRead::Fault::BadQuote:
        return FailWithMessage(strError, BadQuoteMessage(read.nLine));
    case LinesRead::Fault::TooManyColumns:
        return FailWithMessage(strError, MemTableText::kTooManyColumns);
    case LinesRead::Fault::ValueCount:
        break;
    }
    return FailWithMessage(strError, Place(read.nLine) + "有" + std::to_string(read.nValues) +
                                         "个值，应与标题行一样是" + std::to_string(nHeaderValues) + "个。");
}

// Reads every record the reader has left into the table, cutting the values out in place; they go
// through store(table, column, text, its offset from pBase). nHeaderValues < 0: the first record is
// the header (and sets it), after which the table makes room for nLines lines and nPoolBytes of
// text. Refused: unpaired quotes, a header of more than 100 names and a line with another number of
// values than the header.
template <typename Store>
LinesRead ReadRecords(CCsvReader& reader, const char* pBase, int& nHeaderValues, std::size_t nLines,
                      std::size_t nPoolBytes, CImportTable& table, Store store)
{
    int nValues = 0;
    const auto onValue = [&](int nCol, std::string_view value) {
        if (nCol == 0)
            table.BeginRow(reader.RecordLine());
        if (nHeaderValues < 0 ? nCol <= kMaxColumns : nCol < nHeaderValues)
            store(table, nCol, value, static_cast<std::size_t>(value.data() - pBase)); // the rest is counted, not kept
    };
    for (;;)
    {
        switch (reader.ReadRecord(onValue, nValues))
        {
        case CCsvReader::Status::End:
            return {LinesRead::Fault::None, reader.Line(), 0};
        case CCsvReader::Status::BadQuote:
            return {LinesRead::Fault::BadQuote, reader.RecordLine(), 0};
        case CCsvReader::Status::Record:
            break;
        }
        if (nHeaderValues < 0)
        {
            if (nValues > kMaxColumns)
                return {LinesRead::Fault::TooManyColumns, reader.RecordLine(), nValues};
            nHeaderValues = nValues;
            table.Reserve(nLines, nLines * static_cast<std::size_t>(nValues), nPoolBytes);
        }
        else if (nValues != nHeaderValues)
            return {LinesRead::Fault::ValueCount, reader.RecordLine(), nValues};
    }
}

// Reads every line of the text from byte nStart on into the table, line 1 as its header (see
// ReadRecords). bPool: whether the table copies the values into its own pool (room is made for them).
template <typename Store>
BOOL ReadLines(std::string& text, std::size_t nStart, CImportTable& table, std::string& strError, bool bPool,
               Store store)
{
    const std::size_t nLines = LineCount(std::string_view(text).substr(nStart));
    const std::size_t nEnd = CutText(text);
    CCsvReader reader(text, nStart, nEnd);
    int nHeaderValues = -1;
    const LinesRead read =
        ReadRecords(reader, text.data(), nHeaderValues, nLines, bPool ? nEnd - nStart : 0, table, store);
    return FailReading(read, nHeaderValues, strError);
}

void StoreInPlace(CImportTable& table, int nCol, std::string_view value, std::size_t nOffset)
{
    table.SetTextAt(nCol, nOffset, value.size());
}

// One of the two parts of a big text read side by side: its lines, whether its bytes are valid
// GBK (checked before they are cut up) and how reading them ended.
struct PartRead
{
    bool bValidGbk = true;
    int nHeaderValues = -1;
    LinesRead read;
};

// nHeaderValues < 0: the part begins with the header. nLines: the lines the table makes room for.
PartRead ReadPart(std::string& text, std::size_t nFrom, std::size_t nTo, int nHeaderValues, std::size_t nLines,
                  bool bCheckGbk, CImportTable& table)
{
    PartRead part;
    part.bValidGbk = !bCheckGbk || Encoding::IsValidGbk(std::string_view(text).substr(nFrom, nTo - nFrom));
    part.nHeaderValues = nHeaderValues;
    if (nHeaderValues >= 0)
        table.Reserve(nLines, nLines * static_cast<std::size_t>(nHeaderValues), 0);
    CCsvReader reader(text, nFrom, nTo);
    part.read = ReadRecords(reader, text.data(), part.nHeaderValues, nLines, 0, table, StoreInPlace);
    return part;
}

// Reads the text from byte nStart on into the table, which keeps the text itself with its values
// cut out in place. A big text is read in two parts side by side, the second into a table of its
// own whose rows then follow the first part's. bValidGbk: whether the bytes are valid GBK, when
// bCheckGbk asks for it.
BOOL ReadInPlace(std::string&& text, std::size_t nStart, CImportTable& table, std::string& strError, bool bCheckGbk,
                 bool& bValidGbk)
{
    const std::size_t nEnd = CutText(text);
    const std::string_view all = std::string_view(text).substr(nStart, nEnd - nStart);
    const std::size_t nSplit = CsvSplitPoint(all, kPartBytes);
    PartRead first, second;
    CImportTable rest;
    if (nSplit == 0)
        first = ReadPart(text, nStart, nEnd, -1, LineCount(all), bCheckGbk, table);
    else
    {
        // No quote comes before the split, so the header's commas count its values. Each thread
        // reads only its own part's bytes: the other cuts its part up meanwhile.
        const std::string_view header = all.substr(all.find_first_not_of("\r\n"));
        const auto nHeaderValues =
            static_cast<int>(std::count(header.begin(), header.begin() + header.find_first_of("\r\n"), ',')) + 1;
        const std::size_t nSecondLines = LineCount(all.substr(nSplit));
        SideBySide(
            true,
            [&] {
                first = ReadPart(text, nStart, nStart + nSplit, -1, LineCount(all.substr(0, nSplit)) + nSecondLines,
                                 bCheckGbk, table);
            },
            [&] { second = ReadPart(text, nStart + nSplit, nEnd, nHeaderValues, nSecondLines, bCheckGbk, rest); });
    }
    BOOL bRead = FailReading(first.read, first.nHeaderValues, strError);
    if (bRead && nSplit != 0)
    {
        // The second part counted its lines from 1: its line 1 is the line after the first part's last.
        LinesRead read = second.read;
        read.nLine += first.read.nLine - 1;
        bRead = FailReading(read, first.nHeaderValues, strError);
        if (bRead)
            table.AppendRows(rest, first.read.nLine - 1);
    }
    bValidGbk = first.bValidGbk && second.bValidGbk;
    table.AdoptText(std::move(text));
    return bRead;
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

std::size_t CsvSplitPoint(std::string_view text, std::size_t nMinBytes)
{
    if (text.size() < std::max<std::size_t>(nMinBytes, 2))
        return 0;
    const std::size_t nHeader = text.find_first_not_of("\r\n");
    const std::size_t nEnd = text.find_first_of("\r\n", text.size() / 2);
    if (nHeader >= text.size() / 2 || nEnd == std::string_view::npos)
        return 0;
    const std::size_t nSplit = nEnd + (text.substr(nEnd).starts_with("\r\n") ? 2 : 1);
    const bool bQuoted = text.substr(0, nSplit).find('"') != std::string_view::npos;
    return bQuoted || nSplit >= text.size() ? 0 : nSplit;
}

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
    return ReadCsvTable(std::string(bytes), table, strError, encoding);
}

BOOL ReadCsvTable(std::string&& bytes, CImportTable& table, std::string& strError, TextEncoding encoding)
{
    table.Clear();
    const bool bMarked = bytes.starts_with(Encoding::kUtf8ByteOrderMark);
    const std::size_t nStart = bMarked ? Encoding::kUtf8ByteOrderMark.size() : 0;
    const std::string_view text = std::string_view(bytes).substr(nStart);
    BOOL bRead = FALSE;
    if (!bMarked && encoding == TextEncoding::Gbk)
    {
        // One check of the text before it is cut up; only a file that fails it has its values
        // checked one by one.
        bool bValid = true;
        bRead = ReadInPlace(std::move(bytes), nStart, table, strError, true, bValid);
        if (bRead && !bValid)
            bRead = ReportInvalidGbk(table, strError);
    }
    else if (!Encoding::IsValidUtf8(text))
        bRead = FailWithMessage(strError, "文件不是有效的UTF-8文本，请检查文件的编码。");
    else if (std::optional<std::string> converted = Encoding::Utf8ToGbk(text))
    {
        bool bValid = true;
        bRead = ReadInPlace(std::move(*converted), 0, table, strError, false, bValid);
    }
    else // some value holds a character GBK lacks: the values step names each such cell
    {
        Encoding::CConverter toGbk("CP936", "UTF-8");
        std::string strGbk;
        bRead = ReadLines(bytes, nStart, table, strError, true,
                          [&](CImportTable& cells, int nCol, std::string_view value, std::size_t) {
                              if (toGbk.Convert(value, strGbk))
                                  cells.SetText(nCol, strGbk);
                              else
                                  cells.SetKind(nCol, CImportTable::Kind::BadText);
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
