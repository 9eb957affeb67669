// backups and restore.
#include "CliTestSupport.h"

#include <filesystem>
#include <regex>
#include <sstream>

#include "core/SchoolBackups.h"

namespace
{
const char* const CODE = "10001";

std::vector<std::string> Lines(const std::string& strText)
{
    std::vector<std::string> lines;
    std::istringstream in(strText);
    for (std::string strLine; std::getline(in, strLine);)
        lines.push_back(strLine);
    return lines;
}

class CliBackups : public CliTest
{
  protected:
    // Saves with one, two and three records: the first two saved files become backups.
    void SaveThreeTimes()
    {
        WriteSchool(CODE, "123", {ValidRecord(1)});
        WriteSchool(CODE, "123", {ValidRecord(1), ValidRecord(2)});
        WriteSchool(CODE, "123", {ValidRecord(1), ValidRecord(2), ValidRecord(3)});
    }

    // The ids that "backups" prints, newest first.
    std::vector<std::string> Ids()
    {
        std::vector<std::string> ids;
        for (const std::string& strLine : Lines(Run({"backups", "--school", CODE, "--password", "123"}).strOut))
            ids.push_back(strLine.substr(0, strLine.find('\t')));
        return ids;
    }
};

TEST_F(CliBackups, ListsNewestFirstWithTimeAndRecordsAndMarksUnreadableOnes)
{
    SaveThreeTimes();
    const CliResult result = Run({"backups", "--school", CODE, "--password", "123"});
    EXPECT_EQ(result.nExit, 0) << result.strErr;
    const std::vector<std::string> lines = Lines(result.strOut);
    ASSERT_EQ(lines.size(), 2u) << result.strOut;
    const std::regex line(R"((\d{8}-\d{6}Z(-\d+)?)\t\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\t(\d+)\t保存前)");
    std::smatch match;
    ASSERT_TRUE(std::regex_match(lines[0], match, line)) << lines[0];
    EXPECT_EQ(match[3], "2");
    ASSERT_TRUE(std::regex_match(lines[1], match, line)) << lines[1];
    EXPECT_EQ(match[3], "1");
    // The time column is the id's time.
    const auto stamp = ParseBackupId(lines[0].substr(0, lines[0].find('\t')));
    ASSERT_TRUE(stamp);
    EXPECT_EQ(lines[0].substr(lines[0].find('\t') + 1, 19), FormatBackupTime(stamp->tWhen));

    WriteFileBytes(FilePath("backup/10001/20200101-000000.db"), "garbage that is no data file");
    WriteFileBytes(FilePath("backup/10001/20200101-000001.db"), "");
    const std::vector<std::string> other = Lines(Run({"backups", "--school", CODE, "--password", "9"}).strOut);
    ASSERT_EQ(other.size(), 4u);
    EXPECT_TRUE(other[0].ends_with("\t密码不符\t保存前")) << other[0];
    EXPECT_TRUE(other[2].ends_with("\t已损坏\t")) << other[2];   // empty: damaged, not an empty school
    EXPECT_TRUE(other[3].ends_with("\t密码不符\t")) << other[3]; // no magic: as the login sees it
}

TEST_F(CliBackups, ListingIsEmptyForASchoolWithoutBackups)
{
    const CliResult result = Run({"backups", "--school", CODE});
    EXPECT_EQ(result.nExit, 0);
    EXPECT_EQ(result.strOut, "");
}

TEST_F(CliBackups, RestoreMakesTheBackupTheDataFileAndKeepsTheReplacedOne)
{
    SaveThreeTimes();
    const std::vector<std::string> ids = Ids();
    ASSERT_EQ(ids.size(), 2u);
    const std::string strOldest = ReadFileBytes(FilePath("backup/10001/" + ids[1] + ".db"));
    const std::string strCurrent = ReadFileBytes(DataFilePath(CODE));
    const CliResult result = Run({"restore", "--school", CODE, "--backup", ids[1]}, {}, {"VARNHOLT_PASSWORD=123"});
    EXPECT_EQ(result.nExit, 0) << result.strErr;
    EXPECT_EQ(result.strOut, "已恢复备份 " + ids[1] + "，共 1 条记录。\n");
    EXPECT_EQ(ReadFileBytes(DataFilePath(CODE)), strOldest);
    EXPECT_EQ(ReadSchool(CODE, "123"), std::vector<Record>{ValidRecord(1)});
    const std::vector<std::string> after = Ids();
    ASSERT_EQ(after.size(), 3u);
    EXPECT_EQ(ReadFileBytes(FilePath("backup/10001/" + after[0] + ".db")), strCurrent);
}

TEST_F(CliBackups, RestoreRefusalsLeaveTheDataFileAsItWas)
{
    SaveThreeTimes();
    const std::string strId = Ids().front();
    struct Case
    {
        std::vector<std::string> args;
        int nExit;
        std::string strErr;
    };
    const std::vector<Case> cases = {
        {{"restore", "--school", CODE, "--password", "123"}, 2, "需要 --backup ID（可用 varnholt-cli backups 列出）"},
        {{"restore", "--school", CODE, "--password", "123", "--backup", "20200101-000001"},
         2,
         "没有这个备份：20200101-000001"},
        {{"restore", "--school", CODE, "--password", "123", "--backup", "../10001"}, 2, "没有这个备份：../10001"},
        {{"restore", "--school", "99999", "--password", "123", "--backup", strId}, 2, "院校代码不正确，请检查。"},
        {{"restore", "--school", CODE, "--password", "124", "--backup", strId},
         3,
         "备份 " + strId +
             " 或现在的数据文件不能用给出的密码打开（备份若是在修改密码之前保存的，请用 --backup-password "
             "给出它当时的密码）（错误代码 86）"},
    };
    const std::string strBefore = ReadFileBytes(DataFilePath(CODE));
    for (const Case& c : cases)
    {
        const CliResult result = Run(c.args);
        EXPECT_EQ(result.nExit, c.nExit) << c.args.back();
        EXPECT_EQ(result.strErr, "varnholt-cli: " + c.strErr + "\n") << c.args.back();
        EXPECT_EQ(ReadFileBytes(DataFilePath(CODE)), strBefore) << c.args.back();
        EXPECT_EQ(Ids().size(), 2u) << c.args.back();
    }
}

TEST_F(CliBackups, RestoresABackupOfAnEarlierPasswordGivenItsPassword)
{
    WriteSchool(CODE, "old", {ValidRecord(1)});
    ASSERT_EQ(Run({"passwd", "--school", CODE, "--old", "old", "--new", "new"}).nExit, 0);
    const std::vector<std::string> lines = Lines(Run({"backups", "--school", CODE, "--password", "new"}).strOut);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(lines[0].ends_with("\t密码不符\t修改密码前"));
    const std::string strBefore = ReadFileBytes(DataFilePath(CODE));
    const std::string strId = lines[0].substr(0, lines[0].find('\t'));
    for (const std::vector<std::string>& refused :
         {std::vector<std::string>{"--password", "new"}, std::vector<std::string>{"--password", "old"},
          std::vector<std::string>{"--password", "new", "--backup-password", "olx"},
          std::vector<std::string>{"--password", "old", "--backup-password", "old"}})
    {
        std::vector<std::string> args = {"restore", "--school", CODE, "--backup", strId};
        args.insert(args.end(), refused.begin(), refused.end());
        const CliResult result = Run(args);
        EXPECT_EQ(result.nExit, 3) << refused.back();
        EXPECT_TRUE(result.strErr.find("备份 " + strId + " 或现在的数据文件不能用给出的密码打开") != std::string::npos)
            << result.strErr;
        EXPECT_EQ(ReadFileBytes(DataFilePath(CODE)), strBefore) << refused.back();
    }
    const CliResult result =
        Run({"restore", "--school", CODE, "--password", "new", "--backup", strId, "--backup-password", "old"});
    EXPECT_EQ(result.nExit, 0) << result.strErr;
    EXPECT_EQ(ReadSchool(CODE, "new"), std::vector<Record>{ValidRecord(1)});
}

// A data file cut at a line end, which the note of its last save shows: refused unless asked for.
TEST_F(CliBackups, ChangedDataFileIsRefusedUnlessAccepted)
{
    WriteSchool(CODE, "", {ValidRecord(1), ValidRecord(2), ValidRecord(3)}); // plain text: cut where a line ends
    const std::string strFile = ReadFileBytes(DataFilePath(CODE));
    const std::string strCut = strFile.substr(0, strFile.rfind("\r\n", strFile.size() - 3) + 2);
    WriteFileBytes(DataFilePath(CODE), strCut);
    const CliResult refused = Run({"list", "--school", CODE});
    EXPECT_EQ(refused.nExit, 3);
    EXPECT_TRUE(refused.strErr.starts_with("varnholt-cli: 该院校的数据文件与上次保存时记下的大小或校验和不一致"))
        << refused.strErr;
    EXPECT_TRUE(refused.strErr.find("要照现在的内容打开，请加 --accept-changed-file。") != std::string::npos)
        << refused.strErr;
    const CliResult accepted = Run({"list", "--school", CODE, "--accept-changed-file"});
    EXPECT_EQ(accepted.nExit, 0) << accepted.strErr;
    EXPECT_EQ(Lines(accepted.strOut).size(), 3u) << accepted.strOut; // the header and two of the three records
    EXPECT_EQ(ReadFileBytes(DataFilePath(CODE)), strCut);
}
} // namespace
