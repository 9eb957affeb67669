// import with and without the checks, and check of the stored records.
#include "CliTestSupport.h"
#include "SisSheet.h"

#include <cstdlib>

namespace
{
const char* const CODE = "10001";

Record With(Record record, int nField, const std::string& strValue)
{
    record[nField] = strValue;
    return record;
}

class CliImport : public CliTest
{
  protected:
    CliImport()
    {
        WriteSchool(CODE, "123", {ValidRecord(1)});
        m_strStoredFile = ReadFileBytes(DataFilePath(CODE));
    }

    CliResult Import(const std::vector<Record>& records, std::vector<std::string> extra = {})
    {
        WriteFileBytes(FilePath("in.csv"), CsvText(records));
        std::vector<std::string> args = {"import", "--school", CODE, "--password", "123", "--in", FilePath("in.csv")};
        args.insert(args.end(), extra.begin(), extra.end());
        return Run(args);
    }

    bool DataFileUnchanged() const { return ReadFileBytes(DataFilePath(CODE)) == m_strStoredFile; }

    std::string m_strStoredFile;
};

TEST_F(CliImport, ChecksByDefaultListingEveryFailingRecordAndImportsNothing)
{
    const std::vector<Record> incoming = {
        ValidRecord(2),
        With(With(ValidRecord(3), 3, ""), 4, "3"),             // name missing, sex not a code
        ValidRecord(1),                                        // number already stored
        With(ValidRecord(2), 11, "x"),                         // number of an earlier row, bad address
        With(ValidRecord(5), 5, "1969-12-31"),                 // birth date before 1970
        With(With(ValidRecord(6), 2, "07010199"), 16, "5000"), // major and salary band not allowed
        With(ValidRecord(7), 4, ""),                           // empty sex: one line only
        With(ValidRecord(8), 6, "1"),                          // education code without its zero
    };
    for (const std::vector<std::string>& extra : {std::vector<std::string>{}, {"--check"}})
    {
        const CliResult result = Import(incoming, extra);
        EXPECT_EQ(result.nExit, 1);
        EXPECT_EQ(result.strOut, "文件第3行，学号2006003，姓名：请输入姓名，这要求必须填写。；代码不对：性别：3\n"
                                 "文件第4行，学号2006001，姓名张三：您已经把这个学号加入到数据里了，不能重复加入！\n"
                                 "文件第5行，学号2006002，姓名欧阳明月：您输入的邮箱地址格式不对，请重新输入！\n"
                                 "文件第6行，学号2006005，姓名张三：出生年月要求必须填写。\n"
                                 "文件第7行，学号2006006，姓名欧阳明月：代码不对：专业：07010199；意向月薪：5000\n"
                                 "文件第8行，学号2006007，姓名张三：性别要求必须填写正确。\n"
                                 "文件第9行，学号2006008，姓名欧阳明月：代码不对：学历：1\n"
                                 "导入文件中有7条记录未通过检查，没有导入任何记录。\n");
        EXPECT_TRUE(DataFileUnchanged());
    }
}

TEST_F(CliImport, OnlyValidImportsThePassingRecordsAndListsTheRest)
{
    const CliResult result = Import({ValidRecord(2), With(ValidRecord(3), 3, ""), ValidRecord(1)}, {"--only-valid"});
    EXPECT_EQ(result.nExit, 1);
    EXPECT_EQ(result.strOut, "文件第3行，学号2006003，姓名：请输入姓名，这要求必须填写。\n"
                             "文件第4行，学号2006001，姓名张三：您已经把这个学号加入到数据里了，不能重复加入！\n"
                             "已导入1条记录，更新0条，跳过2条。现有2条记录。\n");
    EXPECT_EQ(ReadSchool(CODE, "123"), (std::vector<Record>{ValidRecord(1), ValidRecord(2)}));
}

TEST_F(CliImport, StoredNumbersAreUpdatedOrSkippedWhenAsked)
{
    const Record changed = With(ValidRecord(1), 20, Gbk("新地址"));
    const CliResult skipped = Import({changed, ValidRecord(2)}, {"--skip-existing"});
    EXPECT_EQ(skipped.nExit, 0) << skipped.strOut;
    EXPECT_EQ(skipped.strOut, "已导入1条记录，更新0条，跳过1条。现有2条记录。\n");
    EXPECT_EQ(ReadSchool(CODE, "123"), (std::vector<Record>{ValidRecord(1), ValidRecord(2)}));

    const CliResult updated = Import({changed, ValidRecord(3)}, {"--update"});
    EXPECT_EQ(updated.nExit, 0) << updated.strOut;
    EXPECT_EQ(updated.strOut, "已导入1条记录，更新1条，跳过0条。现有3条记录。\n");
    EXPECT_EQ(ReadSchool(CODE, "123"), (std::vector<Record>{changed, ValidRecord(2), ValidRecord(3)}));

    EXPECT_EQ(Import({changed}, {"--update", "--skip-existing"}).nExit, 2);
    EXPECT_EQ(Import({changed}, {"--no-check", "--only-valid"}).nExit, 2);
}

TEST_F(CliImport, DuplicateOfAnEarlierRowIsReportedWhenTheRowIsOtherwiseValid)
{
    const CliResult result = Import({ValidRecord(2), ValidRecord(2)});
    EXPECT_EQ(result.nExit, 1);
    EXPECT_EQ(result.strOut, "文件第3行，学号2006002，姓名欧阳明月：您已经把这个学号加入到数据里了，不能重复加入！\n"
                             "导入文件中有1条记录未通过检查，没有导入任何记录。\n");
}

TEST_F(CliImport, NoCheckAppendsAsTheProgramDid)
{
    const CliResult result = Import({ValidRecord(1), With(ValidRecord(2), 4, "9")}, {"--no-check"});
    EXPECT_EQ(result.nExit, 0) << result.strErr;
    EXPECT_EQ(result.strOut, "已导入2条记录，更新0条，跳过0条。现有3条记录。\n");
    EXPECT_EQ(ReadSchool(CODE, "123"),
              (std::vector<Record>{ValidRecord(1), ValidRecord(1), With(ValidRecord(2), 4, "9")}));
}

TEST_F(CliImport, DryRunWritesNothing)
{
    const CliResult result = Import({ValidRecord(2), ValidRecord(3)}, {"--dry-run"});
    EXPECT_EQ(result.nExit, 0);
    EXPECT_EQ(result.strOut, "可以导入2条记录，更新0条，跳过0条（试运行，没有写入）。\n");
    EXPECT_TRUE(DataFileUnchanged());
}

TEST_F(CliImport, AHeaderWithoutTheFieldsIsRefusedWithAMappingToStartFrom)
{
    WriteFileBytes(FilePath("bad.csv"), Gbk("学籍号,姓名\r\n1,2\r\n"));
    const CliResult result = Run({"import", "--school", CODE, "--password", "123", "--in", FilePath("bad.csv")});
    EXPECT_EQ(result.nExit, 1);
    EXPECT_EQ(
        result.strOut.substr(0, result.strOut.find('\n')),
        "文件的标题行没有写全24个字段名。请用 --map FILE 指定每个字段取哪一列，例如（按文件的标题猜的，请核对）：");
    EXPECT_NE(result.strOut.find("\nXSBSH=学籍号\nYXDM=\n"), std::string::npos) << result.strOut;
    EXPECT_TRUE(DataFileUnchanged());

    const CliResult missing = Run({"import", "--school", CODE, "--password", "123", "--in", FilePath("none.csv")});
    EXPECT_EQ(missing.nExit, 3);
    EXPECT_EQ(missing.strErr, "varnholt-cli: 不能读取文件“" + FilePath("none.csv") + "”：文件不存在（错误代码 2）\n");
}

// The registrar's list from the information system: 100 students, 20 of them stored with older values.
TEST_F(CliImport, ASheetFromTheInformationSystemUpdatesAndAppendsThroughItsMap)
{
    std::vector<TestKit::Row> older, newer;
    for (int n = 1; n <= 100; ++n)
    {
        newer.push_back(TestKit::SisStudent(n));
        if (n % 5 == 0)
            older.push_back(TestKit::SisStudent(n, false));
    }
    WriteSchool(CODE, "123", older);
    WriteFileBytes(FilePath("sis.csv"), TestKit::CsvOfRows(TestKit::SisSheet(newer)));
    WriteFileBytes(FilePath("map.txt"), TestKit::SisMapText());
    const CliResult result = Run({"import", "--school", CODE, "--password", "123", "--in", FilePath("sis.csv"), "--map",
                                  FilePath("map.txt"), "--update"});
    EXPECT_EQ(result.nExit, 0) << result.strOut;
    EXPECT_EQ(result.strOut.substr(0, result.strOut.find("\n", result.strOut.find("XM="))),
              "字段对照：\nXSBSH=学籍号\nYXDM=院校代码\nZYDM=专业名称\nXM=姓名");
    EXPECT_NE(result.strOut.find("\n已导入80条记录，更新20条，跳过0条。现有100条记录。\n"), std::string::npos);
    std::vector<Record> expected;
    for (int n = 5; n <= 100; n += 5)
        expected.push_back(TestKit::SisStudent(n));
    for (int n = 1; n <= 100; ++n)
    {
        if (n % 5 != 0)
            expected.push_back(TestKit::SisStudent(n));
    }
    EXPECT_EQ(ReadSchool(CODE, "123"), expected);
}

// The same list as a workbook: an instruction sheet first, a title row, the school code merged down.
TEST_F(CliImport, AWorkbookFromTheInformationSystemIsReadFromItsRecordsSheet)
{
    std::vector<TestKit::Row> older, newer;
    for (int n = 1; n <= 30; ++n)
    {
        newer.push_back(TestKit::SisStudent(n));
        if (n % 5 == 0)
            older.push_back(TestKit::SisStudent(n, false));
    }
    WriteSchool(CODE, "123", older);
    WriteFileBytes(FilePath("sis.csv"), TestKit::CsvOfRows(TestKit::SisSheet(newer)));
    const std::string strCommand = "/usr/bin/python3 " + std::string(std::getenv("VARNHOLT_SOURCE_DIR")) +
                                   "/tests/cli/sis_workbook.py " + FilePath("sis.csv") + " " + FilePath("sis.xlsx");
    ASSERT_EQ(std::system(strCommand.c_str()), 0);
    WriteFileBytes(FilePath("map.txt"), TestKit::SisMapText());
    const CliResult result = Run({"import", "--school", CODE, "--password", "123", "--in", FilePath("sis.xlsx"),
                                  "--map", FilePath("map.txt"), "--update"});
    EXPECT_EQ(result.nExit, 0) << result.strOut;
    EXPECT_NE(result.strOut.find("\n已导入24条记录，更新6条，跳过0条。现有30条记录。\n"), std::string::npos)
        << result.strOut;
    std::vector<Record> expected;
    for (int n = 5; n <= 30; n += 5)
        expected.push_back(TestKit::SisStudent(n));
    for (int n = 1; n <= 30; ++n)
    {
        if (n % 5 != 0)
            expected.push_back(TestKit::SisStudent(n));
    }
    EXPECT_EQ(ReadSchool(CODE, "123"), expected);
}

TEST_F(CliImport, WrongPasswordChangesNothing)
{
    WriteFileBytes(FilePath("in.csv"), CsvText({ValidRecord(2)}));
    const CliResult wrong = Run({"import", "--school", CODE, "--password", "124", "--in", FilePath("in.csv")});
    EXPECT_EQ(wrong.nExit, 3);
    EXPECT_EQ(wrong.strErr, "varnholt-cli: 密码不正确，请检查。（错误代码 86）\n");
    EXPECT_TRUE(DataFileUnchanged());
    // The file is read while the school opens; a school that does not open is still told first.
    const CliResult both = Run({"import", "--school", CODE, "--password", "124", "--in", FilePath("none.csv")});
    EXPECT_EQ(both.nExit, 3);
    EXPECT_EQ(both.strErr, wrong.strErr);
}

TEST_F(CliTest, CheckPassesValidRecordsAndAllowsRepeatedNumbers)
{
    WriteSchool(CODE, "", {ValidRecord(1), ValidRecord(1), With(ValidRecord(2), 19, "13800000000")});
    const CliResult result = Run({"check", "--school", CODE});
    EXPECT_EQ(result.nExit, 0);
    EXPECT_EQ(result.strOut, "共3条记录，全部通过检查。\n");
}

TEST_F(CliTest, CheckReportsEveryFailingStoredRecord)
{
    WriteSchool(CODE, "",
                {ValidRecord(1), With(ValidRecord(2), 21, "10087"), With(With(ValidRecord(3), 18, ""), 9, "0")});
    const CliResult result = Run({"check", "--school", CODE});
    EXPECT_EQ(result.nExit, 1);
    // The province "0" is the lookup's "no preference" row of the table: a code, so not reported.
    EXPECT_EQ(result.strOut, "第2条记录，“邮政编码”（YZBM）：您输入的邮政编码位数不对，邮件编码规定是六位数！\n"
                             "第3条记录，“联系电话”（LXDH）：手机号码和联系电话至少必须填写一个。\n"
                             "共3条记录，其中2条未通过检查。\n");
}
} // namespace
