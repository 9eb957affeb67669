#include "exchange/CsvFile.h"

#include "TestKit.h"

#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

#include "core/ColumnMapping.h"
#include "core/DataFunc.h"
#include "core/ImportRecords.h"
#include "core/ImportTable.h"
#include "core/MemTable.h"
#include "platform/Encoding.h"

namespace
{
const std::string kHeader = "XSBSH,YXDM,ZYDM,XM,XBDM,CSNY,XLDM,ZXWYYZDM,BYSJ,SYSZDQDM,WYSPDM,DZXX,ZZMMDM,YXGZDQDM,"
                            "YXDWXZDM,YXDWHYDM,YXYX,YXZYLBM,LXDH,SJHM,TXDZ,YZBM,BZ,JICENG";

using TestKit::SampleStudent;

const std::string kNumber = "2006001001";

// A CSV line of the values joined by the separator, written as they are.
std::string Line(const std::vector<std::string>& values, const std::string& strEnd = "\r\n")
{
    std::string strLine;
    for (std::size_t i = 0; i < values.size(); ++i)
        strLine += (i ? "," : "") + values[i];
    return strLine + strEnd;
}

void AppendRecord(CMemTable& table, const std::vector<std::string>& utf8Values)
{
    const int nRow = table.GetRowCount();
    table.AddRows(1);
    for (int c = 0; c < STUDENT_FIELD_COUNT; ++c)
        table.SetCell(nRow, c, Gbk(utf8Values[c]));
}

// The import's message (empty on success), as UTF-8 for readable failures.
std::string Import(const std::string& strBytes, CMemTable& table, TextEncoding encoding = TextEncoding::Gbk)
{
    std::string strError;
    if (ReadCsvStudents(strBytes, table, strError, encoding))
        return std::string();
    return Encoding::GbkToUtf8(strError).value_or("<not GBK>");
}

void ExpectRecord(const CMemTable& table, int nRow, const std::vector<std::string>& utf8Values)
{
    for (int c = 0; c < STUDENT_FIELD_COUNT; ++c)
        EXPECT_EQ(table.GetCell(nRow, c), Gbk(utf8Values[c])) << "field " << g_studentFields[c].lpcszName;
}

std::string Export(const CMemTable& table)
{
    std::string strOut;
    WriteCsvText(table, strOut);
    return strOut;
}
} // namespace

TEST(CsvExport, EmptySchoolGivesTheHeaderLineOnly)
{
    CMemTable table;
    ASSERT_TRUE(CreateStudentTable(table));
    EXPECT_EQ(Export(table), kHeader + "\r\n");
}

TEST(CsvExport, WritesGbkValuesPlainWithCrLfAfterEveryLine)
{
    CMemTable table;
    ASSERT_TRUE(CreateStudentTable(table));
    AppendRecord(table, SampleStudent(kNumber));
    AppendRecord(table, SampleStudent("2006001002"));
    const std::string strRecord = "10001,08060501,张三,1,1984-07-07,31,01,2006-06-30,11,4,zs@example.com,01,110000,1,A,"
                                  "1000-2000 ,10A,010-62751234,13800138000,北京市海淀区颐和园路5号,100871,,00\r\n";
    EXPECT_EQ(Export(table), kHeader + "\r\n" + Gbk("2006001001," + strRecord + "2006001002," + strRecord));
}

TEST(CsvExport, QuotesOnlyValuesWithCommaQuoteOrLineBreak)
{
    struct Case
    {
        std::string value, written;
    } cases[] = {
        {"北京市海淀区,颐和园路5号", "\"北京市海淀区,颐和园路5号\""},
        {"他说\"好\"", "\"他说\"\"好\"\"\""},
        {"第一行\r\n第二行", "\"第一行\r\n第二行\""},
        {"\n", "\"\n\""},
        {"\r", "\"\r\""}, // a lone CR breaks the line for a spreadsheet program too
        {"前\r后", "\"前\r后\""},
        {"x\ty", "x\ty"},
        {"\"", "\"\"\"\""},
    };
    for (const Case& c : cases)
    {
        CMemTable table;
        ASSERT_TRUE(CreateStudentTable(table));
        std::vector<std::string> record = SampleStudent(kNumber);
        record[Field::TXDZ] = c.value;
        AppendRecord(table, record);
        std::vector<std::string> written = record;
        written[Field::TXDZ] = c.written;
        EXPECT_EQ(Export(table), kHeader + "\r\n" + Gbk(Line(written))) << c.value;
    }
}

TEST(CsvImport, ReadsBackAnExportedFileValueForValue)
{
    CMemTable source;
    ASSERT_TRUE(CreateStudentTable(source));
    std::vector<std::string> first = SampleStudent(kNumber);
    first[Field::TXDZ] = "北京市海淀区,颐和园路5号";
    first[Field::BZ] = "他说\"好\",就来";
    AppendRecord(source, first);
    AppendRecord(source, SampleStudent("2006001002"));

    CMemTable imported;
    ASSERT_EQ(Import(Export(source), imported), "");
    ASSERT_EQ(imported.GetRowCount(), 2);
    ASSERT_EQ(imported.GetColCount(), STUDENT_FIELD_COUNT);
    for (int c = 0; c < STUDENT_FIELD_COUNT; ++c)
        EXPECT_STREQ(imported.GetColName(c), g_studentFields[c].lpcszName);
    ExpectRecord(imported, 0, first);
    ExpectRecord(imported, 1, SampleStudent("2006001002"));
}

TEST(CsvImport, PlacesValuesUnderTheFieldsTheHeaderNames)
{
    std::vector<std::string> names, values;
    const std::vector<std::string> record = SampleStudent(kNumber);
    for (int c = STUDENT_FIELD_COUNT - 1; c >= 0; --c)
    {
        names.push_back(c == Field::XM ? std::string(" XM ") : g_studentFields[c].lpcszName); // names are trimmed
        values.push_back(record[c]);
    }
    CMemTable table;
    ASSERT_EQ(Import(Gbk(Line(names) + Line(values)), table), "");
    ASSERT_EQ(table.GetRowCount(), 1);
    ExpectRecord(table, 0, record);
}

TEST(CsvImport, AcceptsEveryLineEndAndSkipsBlankLines)
{
    const std::vector<std::string> first = SampleStudent(kNumber), second = SampleStudent("2006001002");
    const std::string cases[] = {
        kHeader + "\n" + Line(first, "\n") + Line(second, "\n"),             // as spreadsheets on Linux write
        kHeader + "\r" + Line(first, "\r") + Line(second, "\r"),             // old Macintosh files
        kHeader + "\r\n\r\n" + Line(first, "\n\n") + Line(second, ""),       // blank lines, no final line end
        "\r\n" + kHeader + "\r\n" + Line(first) + Line(second) + "\r\n\r\n", // blank lines around
    };
    for (const std::string& text : cases)
    {
        CMemTable table;
        ASSERT_EQ(Import(Gbk(text), table), "") << text;
        ASSERT_EQ(table.GetRowCount(), 2);
        ExpectRecord(table, 0, first);
        ExpectRecord(table, 1, second);
    }
}

TEST(CsvImport, HeaderOnlyFileGivesNoRows)
{
    CMemTable table;
    ASSERT_EQ(Import(kHeader + "\r\n", table), "");
    EXPECT_EQ(table.GetColCount(), STUDENT_FIELD_COUNT);
    EXPECT_EQ(table.GetRowCount(), 0);
}

TEST(CsvImport, RefusesFilesThatAreNotStudentTables)
{
    const std::string kNoFields = "导入文件必须是CSV格式文件，并且有预定义的字段。";
    std::string strManyNames = kHeader;
    for (int i = 0; i < 76; ++i)
        strManyNames += ",X" + std::to_string(i);
    std::vector<std::string> shifted = SampleStudent(kNumber);
    shifted[Field::TXDZ] = "北京市海淀区,颐和园路5号"; // an unquoted comma, as old files have it
    struct Case
    {
        std::string text, message;
    } cases[] = {
        {"", kNoFields},
        {"\r\n\r\n", kNoFields},
        {"XSBSH,XM\r\n1,2\r\n", kNoFields},
        {kHeader.substr(0, kHeader.rfind(',')) + ",JICENGX\r\n", kNoFields},
        {kHeader + ",EXTRA\r\n" + Line(SampleStudent(kNumber)) + "\r\n", "文件第2行有24个值，应与标题行一样是25个。"},
        {"XSBSH," + kHeader + "\r\n", kNoFields},      // which of the two columns is meant stays open
        {strManyNames + ",X76\r\n", "列数超过限制。"}, // 101 names
        {kHeader + "\r\n" + Line(SampleStudent(kNumber)) + Line(shifted), "文件第3行有25个值，应与标题行一样是24个。"},
        {kHeader + "\r\n" + Line(SampleStudent(kNumber)).substr(11), "文件第2行有23个值，应与标题行一样是24个。"},
        {kHeader + "\r\n\"2006001001,10001\r\n",
         "文件第2行的引号不成对：用引号括起的值必须以引号结束，值中的引号要写成两个引号。"},
        {kHeader + "\r\n\"2006\"001," + Line(SampleStudent(kNumber)).substr(11),
         "文件第2行的引号不成对：用引号括起的值必须以引号结束，值中的引号要写成两个引号。"},
        {kHeader + "\r\n\r\n\"a\r\nb\"," + Line(SampleStudent(kNumber)).substr(11),
         "文件中有1个值不能导入，没有导入任何记录：\n"
         "“学号”（XSBSH）：1个值含有换行符或制表符，数据文件不能保存这样的值（第3行）。\n"
         "请在文件中改掉这些值后再导入。\n"},
        {kHeader + "\r\n" + Line(SampleStudent(kNumber)).substr(0, 10) + "\t" + Line(SampleStudent(kNumber)).substr(10),
         "文件中有1个值不能导入，没有导入任何记录：\n"
         "“学号”（XSBSH）：1个值含有换行符或制表符，数据文件不能保存这样的值（第2行）。\n"
         "请在文件中改掉这些值后再导入。\n"},
    };
    for (const Case& c : cases)
    {
        CMemTable table;
        EXPECT_EQ(Import(Gbk(c.text), table), c.message) << c.text;
    }
}

TEST(CsvImport, KeepsQuotesInsidePlainValues)
{
    std::vector<std::string> record = SampleStudent(kNumber);
    record[Field::BZ] = "5'10\" tall";
    CMemTable table;
    ASSERT_EQ(Import(Gbk(kHeader + "\r\n" + Line(record)), table), "");
    ExpectRecord(table, 0, record);
}

// Quoted values are read back inside the file's own bytes; the last one may end the file.
TEST(CsvImport, ReadsQuotedValuesBackWhereverTheLineEnds)
{
    std::vector<std::string> record = SampleStudent(kNumber);
    std::vector<std::string> written = record;
    record[Field::TXDZ] = "他说\"好\"，就来\"";
    written[Field::TXDZ] = "\"他说\"\"好\"\"，就来\"\"\"";
    record[Field::BZ] = "颐和园路,5号";
    written[Field::BZ] = "\"颐和园路,5号\"";
    record[Field::JICENG] = written[Field::JICENG] = "";
    std::vector<std::string> last = written;
    last[Field::JICENG] = "\"\""; // a quoted empty value at the very end
    for (const std::string strEnd : {"\r\n", "\n", ""})
    {
        CMemTable table;
        ASSERT_EQ(Import(Gbk(kHeader + "\n" + Line(written, "\n") + Line(last, strEnd)), table), "") << strEnd;
        ASSERT_EQ(table.GetRowCount(), 2);
        ExpectRecord(table, 0, record);
        ExpectRecord(table, 1, record);
    }
}

// The records keep the file's bytes as their storage and its cells as theirs: the table of the
// file's cells then keeps its header row. A file refused for a NUL keeps its cells.
TEST(CsvImport, RecordsTakeTheFileBytesAndCells)
{
    std::vector<std::string> record = SampleStudent(kNumber);
    record[Field::XBDM] = "男"; // a name: the record stores its code
    std::vector<std::string> nul = record;
    nul[Field::BZ] = std::string(1, '\0'); // no text: the second file is refused
    const std::string strText = Gbk(kHeader + "\r\n" + Line(record));
    for (const bool bRefused : {false, true})
    {
        CImportTable cells;
        std::string strError;
        ASSERT_TRUE(ReadCsvTable(strText + (bRefused ? Gbk(Line(nul)) : ""), cells, strError)) << strError;
        EXPECT_EQ(cells.At(1, Field::XBDM).text, Gbk("男"));
        EXPECT_EQ(cells.At(1, Field::TXDZ).text, Gbk(record[Field::TXDZ]));
        ImportedRecords records;
        EXPECT_EQ(MakeImportRecords(cells, ProposeMapping(cells), records, strError), !bRefused);
        EXPECT_EQ(cells.Title(Field::XM), "XM");
        ASSERT_EQ(cells.RowCount(), bRefused ? 3 : 1);
        if (bRefused)
        {
            EXPECT_EQ(cells.At(1, Field::XBDM).text, Gbk("男"));
            continue;
        }
        std::vector<std::string> stored = record;
        stored[Field::XBDM] = "1";
        ExpectRecord(records.table, 0, stored);
        EXPECT_EQ(Export(records.table), Gbk(kHeader + "\r\n" + Line(stored)));
    }
}

// The records of a CSV text, or the message that refuses them, and the lines of the ambiguous values.
std::string RecordsOf(const std::string& strText, bool bTakeCells)
{
    CImportTable cells;
    std::string strError;
    if (!ReadCsvTable(std::string(strText), cells, strError))
        return "unread: " + strError;
    ImportedRecords records;
    const ColumnMapping mapping = ProposeMapping(cells);
    const BOOL bMade = bTakeCells ? MakeImportRecords(cells, mapping, records, strError)
                                  : MakeImportRecords(std::as_const(cells), mapping, records, strError);
    if (!bMade)
        return "refused: " + strError;
    std::string strRecords = Export(records.table);
    for (std::size_t k = 0; k < records.fileRows.size(); ++k)
    {
        strRecords += std::to_string(records.fileRows[k]) + ";";
        for (const ImportedRecords::Ambiguous& value : records.ambiguous[static_cast<int>(k)])
            strRecords += value.strText + ";";
    }
    return strRecords;
}

// The records that take over the file's cells are those made from a copy, whatever the file holds:
// values read back or changed, a NUL byte, fewer columns than fields, a value refused, and a big
// file read in two parts with blank lines in its first.
TEST(CsvImport, RecordsTakingTheCellsAreThoseOfACopy)
{
    std::vector<std::string> changed = SampleStudent("2006001002");
    changed[Field::XBDM] = "男";
    changed[Field::XLDM] = " 01 ";
    changed[Field::TXDZ] = "\"北京,\"\"海淀\"\"\"";
    changed[Field::ZYDM] = "广播电视工程"; // the name of several codes
    const std::string strBody = Line(SampleStudent(kNumber)) + "\r\n" + Line(changed);
    std::string strWithout = kHeader.substr(0, kHeader.rfind(",BZ,")) + ",JICENG\r\n"; // no BZ column
    for (const std::string& strLine : {Line(SampleStudent(kNumber)), Line(changed)})
        strWithout +=
            strLine.substr(0, strLine.rfind(',', strLine.rfind(',') - 1)) + strLine.substr(strLine.rfind(','));
    std::string strBig = kHeader + ",X\r\n";
    for (int r = 0; r < 12000; ++r)
    {
        std::vector<std::string> record = SampleStudent(std::to_string(2006100000 + r));
        record[Field::XBDM] = r % 3 == 0 ? "女" : "2";
        strBig += (r % 997 == 0 ? "\r\n" : "") + Line(record, ",x\r\n");
    }
    std::vector<std::string> broken = SampleStudent("2006001003");
    broken[Field::TXDZ] = "\"北京\r\n海淀\"";
    const std::string cases[] = {
        kHeader + "\r\n" + strBody,
        kHeader + ",X\r\n" + Line(SampleStudent(kNumber), std::string(",\0\r\n", 4)) + Line(changed, ",\r\n"),
        strWithout,
        kHeader + "\r\n" + strBody + Line(broken) + Line(broken),
        kHeader + "\r\n" + strBody + Line(SampleStudent("2006001004"), std::string(1, '\0') + "\r\n"),
        strBig,
    };
    for (const std::string& strCase : cases)
    {
        const std::string strText = Gbk(strCase);
        const std::string strCopied = RecordsOf(strText, false);
        EXPECT_EQ(RecordsOf(strText, true), strCopied) << strCase.substr(0, 300);
        EXPECT_EQ(strCopied.find("unread"), std::string::npos) << strCopied;
    }
    EXPECT_NE(RecordsOf(Gbk(cases[0]), true).find(Gbk("专业：第4行“广播电视工程”有多个代码")), std::string::npos);
    EXPECT_EQ(RecordsOf(Gbk(cases[3]), true).rfind(Gbk("refused: 文件中有2个值不能导入"), 0), 0u);
    EXPECT_EQ(RecordsOf(Gbk(cases[4]), true).rfind(Gbk("refused: 文件中有1个值不能导入"), 0), 0u);
}

TEST(CsvImport, ReadsUtf8FilesWithAMarkOrWhenTold)
{
    const std::vector<std::string> record = SampleStudent(kNumber);
    const std::string strBody = kHeader + "\n" + Line(record, "\n");
    const std::pair<std::string, TextEncoding> cases[] = {
        {"\xEF\xBB\xBF" + strBody, TextEncoding::Gbk}, // the mark wins over the default
        {"\xEF\xBB\xBF" + strBody, TextEncoding::Utf8},
        {strBody, TextEncoding::Utf8},
    };
    for (const auto& [text, encoding] : cases)
    {
        CMemTable table;
        ASSERT_EQ(Import(text, table, encoding), "");
        ASSERT_EQ(table.GetRowCount(), 1);
        ExpectRecord(table, 0, record);
    }
}

// Many GBK characters are byte for byte also valid UTF-8: 路梅 is "·÷" read as UTF-8, and 学 is a
// Cyrillic letter that GBK cannot store. A file without a mark is GBK unless the caller says otherwise.
TEST(CsvImport, ReadsGbkThatLooksLikeUtf8AsGbk)
{
    for (const std::string name : {"路梅", "学"})
    {
        std::vector<std::string> record = SampleStudent(kNumber);
        record[Field::XM] = name;
        record[Field::TXDZ] = "5 Yiheyuan Road";
        const std::string strFile = Gbk(kHeader + "\r\n" + Line(record));
        ASSERT_TRUE(Encoding::IsValidUtf8(strFile)) << name;
        CMemTable table;
        ASSERT_EQ(Import(strFile, table), "") << name;
        ASSERT_EQ(table.GetRowCount(), 1);
        ExpectRecord(table, 0, record);
    }
}

TEST(CsvImport, RefusesBytesThatAreNotTextWithLineAndField)
{
    const std::string strLine = Gbk(Line(SampleStudent(kNumber)));
    const std::size_t nName = strLine.find(Gbk("张三"));
    struct Case
    {
        std::string record, message;
    } cases[] = {
        {strLine.substr(0, nName) + "\xFF" + strLine.substr(nName),
         "文件第3行“姓名”（XM）的值不是有效的GBK文本，请检查文件的编码。"},
        {strLine.substr(0, nName) + "\xA1\x40" + strLine.substr(nName), // a code the code page leaves unused
         "文件第3行“姓名”（XM）的值不是有效的GBK文本，请检查文件的编码。"},
        {strLine.substr(0, nName + 4) + "\x81" + strLine.substr(nName + 4), // a lead byte before the comma
         "文件第3行“姓名”（XM）的值不是有效的GBK文本，请检查文件的编码。"},
        {strLine.substr(0, nName) + std::string(1, '\0') + strLine.substr(nName),
         "文件中有1个值不能导入，没有导入任何记录：\n“姓名”（XM）：1个值含有空字符（NUL），这不是文本（第3行）。\n"
         "请在文件中改掉这些值后再导入。\n"},
    };
    for (const Case& c : cases)
    {
        CMemTable table;
        EXPECT_EQ(Import(kHeader + "\r\n" + strLine + c.record, table), c.message);
        EXPECT_EQ(table.GetRowCount(), 0);
    }
}

TEST(CsvImport, SkipsARowOfColumnTitlesUnderTheNames)
{
    std::vector<std::string> labels;
    for (const STUDENTFIELD& field : g_studentFields)
        labels.push_back(Encoding::GbkToUtf8(field.lpcszListLabel).value());
    CMemTable table;
    ASSERT_EQ(Import(Gbk(kHeader + "\r\n" + Line(labels) + Line(SampleStudent(kNumber))), table), "");
    ASSERT_EQ(table.GetRowCount(), 1);
    ExpectRecord(table, 0, SampleStudent(kNumber));
    ASSERT_EQ(Import(Gbk(kHeader + "\r\n" + Line(SampleStudent(kNumber)) + Line(labels)), table), "");
    EXPECT_EQ(table.GetRowCount(), 2) << "only the row right under the names is the titles";
}

TEST(CsvImport, CountsTheValuesOfAnAbsurdLineWithoutKeepingThem)
{
    CMemTable table;
    EXPECT_EQ(Import(kHeader + "\r\n" + std::string(2000000, ',') + "\r\n", table),
              "文件第2行有2000001个值，应与标题行一样是24个。");
    EXPECT_EQ(Import(std::string(2000000, ',') + "\r\n", table), "列数超过限制。");
}

TEST(CsvImport, ReadsAsciiAfterAByteOrderMark)
{
    CMemTable table;
    ASSERT_EQ(Import("\xEF\xBB\xBF" + kHeader + "\r\n", table), "");
    EXPECT_EQ(table.GetColCount(), STUDENT_FIELD_COUNT);
}

TEST(CsvImport, RefusesUtf8ValuesThatGbkCannotHold)
{
    std::vector<std::string> bad = SampleStudent("2006001003");
    bad[Field::TXDZ] = "北京😀";
    const std::string strBody =
        kHeader + "\r\n" + Line(SampleStudent(kNumber)) + Line(SampleStudent("2006001002")) + Line(bad);
    CMemTable table;
    EXPECT_EQ(Import(strBody + Line(bad), table, TextEncoding::Utf8),
              "文件中有2个值不能导入，没有导入任何记录：\n"
              "“通信地址”（TXDZ）：2个值含有GBK编码不能表示的字符（例如表情符号）（第4行、第5行）。\n"
              "请把这些字符改成其他字符后再导入。\n");
    EXPECT_EQ(Import("\xEF\xBB\xBF" + kHeader + "\r\n" + Line(SampleStudent(kNumber)).substr(0, 10) + "\xE4\xB8" +
                         Line(SampleStudent(kNumber)).substr(10),
                     table),
              "文件不是有效的UTF-8文本，请检查文件的编码。");
}

TEST(CsvSplit, CutsAfterTheLineEndPastTheMiddleWhenNoQuoteComesBefore)
{
    // '|' marks where the text is cut; a case without one is read in one piece.
    const char* const cases[] = {
        "a,b\nxx\n|yy\nzz\n",
        "h,i\r\n1234\r\n|5678\r\n", // the middle before a CR LF
        "h,i\r\n12\r\n|34567\r\n",  // the middle on the LF of a CR LF
        "h,i\r1234\r|56\r",         // CR alone ends a line too
        "h,i\nab\ncd\n|\"e\"\n",    // a quote after the cut
        "h,i\n\"ab\"\ncd\nef\n",    // a quote before it: a quoted value might span it
        "h,i\n\"a\nb\",c\nde,f\n",  // a quoted line break at the middle
        "\n\n\n\n\n\n\n\nh,i\n",    // the header in the second half
        "h,i\nabcdefghijklmn",      // no line end after the middle
        "h,i\nab\ncdefghijkl\n",    // the line after the middle is the last
    };
    for (const std::string strCase : cases)
    {
        std::string strText = strCase;
        const std::size_t nMark = strText.find('|');
        if (nMark != std::string::npos)
            strText.erase(nMark, 1);
        EXPECT_EQ(CsvSplitPoint(strText, 1), nMark == std::string::npos ? 0 : nMark) << strCase;
    }
    EXPECT_EQ(CsvSplitPoint("a,b\nxx\nyy\nzz\n", 14), 0u) << "a text below the size is read whole";
}

// A big text read in two parts, each row given as it is written and as it reads.
struct BigCsv
{
    std::string text = "A,B,C\r\n";
    std::vector<int> lines;           // each row's line
    std::vector<std::string> seconds; // each row's second value, read
};

// Rows of the same length whether or not their second value is quoted over two lines, so that
// quoting a row does not move the cut; a blank line before every 1499th row.
BigCsv MakeBigCsv(int nRows, const std::vector<int>& quoted)
{
    BigCsv csv;
    int nLine = 2;
    for (int r = 0; r < nRows; ++r)
    {
        const bool bQuoted = std::find(quoted.begin(), quoted.end(), r) != quoted.end();
        char szPlain[16];
        std::snprintf(szPlain, sizeof szPlain, "v%05d", r % 100000);
        if (r % 1499 == 0)
            csv.text += "\r\n", ++nLine;
        csv.lines.push_back(nLine);
        csv.seconds.push_back(bQuoted ? "q\r\nx" : szPlain);
        csv.text += std::to_string(r) + "," + (bQuoted ? "\"q\r\nx\"" : szPlain) + ",\xD5\xC5\xC8\xFD\r\n"; // 张三
        nLine += bQuoted ? 2 : 1;
    }
    return csv;
}

// A big text is read in two parts: its rows, file lines and messages must be those of a read in
// one piece, wherever the line ends, blank lines and quoted values fall.
TEST(CsvSplit, TwoPartsReadAsOne)
{
    constexpr int kRows = 70000; // about 1.3 MB
    const std::size_t nSplit = CsvSplitPoint(MakeBigCsv(kRows, {}).text, 1024 * 1024);
    ASSERT_NE(nSplit, 0u);
    // The first row of the second part, found by its line (the lines before the cut, and one).
    const BigCsv plain = MakeBigCsv(kRows, {});
    const int nLineAtSplit = static_cast<int>(std::count(plain.text.begin(), plain.text.begin() + nSplit, '\n')) + 1;
    const auto nRowAtSplit =
        static_cast<int>(std::lower_bound(plain.lines.begin(), plain.lines.end(), nLineAtSplit) - plain.lines.begin());
    const BigCsv csv = MakeBigCsv(kRows, {nRowAtSplit, nRowAtSplit + 1, nRowAtSplit + 997, kRows - 1});
    ASSERT_EQ(CsvSplitPoint(csv.text, 1024 * 1024), nSplit);
    ASSERT_EQ(csv.text.find(std::to_string(nRowAtSplit) + ",\"q\r\nx\"", nSplit),
              csv.text.find_first_not_of("\r\n", nSplit))
        << "the quoted value starts the second part";
    CImportTable table;
    std::string strError;
    ASSERT_TRUE(ReadCsvTable(std::string(csv.text), table, strError)) << strError;
    ASSERT_EQ(table.RowCount(), kRows + 1);
    for (int r = 0; r < kRows; ++r)
    {
        ASSERT_EQ(table.FileRow(r + 1), csv.lines[static_cast<std::size_t>(r)]) << "row " << r;
        ASSERT_EQ(table.At(r + 1, 0).text, std::to_string(r));
        ASSERT_EQ(table.At(r + 1, 1).text, csv.seconds[static_cast<std::size_t>(r)]);
        ASSERT_EQ(table.At(r + 1, 2).text, "\xD5\xC5\xC8\xFD");
    }

    // A fault in either part is named by its line in the file; the first one counts.
    const std::string strLast = "\r\n" + std::to_string(kRows - 1) + ",";
    const std::size_t nLastRow = csv.text.rfind(strLast) + 2;
    const std::string strAfter = std::to_string(csv.lines.back() + 2); // the last row takes two lines
    struct Case
    {
        std::string text, message;
    } faults[] = {
        {csv.text + "1,2\r\n", "文件第" + strAfter + "行有2个值，应与标题行一样是3个。"},
        {csv.text + "\"1,2,3\r\n",
         "文件第" + strAfter + "行的引号不成对：用引号括起的值必须以引号结束，值中的引号要写成两个引号。"},
        {csv.text.substr(0, nLastRow) + "\xFF" + csv.text.substr(nLastRow),
         "文件第" + std::to_string(csv.lines.back()) + "行“A”列的值不是有效的GBK文本，请检查文件的编码。"},
        {"A,B,C\r\n1,2\r\n" + csv.text.substr(7) + "1,2\r\n", "文件第2行有2个值，应与标题行一样是3个。"},
    };
    for (const Case& fault : faults)
    {
        ASSERT_NE(CsvSplitPoint(fault.text, 1024 * 1024), 0u);
        EXPECT_FALSE(ReadCsvTable(std::string(fault.text), table, strError));
        EXPECT_EQ(Encoding::GbkToUtf8(strError).value_or("<not GBK>"), fault.message);
        EXPECT_EQ(table.RowCount(), 0);
    }
}
