// import with and without the checks, and check of the stored records.
#include "CliTestSupport.h"

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

TEST_F(CliImport, CheckReportsEveryFailingRowAndImportsNothing)
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
    const CliResult result = Import(incoming, {"--check"});
    EXPECT_EQ(result.nExit, 1);
    EXPECT_EQ(result.strOut, "第2条记录，“姓名”（XM）：请输入姓名，这要求必须填写。\n"
                             "第2条记录，“性别”（XBDM）：“3”不是代码表中的代码。\n"
                             "第3条记录，“学号”（XSBSH）：您已经把这个学号加入到数据里了，不能重复加入！\n"
                             "第4条记录，“电子信箱”（DZXX）：您输入的邮箱地址格式不对，请重新输入！\n"
                             "第5条记录，“出生年月”（CSNY）：出生年月要求必须填写。\n"
                             "第6条记录，“专业”（ZYDM）：“07010199”不是代码表中的代码。\n"
                             "第6条记录，“意向月薪”（YXYX）：“5000”不是可选的月薪档次。\n"
                             "第7条记录，“性别”（XBDM）：性别要求必须填写正确。\n"
                             "第8条记录，“学历”（XLDM）：“1”不是代码表中的代码。\n"
                             "导入文件中有7条记录未通过检查，没有导入任何记录。\n");
    EXPECT_TRUE(DataFileUnchanged());
}

TEST_F(CliImport, DuplicateOfAnEarlierRowIsReportedWhenTheRowIsOtherwiseValid)
{
    const CliResult result = Import({ValidRecord(2), ValidRecord(2)}, {"--check"});
    EXPECT_EQ(result.nExit, 1);
    EXPECT_EQ(result.strOut, "第2条记录，“学号”（XSBSH）：您已经把这个学号加入到数据里了，不能重复加入！\n"
                             "导入文件中有1条记录未通过检查，没有导入任何记录。\n");
}

TEST_F(CliImport, WithoutCheckAppendsAsTheProgramDoes)
{
    const CliResult result = Import({ValidRecord(1), With(ValidRecord(2), 4, "9")});
    EXPECT_EQ(result.nExit, 0) << result.strErr;
    EXPECT_EQ(result.strOut, "已导入2条记录，现有3条记录。\n");
    EXPECT_EQ(ReadSchool(CODE, "123"),
              (std::vector<Record>{ValidRecord(1), ValidRecord(1), With(ValidRecord(2), 4, "9")}));
}

TEST_F(CliImport, DryRunWritesNothing)
{
    const CliResult result = Import({ValidRecord(2), ValidRecord(3)}, {"--check", "--dry-run"});
    EXPECT_EQ(result.nExit, 0);
    EXPECT_EQ(result.strOut, "可以导入2条记录（试运行，没有写入）。\n");
    EXPECT_TRUE(DataFileUnchanged());
}

TEST_F(CliImport, RefusesAFileTheProgramRefuses)
{
    WriteFileBytes(FilePath("bad.csv"), "XSBSH,XM\r\n1,2\r\n");
    const CliResult result = Run({"import", "--school", CODE, "--password", "123", "--in", FilePath("bad.csv")});
    EXPECT_EQ(result.nExit, 1);
    EXPECT_EQ(result.strOut, "文件格式不对：导入文件必须是CSV格式文件，并且有预定义的字段。\n");
    EXPECT_TRUE(DataFileUnchanged());

    const CliResult missing = Run({"import", "--school", CODE, "--password", "123", "--in", FilePath("none.csv")});
    EXPECT_EQ(missing.nExit, 3);
    EXPECT_EQ(missing.strErr, "varnholt-cli: 不能读取文件“" + FilePath("none.csv") + "”：文件不存在（错误代码 2）\n");
}

TEST_F(CliImport, WrongPasswordChangesNothing)
{
    WriteFileBytes(FilePath("in.csv"), CsvText({ValidRecord(2)}));
    const CliResult wrong = Run({"import", "--school", CODE, "--password", "124", "--in", FilePath("in.csv")});
    EXPECT_EQ(wrong.nExit, 3);
    EXPECT_EQ(wrong.strErr, "varnholt-cli: 密码不正确，请检查。（错误代码 86）\n");
    EXPECT_TRUE(DataFileUnchanged());
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
