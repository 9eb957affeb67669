// Command lines the tool refuses, its help, and how it opens a school.
#include "CliTestSupport.h"

namespace
{
struct UsageCase
{
    const char* lpcszName;
    std::vector<std::string> args;
    int nExit;
    const char* lpcszErr; // the whole of standard error
};

void PrintTo(const UsageCase& usage, std::ostream* pOut)
{
    *pOut << usage.lpcszName;
}

class CliUsage : public CliTest, public testing::WithParamInterface<UsageCase>
{
};

TEST_P(CliUsage, RefusesWithExitCodeAndMessage)
{
    const CliResult result = Run(GetParam().args);
    EXPECT_EQ(result.nExit, GetParam().nExit);
    EXPECT_EQ(result.strErr, GetParam().lpcszErr);
    EXPECT_EQ(result.strOut, "");
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, CliUsage,
    testing::Values(
        UsageCase{"UnknownCommand", {"show"}, 2, "varnholt-cli: 未知的命令 show（用法：varnholt-cli --help）\n"},
        UsageCase{"UnknownOption",
                  {"list", "--verbose"},
                  2,
                  "varnholt-cli: 未知的选项 --verbose（用法：varnholt-cli list --help）\n"},
        UsageCase{"MissingValue",
                  {"export", "--school", "10001", "--out"},
                  2,
                  "varnholt-cli: 选项 --out 缺少值（用法：varnholt-cli export --help）\n"},
        UsageCase{"ValueForAFlag",
                  {"list", "--names=yes"},
                  2,
                  "varnholt-cli: 选项 --names 不带值（用法：varnholt-cli list --help）\n"},
        UsageCase{"OptionTwice",
                  {"list", "--school", "10001", "--school", "10002"},
                  2,
                  "varnholt-cli: 选项 --school 重复给出（用法：varnholt-cli list --help）\n"},
        UsageCase{"ExtraOperand",
                  {"check", "--school", "10001", "now"},
                  2,
                  "varnholt-cli: 多余的参数 now（用法：varnholt-cli check --help）\n"},
        UsageCase{"PasswordFromTwoPlaces",
                  {"list", "--school", "10001", "--password", "1", "--password-stdin"},
                  2,
                  "varnholt-cli: --password 与 --password-stdin 只能给出一个\n"},
        UsageCase{"BadFormat",
                  {"list", "--school", "10001", "--format", "xml"},
                  2,
                  "varnholt-cli: --format 只能是 tsv 或 csv\n"},
        UsageCase{"ExportWithoutOut", {"export", "--school", "10001"}, 2, "varnholt-cli: 缺少 --out FILE\n"},
        UsageCase{"ImportWithoutIn", {"import", "--school", "10001"}, 2, "varnholt-cli: 缺少 --in FILE\n"},
        UsageCase{"PasswdWithoutNew",
                  {"passwd", "--school", "10001", "--old", "1"},
                  2,
                  "varnholt-cli: 需要 --old P 和 --new Q\n"},
        UsageCase{"NoSchool", {"list"}, 2, "varnholt-cli: 请输入院校代码，不知院校代码可以查询。\n"},
        UsageCase{"UnknownSchool", {"check", "--school", "99999"}, 2, "varnholt-cli: 院校代码不正确，请检查。\n"},
        UsageCase{"SchoolCodeIsExact", {"list", "--school", " 10001"}, 2, "varnholt-cli: 院校代码不正确，请检查。\n"}),
    [](const testing::TestParamInfo<UsageCase>& info) { return info.param.lpcszName; });

TEST_F(CliTest, WithoutCommandPrintsTheOverviewAsUsageError)
{
    const CliResult result = Run({});
    EXPECT_EQ(result.nExit, 2);
    EXPECT_TRUE(result.strErr.starts_with("用法：varnholt-cli <命令> [选项]\n"));
    EXPECT_EQ(Run({"--help"}).nExit, 0);
}

TEST_F(CliTest, EveryCommandHasItsHelp)
{
    for (const char* lpcszCommand : {"list", "export", "import", "check", "passwd", "schools"})
    {
        const CliResult result = Run({lpcszCommand, "--help"});
        EXPECT_EQ(result.nExit, 0) << lpcszCommand;
        EXPECT_TRUE(result.strOut.starts_with(std::string("用法：varnholt-cli ") + lpcszCommand)) << result.strOut;
        EXPECT_NE(result.strOut.find("--dir DIR"), std::string::npos) << lpcszCommand;
    }
}

TEST_F(CliTest, MissingDataDirectoryIsADataError)
{
    const std::string strMissing = FilePath("nowhere");
    const CliResult result = RunExactly({"list", "--dir", strMissing, "--school", "10001"});
    EXPECT_EQ(result.nExit, 3);
    EXPECT_EQ(result.strErr, "varnholt-cli: 数据目录“" + strMissing + "”不存在（错误代码 3）\n");
}
} // namespace
