// list and export, the ways to give the password, and the round trip through a CSV file.
#include "CliTestSupport.h"

#include <filesystem>

#include "platform/Encoding.h"

namespace
{
const char* const CODE = "10001";

std::string TsvLine(const Record& record)
{
    std::string strLine;
    for (std::size_t i = 0; i < record.size(); ++i)
        strLine.append(i > 0 ? "\t" : "").append(Utf8(record[i]));
    return strLine + "\n";
}

TEST_F(CliTest, ListShowsStoredValuesInTableOrder)
{
    const std::vector<Record> records = {ValidRecord(2), ValidRecord(1)};
    WriteSchool(CODE, "123", records);
    const CliResult result = Run({"list", "--school", CODE, "--password", "123"});
    EXPECT_EQ(result.nExit, 0) << result.strErr;
    EXPECT_EQ(result.strOut, HeaderLine("\t", "\n") + TsvLine(records[0]) + TsvLine(records[1]));
}

TEST_F(CliTest, ListWithNamesShowsTheNamesOfCodes)
{
    WriteSchool(CODE, "", {ValidRecord(1)});
    const CliResult result = Run({"list", "--school", CODE, "--names"});
    ASSERT_EQ(result.nExit, 0) << result.strErr;
    const std::string strRow = result.strOut.substr(result.strOut.find('\n') + 1);
    EXPECT_EQ(strRow, "2006001\t10001\t数学与应用数学\t张三\t男\t1984-07-07\t本科生毕业\t英语\t2006-06-30\t北京市\t"
                      "四级\ts1@pku.edu.cn\t中国共产主义青年团员\t海口市\t内资企业\t--软件业\t1000-2000 \t"
                      "---软件．数据库\t010-62751234\t\t北京市海淀区颐和园路5号\t100871\t\t--无--\n");
}

TEST_F(CliTest, ListAsCsvQuotesLikeTheExport)
{
    Record record = ValidRecord(1);
    record[20] = Gbk("海淀区,\"燕园\"");
    WriteSchool(CODE, "", {record});
    const CliResult result = Run({"list", "--school", CODE, "--format", "csv"});
    ASSERT_EQ(result.nExit, 0) << result.strErr;
    EXPECT_NE(result.strOut.find(",\"海淀区,\"\"燕园\"\"\",100871,"), std::string::npos) << result.strOut;
    EXPECT_TRUE(result.strOut.starts_with(HeaderLine(",", "\r\n")));
}

TEST_F(CliTest, BytesThatAreNotGbkAreShownEscaped)
{
    Record record = ValidRecord(1);
    record[22] = "ok\xFF";
    WriteSchool(CODE, "", {record});
    const CliResult result = Run({"list", "--school", CODE});
    ASSERT_EQ(result.nExit, 0);
    EXPECT_NE(result.strOut.find("\t100871\tok\\xFF\t00\n"), std::string::npos) << result.strOut;
}

TEST_F(CliTest, PasswordComesFromOptionStandardInputOrEnvironment)
{
    WriteSchool(CODE, "8642", {ValidRecord(1)});
    EXPECT_EQ(Run({"check", "--school", CODE, "--password", "8642"}).nExit, 0);
    EXPECT_EQ(Run({"check", "--school", CODE, "--password-stdin"}, "8642\r\n").nExit, 0);
    EXPECT_EQ(Run({"check", "--school", CODE}, "", {"VARNHOLT_PASSWORD=8642"}).nExit, 0);
    // The option wins over the environment.
    const CliResult wrong = Run({"check", "--school", CODE, "--password", "1"}, "", {"VARNHOLT_PASSWORD=8642"});
    EXPECT_EQ(wrong.nExit, 3);
    EXPECT_EQ(wrong.strErr, "varnholt-cli: 密码不正确，请检查。（错误代码 86）\n");
}

TEST_F(CliTest, UnreadableDataFileIsADataErrorWithItsCode)
{
    // every field named, but too many columns
    WriteFileBytes(DataFilePath(CODE), "OKAY\r\n" + HeaderLine("\t", "") + std::string(100, '\t') + "\r\n");
    const CliResult result = Run({"list", "--school", CODE});
    EXPECT_EQ(result.nExit, 3);
    EXPECT_EQ(result.strErr, "varnholt-cli: 不能访问该院校的数据库，请检查。数据文件“" + DataFilePath(CODE) +
                                 "”：数据无效。（错误代码 13）\n");
}

TEST_F(CliTest, ExportWritesTheProgramsCsvFile)
{
    const std::vector<Record> records = {ValidRecord(1), ValidRecord(2)};
    WriteSchool(CODE, "123", records);
    const CliResult result = Run({"export", "--school", CODE, "--password", "123", "--out", FilePath("out.csv")});
    EXPECT_EQ(result.nExit, 0) << result.strErr;
    EXPECT_EQ(result.strOut, "文件已经生成：" + FilePath("out.csv") + "（2条记录）\n");
    EXPECT_EQ(ReadFileBytes(FilePath("out.csv")), CsvText(records));

    ASSERT_EQ(Run({"export", "--school", CODE, "--password", "123", "--out", FilePath("u.csv"), "--utf8"}).nExit, 0);
    EXPECT_EQ(ReadFileBytes(FilePath("u.csv")), "\xEF\xBB\xBF" + Utf8(CsvText(records)));
}

TEST_F(CliTest, LargeSchoolIsExportedAndListedWhole)
{
    std::vector<Record> records; // more text than the commands write at a time
    for (int n = 0; n < 3000; ++n)
        records.push_back(ValidRecord(n));
    WriteSchool(CODE, "123", records);
    ASSERT_EQ(Run({"export", "--school", CODE, "--password", "123", "--out", FilePath("out.csv")}).nExit, 0);
    EXPECT_EQ(ReadFileBytes(FilePath("out.csv")), CsvText(records));
    ASSERT_EQ(Run({"export", "--school", CODE, "--password", "123", "--out", FilePath("u.csv"), "--utf8"}).nExit, 0);
    EXPECT_EQ(ReadFileBytes(FilePath("u.csv")), "\xEF\xBB\xBF" + Utf8(CsvText(records)));

    const CliResult listed = Run({"list", "--school", CODE, "--password", "123"});
    ASSERT_EQ(listed.nExit, 0) << listed.strErr;
    std::string strExpected = HeaderLine("\t", "\n");
    for (const Record& record : records)
        strExpected += TsvLine(record);
    EXPECT_EQ(listed.strOut, strExpected);
    const CliResult asCsv = Run({"list", "--school", CODE, "--password", "123", "--format", "csv"});
    EXPECT_EQ(asCsv.strOut, Utf8(CsvText(records)));
}

TEST_F(CliTest, BytesThatAreNotGbkStopTheUtf8ExportAndLeaveNoFile)
{
    std::vector<Record> records;
    for (int n = 0; n < 3000; ++n)
        records.push_back(ValidRecord(n));
    records[2900][22] = "ok\xFF"; // found after the first part of the file was written
    WriteSchool(CODE, "", records);
    WriteFileBytes(FilePath("u.csv"), "previous");
    const CliResult result = Run({"export", "--school", CODE, "--out", FilePath("u.csv"), "--utf8"});
    EXPECT_EQ(result.nExit, 3);
    EXPECT_EQ(result.strErr, "varnholt-cli: 记录中有不是 GBK 编码的字节，不能转换为 UTF-8（错误代码 13）\n");
    EXPECT_EQ(ReadFileBytes(FilePath("u.csv")), "previous");
    for (const auto& entry : std::filesystem::directory_iterator(FilePath("")))
        EXPECT_EQ(entry.path().string().find(".tmp-"), std::string::npos) << entry.path();
}

TEST_F(CliTest, ExportToAnUnwritablePlaceIsADataError)
{
    WriteSchool(CODE, "", {ValidRecord(1)});
    const std::string strPath = FilePath("missing/out.csv");
    const CliResult result = Run({"export", "--school", CODE, "--out", strPath});
    EXPECT_EQ(result.nExit, 3);
    EXPECT_EQ(result.strErr, "varnholt-cli: 不能写入文件“" + strPath + "”：文件夹不存在（错误代码 3）\n");
}

TEST_F(CliTest, ExportAndImportKeepEveryRecordExactly)
{
    std::vector<Record> records;
    for (int n = 0; n < 5; ++n)
        records.push_back(ValidRecord(n));
    records[1][20] = Gbk("海淀区,\"燕园\" 5号"); // needs quotes in the CSV file
    records[2][22] = " ";                        // a blank is content
    records[3][16] = "2000-3000 ";               // the band's trailing space
    WriteSchool(CODE, "123", records);
    for (const bool bUtf8 : {false, true})
    {
        std::vector<std::string> exportArgs = {"export", "--school",         CODE, "--password", "123",
                                               "--out",  FilePath("all.csv")};
        if (bUtf8)
            exportArgs.push_back("--utf8");
        ASSERT_EQ(Run(exportArgs).nExit, 0);
        const std::string strTarget = bUtf8 ? "10002" : "10003";
        const CliResult imported =
            Run({"import", "--school", strTarget, "--password", "7", "--in", FilePath("all.csv"), "--check"});
        EXPECT_EQ(imported.nExit, 0) << imported.strOut << imported.strErr;
        EXPECT_EQ(imported.strOut, "已导入5条记录，更新0条，跳过0条。现有5条记录。\n");
        EXPECT_EQ(ReadSchool(strTarget, "7"), records) << "utf8 " << bUtf8;
    }
}
} // namespace
