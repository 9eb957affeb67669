// stats: the counts on the terminal and in a CSV file or workbook.
#include "CliTestSupport.h"

#include <cstdlib>

namespace
{
const char* const CODE = "10001";

// Three valid records: two men and one woman, one of the men with an education code no table has.
std::vector<Record> ThreeStudents()
{
    std::vector<Record> records = {ValidRecord(1), ValidRecord(2), ValidRecord(3)};
    records[1][4] = "2";
    records[2][6] = "77";
    return records;
}

class CliStats : public CliTest
{
  protected:
    CliResult Stats(std::vector<std::string> extra)
    {
        std::vector<std::string> args = {"stats", "--school", CODE, "--password", "123"};
        args.insert(args.end(), extra.begin(), extra.end());
        return Run(args);
    }
};
} // namespace

TEST_F(CliStats, PrintsTheCountsUnderNamesWithSharesAndTotal)
{
    WriteSchool(CODE, "123", ThreeStudents());
    const CliResult result = Stats({"--by", "xbdm"});
    ASSERT_EQ(result.nExit, 0) << result.strErr;
    EXPECT_EQ(result.strOut, "性别  人数  百分比\n"
                             "男       2   66.7%\n"
                             "女       1   33.3%\n"
                             "合计     3  100.0%\n");
}

TEST_F(CliStats, CrossTableGoesToCsvAndToAWorkbookWithNumberCells)
{
    WriteSchool(CODE, "123", ThreeStudents());
    const CliResult csv = Stats({"--by", "学历", "--by", "XBDM", "--out", FilePath("stats.csv")});
    ASSERT_EQ(csv.nExit, 0) << csv.strErr;
    EXPECT_NE(csv.strOut.find("（无效代码）"), std::string::npos);
    EXPECT_EQ(Utf8(ReadFileBytes(FilePath("stats.csv"))), "学历 \\ 性别,男,女,合计,百分比\r\n"
                                                          "本科生毕业,1,1,2,66.7%\r\n"
                                                          "（无效代码）,1,0,1,33.3%\r\n"
                                                          "合计,2,1,3,100.0%\r\n");

    ASSERT_EQ(Stats({"--by", "XLDM", "--by", "XBDM", "--out", FilePath("stats.xlsx")}).nExit, 0);
    const std::string strDump =
        TestKit::CommandOutput("/usr/bin/python3 " + std::string(std::getenv("VARNHOLT_SOURCE_DIR")) +
                               "/tests/exchange/workbook_tool.py dump " + FilePath("stats.xlsx"));
    EXPECT_NE(strDump.find("sheet 统计\n"), std::string::npos) << strDump;
    EXPECT_NE(strDump.find("cell\tA2\ts\t本科生毕业\n"), std::string::npos) << strDump;
    EXPECT_NE(strDump.find("cell\tB2\tn\t1\n"), std::string::npos) << strDump;
    EXPECT_NE(strDump.find("cell\tD4\tn\t3\n"), std::string::npos) << strDump;
    EXPECT_NE(strDump.find("cell\tE2\tn\t0.666"), std::string::npos) << strDump;
}

TEST_F(CliStats, RefusesFieldsItCannotCountBy)
{
    WriteSchool(CODE, "123", ThreeStudents());
    const struct
    {
        std::vector<std::string> args;
        const char* lpcszMessage;
    } cases[] = {
        {{}, "请给出一个或两个 --by FIELD"},
        {{"--by", "XM"}, "不能按“XM”统计"},
        {{"--by", "XBDM", "--by", "xbdm"}, "两个 --by 不能是同一个字段"},
        {{"--by", "XBDM", "--by", "XLDM", "--by", "BYSJ"}, "请给出一个或两个 --by FIELD"},
    };
    for (const auto& test : cases)
    {
        const CliResult result = Stats(test.args);
        EXPECT_EQ(result.nExit, 2);
        EXPECT_NE(result.strErr.find(test.lpcszMessage), std::string::npos) << result.strErr;
        EXPECT_EQ(result.strOut, "");
    }
}
