// export and import of workbooks, and the encoding of imported CSV files.
#include "CliTestSupport.h"

#include <cstdlib>
#include <utility>

namespace
{
const char* const CODE = "10001";
const char* const OTHER = "10002";

Record Named(int n, const std::string& strUtf8Name)
{
    Record record = ValidRecord(n);
    record[3] = Gbk(strUtf8Name);
    return record;
}

class CliExchange : public CliTest
{
  protected:
    CliResult Import(const std::string& strFile, std::vector<std::string> extra = {})
    {
        std::vector<std::string> args = {"import", "--school", OTHER, "--password", "456", "--in", strFile};
        args.insert(args.end(), extra.begin(), extra.end());
        return Run(args);
    }
};
} // namespace

TEST_F(CliExchange, WorkbookExportImportsAgainRecordForRecord)
{
    const std::vector<Record> records = {Named(1, "路梅"), ValidRecord(2)};
    WriteSchool(CODE, "123", records);
    WriteSchool(OTHER, "456", {});
    const CliResult exported =
        Run({"export", "--school", CODE, "--password", "123", "--out", FilePath("records.XLSX")});
    ASSERT_EQ(exported.nExit, 0) << exported.strOut << exported.strErr;
    const std::string strWorkbook = ReadFileBytes(FilePath("records.XLSX"));
    EXPECT_EQ(strWorkbook.substr(0, 2), "PK"); // a workbook, not CSV text
    EXPECT_EQ(strWorkbook.find("xl/worksheets/sheet2.xml"), std::string::npos) << "names only when asked";
    const CliResult named =
        Run({"export", "--school", CODE, "--password", "123", "--out", FilePath("named.xlsx"), "--names"});
    ASSERT_EQ(named.nExit, 0) << named.strOut << named.strErr;
    EXPECT_NE(ReadFileBytes(FilePath("named.xlsx")).find("xl/worksheets/sheet2.xml"), std::string::npos);

    const CliResult imported = Import(FilePath("records.XLSX"), {"--check"});
    ASSERT_EQ(imported.nExit, 0) << imported.strOut << imported.strErr;
    EXPECT_EQ(ReadSchool(OTHER, "456"), records);
}

TEST_F(CliExchange, CsvIsGbkUnlessMarkedOrToldOtherwise)
{
    WriteSchool(OTHER, "456", {});
    const Record record = Named(1, "学"); // GBK bytes that are also valid UTF-8
    WriteFileBytes(FilePath("gbk.csv"), CsvText({record}));
    ASSERT_EQ(Import(FilePath("gbk.csv")).nExit, 0);
    EXPECT_EQ(ReadSchool(OTHER, "456"), std::vector<Record>{record});

    WriteSchool(OTHER, "456", {});
    Record utf8 = Named(2, "张三");
    for (std::string& value : utf8)
        value = Utf8(value);
    WriteFileBytes(FilePath("utf8.csv"), CsvText({utf8}));
    ASSERT_EQ(Import(FilePath("utf8.csv"), {"--encoding", "utf-8"}).nExit, 0);
    EXPECT_EQ(ReadSchool(OTHER, "456"), std::vector<Record>{Named(2, "张三")});

    const CliResult bad = Import(FilePath("utf8.csv"), {"--encoding", "latin1"});
    EXPECT_EQ(bad.nExit, 2);
    EXPECT_NE(bad.strErr.find("--encoding 只能是 gbk 或 utf-8"), std::string::npos) << bad.strErr;
}

TEST_F(CliExchange, RefusedWorkbookLeavesTheSchoolUntouched)
{
    WriteSchool(OTHER, "456", {ValidRecord(1)});
    const std::string strBefore = ReadFileBytes(DataFilePath(OTHER));
    WriteFileBytes(FilePath("broken.xlsx"), "not a workbook");
    const CliResult result = Import(FilePath("broken.xlsx"));
    EXPECT_EQ(result.nExit, 1);
    EXPECT_NE(result.strOut.find("文件格式不对：文件不是有效的Excel工作簿（.xlsx）"), std::string::npos)
        << result.strOut;
    EXPECT_EQ(ReadFileBytes(DataFilePath(OTHER)), strBefore);
}

// Files that LibreOffice Calc and gnumeric wrote, as a registrar gets them: every value as the sheet
// shows it (text columns, date cells, a merged school code) or one refusal naming every column whose
// numbers may have lost their zeros.
TEST_F(CliExchange, SpreadsheetProgramsFilesImportAsTheyShow)
{
    const std::string strPrograms = std::string(std::getenv("VARNHOLT_SOURCE_DIR")) + "/tests/exchange/programs/";
    const std::string strRecords = ReadFileBytes(strPrograms + "records.csv");
    const char* const kAll = "已导入5条记录，更新0条，跳过0条。现有5条记录。";
    const char* const kAllButTotals = "已导入5条记录，更新0条，跳过1条。现有5条记录。"; // the row 合计 fails the checks
    const std::pair<const char*, const char*> cases[] = {
        {"lo-text.ods", kAll},           {"lo-text.xlsx", kAll},           {"lo-text.xls", kAll},
        {"lo-messy.ods", kAllButTotals}, {"lo-messy.xlsx", kAllButTotals}, {"lo-messy.xls", kAllButTotals},
        {"gn-messy.ods", kAllButTotals}, {"gn-messy.xlsx", kAllButTotals}, {"gn-messy.xls", kAllButTotals},
    };
    for (const auto& [name, summary] : cases)
    {
        WriteSchool(CODE, "123", {});
        const CliResult imported =
            Run({"import", "--school", CODE, "--password", "123", "--only-valid", "--in", strPrograms + name});
        EXPECT_NE(imported.strOut.find(summary), std::string::npos) << name << imported.strOut << imported.strErr;
        const CliResult exported =
            Run({"export", "--school", CODE, "--password", "123", "--out", FilePath("back.csv")});
        ASSERT_EQ(exported.nExit, 0) << name << exported.strOut << exported.strErr;
        EXPECT_EQ(ReadFileBytes(FilePath("back.csv")), strRecords) << name;
    }

    WriteSchool(CODE, "123", {});
    const std::string strBefore = ReadFileBytes(DataFilePath(CODE));
    const CliResult numbers =
        Run({"import", "--school", CODE, "--password", "123", "--in", strPrograms + "lo-numbers.ods"});
    EXPECT_EQ(numbers.nExit, 1);
    const std::string strNumber =
        "个单元格是数字，不是文本，它的数字可能已经改掉了（例如长学号变成2.006E+13，代码01变成1）";
    for (const std::string column :
         {"“学号”（XSBSH），A列：5", "“手机号码”（SJHM），T列：5", "“邮政编码”（YZBM），V列：5"})
        EXPECT_NE(numbers.strOut.find(column + strNumber), std::string::npos) << numbers.strOut;
    EXPECT_NE(numbers.strOut.find("工作表“lo-numbers”中有15个单元格的值不能导入，没有导入任何记录："),
              std::string::npos)
        << numbers.strOut; // the school code and the codes were taken: their digits are certain
    EXPECT_EQ(ReadFileBytes(DataFilePath(CODE)), strBefore);
}
