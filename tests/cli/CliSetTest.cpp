// set: one field set to one value for chosen records, with the editor's checks for that field.
#include "CliTestSupport.h"

namespace
{
const char* const CODE = "10001";

std::vector<Record> FourRecords()
{
    std::vector<Record> records = {ValidRecord(1), ValidRecord(2), ValidRecord(3), ValidRecord(4)};
    records[2][8] = "2007-06-30"; // BYSJ: already the new value
    return records;
}

TEST_F(CliTest, SetChangesTheListedRecordsAndSaysHowMany)
{
    WriteSchool(CODE, "123", FourRecords());
    WriteFileBytes(FilePath("numbers.txt"), "2006001\r\n\n2006003\n2006004");
    const CliResult result = Run({"set", "--school", CODE, "--password", "123", "--field", "毕业时间", "--value",
                                  "20070630", "--numbers", FilePath("numbers.txt")});
    EXPECT_EQ(result.nExit, 0) << result.strErr;
    EXPECT_EQ(result.strOut, "已把2条记录的“毕业时间”设为“2007-06-30”，1条记录原来就是这个值。\n");
    std::vector<Record> expected = FourRecords();
    expected[0][8] = expected[3][8] = "2007-06-30";
    EXPECT_EQ(ReadSchool(CODE, "123"), expected);
}

TEST_F(CliTest, SetAllTakesFieldNamesAndDisplayNames)
{
    WriteSchool(CODE, "123", FourRecords());
    const CliResult result =
        Run({"set", "--school", CODE, "--password", "123", "--field", "xbdm", "--value", "女", "--all"});
    EXPECT_EQ(result.nExit, 0) << result.strErr;
    EXPECT_EQ(result.strOut, "已把4条记录的“性别”设为“2”，0条记录原来就是这个值。\n");
    for (const Record& record : ReadSchool(CODE, "123"))
        EXPECT_EQ(record[4], "2");
}

struct RefusedSet
{
    const char* lpcszName;
    std::vector<std::string> args; // after the school and password
    int nExit;
    std::string strOut;
    std::string strErr;
};

void PrintTo(const RefusedSet& refused, std::ostream* pOut)
{
    *pOut << refused.lpcszName;
}

class CliSetRefused : public CliTest, public testing::WithParamInterface<RefusedSet>
{
};

TEST_P(CliSetRefused, ChangesNothing)
{
    WriteSchool(CODE, "123", FourRecords());
    WriteFileBytes(FilePath("numbers.txt"), "2006001\n2009999\n");
    const std::string strBefore = ReadFileBytes(DataFilePath(CODE));
    std::vector<std::string> args = {"set", "--school", CODE, "--password", "123"};
    for (const std::string& strArg : GetParam().args)
        args.push_back(strArg == "NUMBERS" ? FilePath("numbers.txt") : strArg);
    const CliResult result = Run(args);
    EXPECT_EQ(result.nExit, GetParam().nExit);
    EXPECT_EQ(result.strOut, GetParam().strOut);
    EXPECT_EQ(result.strErr, GetParam().strErr);
    EXPECT_EQ(ReadFileBytes(DataFilePath(CODE)), strBefore);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliSetRefused,
    testing::Values(
        RefusedSet{"DateThatNamesNoDay",
                   {"--field", "BYSJ", "--value", "", "--all"},
                   2,
                   "",
                   "varnholt-cli: “”不是日期（写作 1986-03-04 或 19860304）\n"},
        RefusedSet{
            "BadPostalCode",
            {"--field", "YZBM", "--value", "10087", "--all"},
            1,
            "“邮政编码”（YZBM）：您输入的邮政编码位数不对，邮件编码规定是六位数！（4条记录），没有修改任何记录。\n",
            ""},
        RefusedSet{"NoPhoneLeft",
                   {"--field", "LXDH", "--value", "", "--all"},
                   1,
                   "“联系电话”（LXDH）：手机号码和联系电话至少必须填写一个。（4条记录），没有修改任何记录。\n",
                   ""},
        RefusedSet{"CodeNotInItsTable",
                   {"--field", "JICENG", "--value", "77", "--all"},
                   1,
                   "“参加下基层项目”（JICENG）：所填的值不是代码表中的代码。（4条记录），没有修改任何记录。\n",
                   ""},
        RefusedSet{"UnknownSchoolCode",
                   {"--field", "YXDM", "--value", "99999", "--all"},
                   1,
                   "“院校代码”（YXDM）：院校代码不正确，请检查。（4条记录），没有修改任何记录。\n",
                   ""},
        RefusedSet{"NumberNotStored",
                   {"--field", "BYSJ", "--value", "2007-06-30", "--numbers", "NUMBERS"},
                   1,
                   "文件中有1个学号不在记录中，没有修改任何记录。\n",
                   "varnholt-cli: 没有学号为 2009999 的记录\n"},
        RefusedSet{"StudentNumberIsNotForBatches",
                   {"--field", "XSBSH", "--value", "1", "--all"},
                   2,
                   "",
                   "varnholt-cli: 学号不能批量修改：每条记录的学号各不相同\n"},
        RefusedSet{"UnknownField", {"--field", "ABC", "--value", "1", "--all"}, 2, "", "varnholt-cli: 没有字段 ABC\n"},
        RefusedSet{"BothSelections",
                   {"--field", "BYSJ", "--value", "2007-06-30", "--all", "--numbers", "NUMBERS"},
                   2,
                   "",
                   "varnholt-cli: 需要 --numbers FILE 或 --all 二者之一\n"},
        RefusedSet{"DryRun",
                   {"--field", "BYSJ", "--value", "2007-06-30", "--all", "--dry-run"},
                   0,
                   "可以把3条记录的“毕业时间”设为“2007-06-30”，1条记录原来就是这个值（试运行，没有写入）。\n",
                   ""}),
    [](const testing::TestParamInfo<RefusedSet>& info) { return info.param.lpcszName; });

TEST_F(CliTest, SetKeepsTheReplacedFileAsABackup)
{
    WriteSchool(CODE, "123", FourRecords());
    const std::string strBefore = ReadFileBytes(DataFilePath(CODE));
    ASSERT_EQ(Run({"set", "--school", CODE, "--password", "123", "--field", "BZ", "--value", "转专业", "--all"}).nExit,
              0);
    const CliResult backups = Run({"backups", "--school", CODE});
    EXPECT_EQ(backups.nExit, 0) << backups.strErr;
    EXPECT_NE(backups.strOut, "") << "the replaced file is kept";
    for (const Record& record : ReadSchool(CODE, "123"))
        EXPECT_EQ(record[22], Gbk("转专业"));
}
} // namespace
