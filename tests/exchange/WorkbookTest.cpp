#include "TestKit.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

#include "core/DataFunc.h"
#include "core/MemTable.h"
#include "exchange/WorkbookExport.h"
#include "exchange/WorkbookImport.h"
#include "exchange/XlsxParts.h"
#include "platform/Encoding.h"
#include "platform/FileSystem.h"
#include "platform/LastError.h"

// Workbooks are checked with an independent reader and writer (Python's openpyxl and xlwt, run by
// Debian's own python3) rather than with the library the program writes them with.
namespace
{
namespace fs = std::filesystem;

using TestKit::CommandOutput;
using TestKit::SampleStudent;

std::string Tool()
{
    return std::string(std::getenv("VARNHOLT_SOURCE_DIR")) + "/tests/exchange/workbook_tool.py";
}

void ExpectRecord(const CMemTable& table, int nRow, const std::vector<std::string>& utf8)
{
    for (int c = 0; c < STUDENT_FIELD_COUNT; ++c)
        EXPECT_EQ(Utf8(table.GetCell(nRow, c)), utf8[c]) << "row " << nRow << " field " << g_studentFields[c].lpcszName;
}

class Workbooks : public testing::Test
{
  protected:
    static void SetUpTestSuite()
    {
        s_dir = fs::temp_directory_path() / ("varnholt-workbooks-" + std::to_string(getpid()));
        fs::create_directories(s_dir);
        CommandOutput("/usr/bin/python3 " + Tool() + " fixtures " + s_dir.string());
    }
    static void TearDownTestSuite() { fs::remove_all(s_dir); }

    // The import's message as UTF-8, empty on success.
    static std::string Import(const std::string& strName, CMemTable& table)
    {
        const std::string strPath = (s_dir / strName).string();
        std::string strBytes, strError;
        ReadRegularFile(strPath, strBytes); // a missing file reads as no bytes
        if (ReadWorkbookStudents(strPath, strBytes, FormatOfPath(strPath), table, strError))
            return std::string();
        return Utf8(strError);
    }

    static fs::path s_dir;
};
fs::path Workbooks::s_dir;
} // namespace

TEST(ExchangeFormat, KnowsTheFormatByTheExtension)
{
    const std::pair<const char*, ExchangeFormat> cases[] = {
        {"a.csv", ExchangeFormat::Csv},        {"/x/B.XLSX", ExchangeFormat::Xlsx}, {"c.ods", ExchangeFormat::Ods},
        {"d.Xls", ExchangeFormat::Xls},        {"e.txt", ExchangeFormat::Unknown},  {"f", ExchangeFormat::Unknown},
        {"g.xlsx/h", ExchangeFormat::Unknown},
    };
    for (const auto& [path, format] : cases)
        EXPECT_EQ(FormatOfPath(path), format) << path;
}

TEST_F(Workbooks, ExportWritesTextCellsWithNamesTitlesFrozenPanesAndFilter)
{
    CMemTable table;
    ASSERT_TRUE(CreateStudentTable(table));
    table.AddRows(2);
    const std::vector<std::string> first = SampleStudent("20060010010001"),
                                   second = SampleStudent("2006001002", "路梅");
    for (int c = 0; c < STUDENT_FIELD_COUNT; ++c)
    {
        table.SetCell(0, c, Gbk(first[c]));
        table.SetCell(1, c, Gbk(second[c]));
    }
    std::string strBytes, strError;
    ASSERT_TRUE(BuildStudentWorkbook(table, strBytes, strError, WorkbookSheets::StoredAndNames)) << Utf8(strError);
    const std::string strPath = (s_dir / "export.xlsx").string();
    ASSERT_EQ(ReplaceFileAtomically(strPath, strBytes), ERROR_SUCCESS);
    const std::string strDump = CommandOutput("/usr/bin/python3 " + Tool() + " dump " + strPath);

    const std::string expected[] = {
        "sheet 记录\nfreeze B3\nfilter A2:X4\n",
        "cell\tA1\ts\tXSBSH\n",
        "cell\tA2\ts\t学号\n",
        "cell\tA3\ts\t20060010010001\n", // 14 digits, not 2.006E+13
        "cell\tH3\ts\t01\n",             // the leading zero stays
        "cell\tF3\ts\t1984-07-07\n",
        "cell\tD4\ts\t路梅\n",
        "cell\tQ3\ts\t1000-2000 \n",
        "sheet 记录（名称）\nfreeze B3\nfilter A2:X4\n",
        "cell\tE3\ts\t男\n", // coded fields as names on the second sheet
    };
    for (const std::string& line : expected)
        EXPECT_NE(strDump.find(line), std::string::npos) << line << "\nin:\n" << strDump;
    EXPECT_EQ(strDump.find("\tn\t"), std::string::npos) << "no number cells";
    EXPECT_EQ(strDump.find("W3"), std::string::npos) << "an empty value is an empty cell";
    EXPECT_NE(strDump.find("width U 25"), std::string::npos) << "the address column fits its 23 bytes";

    CMemTable imported;
    EXPECT_EQ(Import("export.xlsx", imported), "");
    ASSERT_EQ(imported.GetRowCount(), 2) << "the title row is skipped";
    ExpectRecord(imported, 0, first);
    ExpectRecord(imported, 1, second);

    // Edited and saved by another program, it comes back with the edits.
    CommandOutput("/usr/bin/python3 " + Tool() + " edit " + strPath);
    std::vector<std::string> renamed = first, added = first;
    renamed[Field::XM] = added[Field::XM] = "王五";
    added[Field::XSBSH] = "20060010019999";
    EXPECT_EQ(Import("export.xlsx", imported), "");
    ASSERT_EQ(imported.GetRowCount(), 3);
    ExpectRecord(imported, 0, renamed);
    ExpectRecord(imported, 1, second);
    ExpectRecord(imported, 2, added);
}

TEST_F(Workbooks, ExportAndImportTellTheirProgressRisingToTheEnd)
{
    CMemTable table;
    ASSERT_TRUE(CreateStudentTable(table));
    constexpr int kRows = 3000;
    table.AddRows(kRows);
    const std::vector<std::string> record = SampleStudent("2006001");
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < STUDENT_FIELD_COUNT; ++c)
            table.SetCell(r, c, Gbk(record[c]));
    std::vector<double> told;
    const ExchangeProgress progress = [&told](double fDone) { told.push_back(fDone); };
    const auto expectRising = [&told](const char* lpcszWhat) {
        ASSERT_GT(told.size(), 10u) << lpcszWhat;
        EXPECT_TRUE(std::is_sorted(told.begin(), told.end())) << lpcszWhat;
        EXPECT_LT(told.front(), 0.1) << lpcszWhat << ": told from the start";
        EXPECT_EQ(told.back(), 1) << lpcszWhat;
        told.clear();
    };
    std::string strBytes, strError;
    ASSERT_TRUE(BuildStudentWorkbook(table, strBytes, strError, WorkbookSheets::StoredAndNames, progress));
    EXPECT_LE(told[told.size() - 2], 0.5) << "the rows are half the work; packing the file is the rest";
    expectRising("export");
    CMemTable imported;
    ASSERT_TRUE(ReadWorkbookStudents("", strBytes, ExchangeFormat::Xlsx, imported, strError, progress));
    EXPECT_EQ(imported.GetRowCount(), kRows);
    expectRising("import");
}

TEST_F(Workbooks, ImportsEveryFormatByTheHeaderNamesWithDatesAsText)
{
    std::vector<std::string> dated = SampleStudent("2006001002", "路梅");
    dated[Field::CSNY] = "1985-03-09";
    dated[Field::BYSJ] = "2006-07-01";
    std::vector<std::string> odd = dated;
    odd[Field::BZ] = "aAb_x0041_";
    const std::pair<const char*, std::vector<std::vector<std::string>>> cases[] = {
        {"good.xlsx", {SampleStudent("20060010010001"), dated}}, // reversed columns, a blank row, date cells
        {"inline.xlsx", {SampleStudent("20060010010001")}},      // texts in the cells, not in a shared table
        {"odd.xlsx", {odd}}, // prefixed names, no references, a phonetic guide, escapes, dates of 1904
        {"wide.xlsx", {SampleStudent("20060010010001")}},     // values under no title are no field's
        {"noheader.xlsx", {SampleStudent("20060010010001")}}, // the list's titles instead of the names
        {"good.ods", {SampleStudent("20060010010001"), dated}},
        {"good.xls", {SampleStudent("20060010010001"), dated}},
    };
    for (const auto& [name, records] : cases)
    {
        CMemTable table;
        ASSERT_EQ(Import(name, table), "") << name;
        ASSERT_EQ(table.GetRowCount(), static_cast<int>(records.size())) << name;
        for (std::size_t r = 0; r < records.size(); ++r)
            ExpectRecord(table, static_cast<int>(r), records[r]);
    }
}

TEST_F(Workbooks, RefusesCellsThatCannotBeTheStoredTextNamingSheetCellAndField)
{
    const std::string kNumber =
        "1个单元格是数字，不是文本，它的数字可能已经改掉了（例如长学号变成2.006E+13，代码01变成1）";
    const std::string kSheet = "工作表“学生”中有1个单元格的值不能导入，没有导入任何记录：\n";
    const std::pair<const char*, std::string> cases[] = {
        {"numeric.xlsx", kSheet + "“学号”（XSBSH），A列：" + kNumber + "（A3）。"},
        {"numeric.ods", kSheet + "“邮政编码”（YZBM），V列：" + kNumber + "（V2）。"},
        {"numeric.xls", kSheet + "“主修外语语种”（ZXWYYZDM），H列：" + kNumber + "（H2）。"},
        {"emoji.xlsx", kSheet + "“通信地址”（TXDZ），U列：1个单元格含有GBK编码不能表示的字符（例如表情符号）（U3）。"},
        {"formula.xlsx", kSheet + "“备注”（BZ），W列：1个单元格是公式（W2）。\n"
                                  "请在电子表格中把公式换成它的值（复制后“只粘贴值”）再导入。"},
        {"badxml.xlsx",
         "文件不是有效的Excel工作簿（.xlsx）：book/sheets/first.xml 第1行不是有效的XML（mismatched tag）"},
        {"crc.xlsx", "文件不是有效的Excel工作簿（.xlsx）：book/sheets/first.xml 已损坏"},
        {"truncated.xlsx", "文件不是有效的Excel工作簿（.xlsx）：它不是zip压缩包，可能已损坏或已加密。"},
        {"badindex.xlsx", "文件不是有效的Excel工作簿（.xlsx）：工作表“学生”的单元格B1指向不存在的文本。"},
        {"missing.xlsx", "文件不是有效的Excel工作簿（.xlsx）："},
        {"missing.xls", "文件不是有效的Excel 97-2003工作簿（.xls），或者已经加密。"},
    };
    for (const auto& [name, message] : cases)
    {
        CMemTable table;
        EXPECT_EQ(Import(name, table).substr(0, message.size()), message) << name;
        EXPECT_EQ(table.GetRowCount(), 0) << name << ": all rows or none";
    }
}

TEST(WorkbookText, EscapesAreDecodedAndLookalikesKept)
{
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"_x000D_", "\r"},
        {"a_x4E2D_", "a中"},
        {"_x0041__x0042_", "AB"},
        {"_x005F_x0041_", "_x0041_"}, // an escaped underscore keeps the rest literal
        {"_x041_", "_x041_"},         // three digits
        {"_x0041", "_x0041"},         // no closing underscore at the end
        {"_xD83D_", "_xD83D_"},       // half a surrogate pair
        {"_xZZZZ_", "_xZZZZ_"},
    };
    for (const auto& [in, out] : cases)
    {
        std::string strText = in;
        DecodeWorkbookEscapes(strText);
        EXPECT_EQ(strText, out) << in;
    }
}

TEST(WorkbookText, CellReferencesFromA1ToTheLastCell)
{
    struct Case
    {
        const char* lpcszReference;
        bool bValid;
        int nRow, nCol;
    };
    const Case cases[] = {
        {"A1", true, 0, 0},     {"$B$3", true, 2, 1}, {"aa10", true, 9, 26}, {"XFD1048576", true, 1048575, 16383},
        {"A0", false, 0, 0},    {"A", false, 0, 0},   {"1A", false, 0, 0},   {"", false, 0, 0},
        {"B3:C4", false, 2, 1},
    };
    for (const Case& c : cases)
    {
        int nRow = -1, nCol = -1;
        EXPECT_EQ(ParseCellReference(c.lpcszReference, nRow, nCol), c.bValid) << c.lpcszReference;
        if (c.bValid)
        {
            EXPECT_EQ(std::pair(nRow, nCol), std::pair(c.nRow, c.nCol)) << c.lpcszReference;
        }
    }
}

TEST(WorkbookText, PartNamesResolveFromTheNamingPartsFolder)
{
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"xl/", "worksheets/sheet1.xml", "xl/worksheets/sheet1.xml"},
        {"xl/", "/xl/sharedStrings.xml", "xl/sharedStrings.xml"}, // absolute
        {"xl/", "./a/../b.xml", "xl/b.xml"},
        {"", "../../c.xml", "c.xml"}, // never above the package's root
    };
    for (const auto& [folder, target, part] : cases)
        EXPECT_EQ(ResolveTarget(folder, target), part) << folder << target;
    EXPECT_EQ(RelationshipsOf("xl/workbook.xml"), "xl/_rels/workbook.xml.rels");
    EXPECT_EQ(RelationshipsOf(""), "_rels/.rels");
}
