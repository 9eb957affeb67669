// passwd and schools.
#include "CliTestSupport.h"

#include <algorithm>

#include "core/DataFunc.h"

namespace
{
const char* const CODE = "10001";

TEST_F(CliTest, PasswdRekeysTheFileAndWritesTheProfileRecord)
{
    WriteSchool(CODE, "123", {ValidRecord(1), ValidRecord(2)});
    const CliResult result = Run({"passwd", "--school", CODE, "--old", "123", "--new", "abc123456"});
    EXPECT_EQ(result.nExit, 0) << result.strErr;
    EXPECT_EQ(result.strOut, "密码已修改。\n");
    EXPECT_EQ(ReadSchool(CODE, "abc12345"), (std::vector<Record>{ValidRecord(1), ValidRecord(2)}));
    EXPECT_EQ(ReadFileBytes(ProfilePath()), "[security]\r\n10001=abc123456\r\n");
    EXPECT_EQ(Run({"check", "--school", CODE, "--password", "123"}).nExit, 3);
}

TEST_F(CliTest, PasswdRefusesAWrongOldPasswordAndChangesNothing)
{
    WriteSchool(CODE, "123", {ValidRecord(1)});
    const std::string strBefore = ReadFileBytes(DataFilePath(CODE));
    const CliResult result = Run({"passwd", "--school", CODE, "--old", "124", "--new", "9"});
    EXPECT_EQ(result.nExit, 3);
    EXPECT_EQ(result.strErr, "varnholt-cli: 密码不正确，请检查。（错误代码 86）\n");
    EXPECT_EQ(ReadFileBytes(DataFilePath(CODE)), strBefore);
    EXPECT_EQ(ReadFileBytes(ProfilePath()), "");
}

TEST_F(CliTest, PasswdGivesANewSchoolItsDataFile)
{
    const CliResult unknown = Run({"passwd", "--school", "99999", "--old", "", "--new", "1"});
    EXPECT_EQ(unknown.nExit, 2);
    EXPECT_EQ(unknown.strErr, "varnholt-cli: 院校代码不正确，请检查。\n");
    EXPECT_EQ(Run({"passwd", "--school", "10002", "--old", "anything", "--new", "55"}).nExit, 0);
    EXPECT_EQ(ReadSchool("10002", "55"), std::vector<Record>{});
}

TEST_F(CliTest, SchoolsFiltersNamesInDirectoryOrder)
{
    const CliResult result = Run({"schools", "  北京大学 "});
    EXPECT_EQ(result.nExit, 0);
    EXPECT_TRUE(result.strOut.starts_with("10001\t北京大学\n")) << result.strOut;
    EXPECT_EQ(result.strOut.find("10001", 1), std::string::npos);

    EXPECT_EQ(Run({"schools", "10001"}).strOut, ""); // codes are not searched

    const CliResult all = Run({"schools"});
    EXPECT_EQ(all.strOut, Run({"schools", " \t"}).strOut);
    CMemTable directory;
    std::string strMessage;
    ASSERT_TRUE(LoadResourceTable(IDR_SCHOOL_DIRECTORY, "TXT", directory, strMessage));
    EXPECT_EQ(std::count(all.strOut.begin(), all.strOut.end(), '\n'), directory.GetRowCount());
}
} // namespace
