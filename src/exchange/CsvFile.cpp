#include "exchange/CsvFile.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

#include "core/ByteMask.h"
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
// Sixteen bytes are looked at a time while sixteen lie before the end.
std::size_t CCsvReader::ReadPlain()
{
    const std::size_t nStart = m_nPos;
    for (; m_nPos + kMaskBytes <= m_nEnd; m_nPos += kMaskBytes)
    {
        if (const unsigned nFound = ByteMask(m_pText + m_nPos, ",\r\n"); nFound != 0)
        {
            m_nPos += static_cast<std::size_t>(std::countr_zero(nFound));
            return m_nPos - nStart;
        }
    }
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

// How many line ends the text has: each LF and each CR not followed by an LF (CR LF is one).
std::size_t LineEnds(std::string_view text)
{
    std::size_t nCount = 0;
    const char* const pEnd = text.data() + text.size();
    for (const char chEnd : {'\n', '\r'})
    {
        for (const char* p = text.data();
             (p = static_cast<const char*>(std::memchr(p, chEnd, static_cast<std::size_t>(pEnd - p)))) != nullptr; ++p)
            nCount += chEnd == '\n' || p + 1 == pEnd || p[1] != '\n';
    }
    return nCount;
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

// Reads every record the reader has left into rows, cutting the values out in place: each row
// begins with rows.BeginRow(its line), its values go through rows.Value(column, text, its offset
// from pBase). nHeaderValues < 0: the first record is the header (and sets it), after which
// rows.Header(its value count) is told. Refused: unpaired quotes, a header of more than 100 names
// and a line with another number of values than the header.
template <typename Rows> LinesRead ReadRecords(CCsvReader& reader, const char* pBase, int& nHeaderValues, Rows& rows)
{
    int nValues = 0;
    const auto onValue = [&](int nCol, std::string_view value) {
        if (nCol == 0)
            rows.BeginRow(reader.RecordLine());
        if (nHeaderValues < 0 ? nCol <= kMaxColumns : nCol < nHeaderValues)
            rows.Value(nCol, value, static_cast<std::size_t>(value.data() - pBase)); // the rest is counted, not kept
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
            rows.Header(nValues);
        }
        else if (nValues != nHeaderValues)
            return {LinesRead::Fault::ValueCount, reader.RecordLine(), nValues};
    }
}

// Rows kept by a table of eight bytes a cell, each value through store(table, column, text, offset);
// the header makes room for nLines lines and nPoolBytes of text.
template <typename Store> struct TableRows
{
    CImportTable& table;
    Store store;
    std::size_t nLines;
    std::size_t nPoolBytes;

    void BeginRow(int nLine) { table.BeginRow(nLine); }
    void Header(int nValues) { table.Reserve(nLines, nLines * static_cast<std::size_t>(nValues), nPoolBytes); }
    void Value(int nCol, std::string_view value, std::size_t nOffset) { store(table, nCol, value, nOffset); }
};

// Reads every line of the text from byte nStart on into the table, line 1 as its header (see
// ReadRecords). bPool: whether the table copies the values into its own pool (room is made for them).
template <typename Store>
BOOL ReadLines(std::string& text, std::size_t nStart, CImportTable& table, std::string& strError, bool bPool,
               Store store)
{
    TableRows<Store> rows{table, store, LineEnds(std::string_view(text).substr(nStart)) + 1, 0};
    const std::size_t nEnd = CutText(text);
    rows.nPoolBytes = bPool ? nEnd - nStart : 0;
    CCsvReader reader(text, nStart, nEnd);
    int nHeaderValues = -1;
    return FailReading(ReadRecords(reader, text.data(), nHeaderValues, rows), nHeaderValues, strError);
}

void StoreInPlace(CImportTable& table, int nCol, std::string_view value, std::size_t nOffset)
{
    table.SetTextAt(nCol, nOffset, value.size());
}

// The rows of a run of lines kept as the offsets of their values (see CImportTable::AdoptCells):
// the header's apart, the others in their own stretch of one cell array, room for nRoom rows from
// row nFirst of the array on. Without a column count, the header sets it and the array is made
// then, with room for nRoom rows.
class CCellRows
{
  public:
    CCellRows(CMemTable::CellArray& cells, std::size_t nFirst, std::size_t nRoom, int nCols, bool bHeader)
        : m_cells(cells), m_nFirst(nFirst), m_nRoom(nRoom), m_nCols(nCols), m_bHeaderDue(bHeader)
    {
    }

    void BeginRow(int nLine)
    {
        fileRows.push_back(nLine);
        if (m_bHeaderDue)
            return;
        bFull = bFull || nRows == m_nRoom; // cannot happen with room for each line end: refused, never written
        nRows += bFull ? 0 : 1;
    }
    void Header(int nValues)
    {
        m_bHeaderDue = false;
        if (m_nCols >= 0)
            return;
        m_nCols = nValues;
        m_cells.resize(m_nRoom * static_cast<std::size_t>(nValues)); // left uninitialised
    }
    void Value(int nCol, std::string_view, std::size_t nOffset)
    {
        if (m_bHeaderDue)
            header.push_back(static_cast<std::uint32_t>(nOffset));
        else if (!bFull && nCol < m_nCols)
            m_cells[(m_nFirst + nRows - 1) * static_cast<std::size_t>(m_nCols) + static_cast<std::size_t>(nCol)] =
                static_cast<std::uint32_t>(nOffset);
    }

    std::vector<std::uint32_t> header;
    std::vector<int> fileRows; // of the header too
    std::size_t nRows = 0;     // below the header
    bool bFull = false;

  private:
    CMemTable::CellArray& m_cells;
    std::size_t m_nFirst;
    std::size_t m_nRoom;
    int m_nCols;
    bool m_bHeaderDue;
};

// One of the parts of a text read side by side: whether its bytes are valid GBK (checked before
// they are cut up) and how reading them ended.
struct PartRead
{
    bool bValidGbk = true;
    int nHeaderValues = -1;
    LinesRead read;
};

// nHeaderValues < 0: the part begins with the header.
PartRead ReadPart(std::string& text, std::size_t nFrom, std::size_t nTo, int nHeaderValues, bool bCheckGbk,
                  CCellRows& rows)
{
    PartRead part;
    part.bValidGbk = !bCheckGbk || Encoding::IsValidGbk(std::string_view(text).substr(nFrom, nTo - nFrom));
    part.nHeaderValues = nHeaderValues;
    CCsvReader reader(text, nFrom, nTo);
    part.read = ReadRecords(reader, text.data(), part.nHeaderValues, rows);
    return part;
}

// Reads the text from byte nStart on into the table, which keeps the text itself and the offsets of
// its values, cut out in place. A big text is read in two parts side by side, each into its own
// stretch of the one cell array: the second part's from the most rows the first can hold on, moved
// down after a first part with blank lines. bValidGbk: whether the bytes are valid GBK, when
// bCheckGbk asks for it. REQUIRES: no NUL in the text.
BOOL ReadCells(std::string&& text, std::size_t nStart, CImportTable& table, std::string& strError, bool bCheckGbk,
               bool& bValidGbk)
{
    const std::size_t nEnd = CutText(text);
    const std::string_view all = std::string_view(text).substr(nStart, nEnd - nStart);
    const std::size_t nSplit = CsvSplitPoint(all, kPartBytes);
    // No quote comes before the split, so the header's commas count its values.
    const std::string_view header = all.substr(std::min(all.find_first_not_of("\r\n"), all.size()));
    const int nCols =
        nSplit == 0
            ? -1
            : static_cast<int>(std::count(header.begin(), header.begin() + header.find_first_of("\r\n"), ',')) + 1;
    // Every row but the last ends with a line end; the first of two parts ends with one and holds the
    // header. Room for no more: the pages past the rows are never touched.
    const std::size_t nFirstRoom = nSplit == 0 ? LineEnds(all) : LineEnds(all.substr(0, nSplit)) - 1;
    const std::size_t nSecondRoom = nSplit == 0 ? 0 : LineEnds(all.substr(nSplit)) + 1;
    CMemTable::CellArray cells;
    if (nSplit != 0)
        cells.resize((nFirstRoom + nSecondRoom) * static_cast<std::size_t>(nCols)); // left uninitialised
    CCellRows firstRows(cells, 0, nFirstRoom, nCols, true), secondRows(cells, nFirstRoom, nSecondRoom, nCols, false);
    firstRows.fileRows.reserve(nFirstRoom + nSecondRoom + 1); // the second part's follow
    secondRows.fileRows.reserve(nSecondRoom);
    PartRead first, second;
    // Each thread reads only its own part's bytes and writes only its own stretch of the cells.
    SideBySide(
        nSplit != 0,
        [&] { first = ReadPart(text, nStart, nSplit == 0 ? nEnd : nStart + nSplit, -1, bCheckGbk, firstRows); },
        [&] {
            if (nSplit != 0)
                second = ReadPart(text, nStart + nSplit, nEnd, nCols, bCheckGbk, secondRows);
        });
    bValidGbk = first.bValidGbk && second.bValidGbk;
    // The second part counted its lines from 1: its line 1 is the line after the first part's last.
    const int nShift = first.read.nLine - 1;
    second.read.nLine += nShift;
    BOOL bRead = FailReading(first.read, first.nHeaderValues, strError) &&
                 FailReading(second.read, first.nHeaderValues, strError);
    if (bRead && (firstRows.bFull || secondRows.bFull))
        bRead = FailWithMessage(strError, MemTableText::kNoMemoryCells);
    if (bRead && first.nHeaderValues > 0)
    {
        const auto nRowCells = static_cast<std::size_t>(first.nHeaderValues);
        const auto cellOfRow = [&](std::size_t nRow) {
            return cells.begin() + static_cast<std::ptrdiff_t>(nRow * nRowCells);
        };
        if (firstRows.nRows < nFirstRoom && secondRows.nRows != 0) // blank lines in the first part
            std::copy(cellOfRow(nFirstRoom), cellOfRow(nFirstRoom + secondRows.nRows), cellOfRow(firstRows.nRows));
        cells.resize((firstRows.nRows + secondRows.nRows) * nRowCells);
        for (const int nLine : secondRows.fileRows)
            firstRows.fileRows.push_back(nLine + nShift);
    }
    table.AdoptCells(std::move(text), std::move(firstRows.header), std::move(cells), std::move(firstRows.fileRows));
    return bRead;
}

// Reads the text from byte nStart on into the table, which keeps the text itself with its values cut
// out in place (see ReadCells). A text holding a NUL keeps each value's length: the values step
// names those that hold one.
BOOL ReadInPlace(std::string&& text, std::size_t nStart, CImportTable& table, std::string& strError, bool bCheckGbk,
                 bool& bValidGbk)
{
    const std::string_view all = std::string_view(text).substr(nStart);
    if (std::memchr(all.data(), '\0', all.size()) == nullptr)
        return ReadCells(std::move(text), nStart, table, strError, bCheckGbk, bValidGbk);
    bValidGbk = !bCheckGbk || Encoding::IsValidGbk(all);
    const BOOL bRead = ReadLines(text, nStart, table, strError, false, StoreInPlace);
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
